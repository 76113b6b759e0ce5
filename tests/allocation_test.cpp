// Allocation as the plug-in does it, watched by replacing this process's
// allocation functions: creation that runs out of memory must release all it
// built, and processing must never allocate.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "host/library/vst3_host_objects.h"
#include "host/library/vst3_instance.h"
#include "host/library/vst3_module.h"
#include "host/library/vst_module.h"

namespace {
std::atomic<bool> watching{false};
std::atomic<long> allocations{0};
std::atomic<long> releases{0};
std::atomic<long> failAt{0};

void* allocate(std::size_t size) {
    if (watching.load(std::memory_order_relaxed)) {
        long n = ++allocations;
        if (n == failAt.load(std::memory_order_relaxed)) throw std::bad_alloc();
    }
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}

void release(void* p) {
    if (p && watching.load(std::memory_order_relaxed)) ++releases;
    std::free(p);
}

void startWatching(long failing = 0) {
    allocations = 0;
    releases = 0;
    failAt = failing;
    watching = true;
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The C allocation functions too, where they can be replaced: the sanitizers
// bring their own.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);
std::atomic<long> cAllocations{0};
void* malloc(std::size_t size) noexcept {
    if (watching.load(std::memory_order_relaxed)) ++cAllocations;
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
    if (watching.load(std::memory_order_relaxed)) ++cAllocations;
    return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) noexcept {
    if (watching.load(std::memory_order_relaxed)) ++cAllocations;
    return __libc_realloc(p, size);
}
void free(void* p) noexcept { __libc_free(p); }
}
long cAllocationCount() { return cAllocations.load(); }
void resetCAllocations() { cAllocations = 0; }
#else
long cAllocationCount() { return 0; }
void resetCAllocations() {}
#endif

#if defined(_WIN32)
#include <windows.h>

#include <cstring>

// A Windows module carries its own C++ runtime, so the replacements above do
// not reach it. That runtime takes its memory from msvcrt.dll through the
// module's import table, so counting versions are written into that table
// instead. They count into the same totals as the replacements, and the
// failing allocation returns null, which the module's operator new turns into
// std::bad_alloc.
namespace {
void* countedMalloc(std::size_t size) {
    if (watching.load(std::memory_order_relaxed) && ++allocations == failAt.load()) return nullptr;
    return std::malloc(size);
}
void* countedCalloc(std::size_t count, std::size_t size) {
    if (watching.load(std::memory_order_relaxed) && ++allocations == failAt.load()) return nullptr;
    return std::calloc(count, size);
}
void* countedRealloc(void* p, std::size_t size) {
    if (watching.load(std::memory_order_relaxed)) {
        if (++allocations == failAt.load()) return nullptr;
        if (p) ++releases;
    }
    return std::realloc(p, size);
}
char* countedStrdup(const char* text) {
    if (watching.load(std::memory_order_relaxed) && ++allocations == failAt.load()) return nullptr;
    char* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
    return copy ? std::strcpy(copy, text) : nullptr;
}
void countedFree(void* p) { release(p); }

// Points the imports of msvcrt.dll's allocation functions, of the module
// that holds the given function, at the counting ones. Returns how many it
// redirected.
int redirectAllocationImports(const void* functionOfTheModule) {
    HMODULE handle = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(functionOfTheModule), &handle))
        return 0;
    const struct {
        const char* name;
        void* replacement;
    } redirections[] = {{"malloc", reinterpret_cast<void*>(countedMalloc)},
                        {"calloc", reinterpret_cast<void*>(countedCalloc)},
                        {"realloc", reinterpret_cast<void*>(countedRealloc)},
                        {"_strdup", reinterpret_cast<void*>(countedStrdup)},
                        {"free", reinterpret_cast<void*>(countedFree)}};
    auto* base = reinterpret_cast<BYTE*>(handle);
    auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return 0;
    int redirected = 0;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        if (_stricmp(reinterpret_cast<const char*>(base + library->Name), "msvcrt.dll") != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (library->OriginalFirstThunk ? library->OriginalFirstThunk
                                                : library->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const char* name = reinterpret_cast<const char*>(
                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
            for (const auto& r : redirections) {
                if (std::strcmp(name, r.name) != 0) continue;
                DWORD protection = 0;
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                               &protection);
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(r.replacement);
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection,
                               &protection);
                ++redirected;
            }
        }
    }
    return redirected;
}
}  // namespace
#endif

namespace {

// A host that answers without allocating, so that only the plug-in's own
// allocations are counted.
intptr_t VSTCALLBACK quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

VstModule loadModule() {
    VstModule module;
    std::string error;
    EXPECT_TRUE(module.load(VARNOLET_MODULE_PATH, error)) << error;
#if defined(_WIN32)
    if (module.loaded()) {
        EXPECT_GE(redirectAllocationImports(reinterpret_cast<const void*>(module.entry())), 2)
            << "no malloc and free imported";
    }
#endif
    return module;
}

intptr_t dispatch(AEffect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0,
                  void* ptr = nullptr, float opt = 0.0f) {
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

// Readies a freshly loaded module for counting and tells whether the counters
// see its allocations at all, where a test expecting none would otherwise
// pass unheard: creating an instance allocates. The first exception a
// runtime throws may set up what it keeps for good, such as its per-thread
// exception state, which is no leak of the plug-in's; a creation that fails
// at once gets that done beforehand.
bool allocationsVisible(const VstModule& module) {
    startWatching(1);
    if (AEffect* effect = module.entry()(quietHost)) dispatch(effect, effClose);
    startWatching();
    AEffect* probe = module.entry()(quietHost);
    watching = false;
    if (probe) dispatch(probe, effClose);
    return allocations.load() > 0;
}

const char kInvisible[] = "the module's allocations are not visible from this process";

TEST(Allocation, CreationThatRunsOutOfMemoryReleasesEverything) {
    VstModule module = loadModule();
    ASSERT_TRUE(module.loaded());
    if (!allocationsVisible(module)) GTEST_SKIP() << kInvisible;
    long failures = 0;
    for (long n = 1; n < 10000; ++n) {
        startWatching(n);
        AEffect* effect = module.entry()(quietHost);
        watching = false;
        if (effect) {
            EXPECT_EQ(dispatch(effect, effClose), 1);
            break;
        }
        ++failures;
        EXPECT_EQ(allocations - 1, releases.load()) << "leak when allocation " << n << " fails";
    }
    EXPECT_GE(failures, 3) << "the instance, its programs and its line are each allocated";
}

TEST(Allocation, ProcessingNeverAllocates) {
    VstModule module = loadModule();
    if (!allocationsVisible(module)) GTEST_SKIP() << kInvisible;
    AEffect* e = module.entry()(quietHost);
    ASSERT_NE(e, nullptr);
    dispatch(e, effOpen);
    dispatch(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch(e, effSetBlockSize, 0, 512);
    dispatch(e, effMainsChanged, 0, 1);
    std::vector<float> a(512), b(512), ol(512), orr(512);
    for (int i = 0; i < 512; ++i) a[i] = b[i] = std::sin(i * 0.05f);
    float* in[2] = {a.data(), b.data()};
    float* out[2] = {ol.data(), orr.data()};

    resetCAllocations();
    startWatching();
    for (int block = 0; block < 2000; ++block) {
        if (block % 10 == 0) e->setParameter(e, block % 23, static_cast<float>(block % 7) / 6.0f);
        if (block % 100 == 0) dispatch(e, effSetProgram, 0, block / 100 % 8);
        e->processReplacing(e, in, out, 1 + block % 512);
        e->getParameter(e, block % 23);
    }
    watching = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(cAllocationCount(), 0);
    dispatch(e, effClose);
}

TEST(Allocation, ANewRateWithoutMemoryKeepsTheOldLine) {
    VstModule module = loadModule();
    if (!allocationsVisible(module)) GTEST_SKIP() << kInvisible;
    AEffect* e = module.entry()(quietHost);
    ASSERT_NE(e, nullptr);
    e->setParameter(e, 0, 1.0f);  // Tap 1 at 2000 ms
    e->setParameter(e, 22, 0.0f);
    for (int level : {7, 11, 15}) e->setParameter(e, level, 0.0f);
    dispatch(e, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    startWatching(1);
    dispatch(e, effMainsChanged, 0, 1);
    watching = false;
    EXPECT_EQ(allocations.load() - 1, releases.load());

    std::vector<float> a(88201, 0.0f), b(88201, 0.0f), ol(88201), orr(88201);
    a[0] = b[0] = 0.2f;
    float* in[2] = {a.data(), b.data()};
    float* out[2] = {ol.data(), orr.data()};
    e->processReplacing(e, in, out, 88201);
    for (int i = 0; i < 88200; ++i) ASSERT_EQ(ol[i], 0.0f) << i;
    EXPECT_NEAR(ol[88200], 0.198815f, 5e-7f) << "the 44.1 kHz line is still there";
    dispatch(e, effClose);
}

// The VST3 bundle, as a host drives it: blocks of any size, with changes at
// frames within them, allocate nothing once it is switched on.
TEST(Allocation, Vst3ProcessingNeverAllocates) {
    Vst3Module bundle;
    std::string error;
    ASSERT_TRUE(bundle.load(VARNOLET_VST3_BUNDLE, error)) << error;
#if defined(_WIN32)
    ASSERT_GE(redirectAllocationImports(bundle.symbol("GetPluginFactory")), 2);
#endif
    startWatching();
    auto plugin = Vst3Instance::create(bundle, error);
    watching = false;
    ASSERT_NE(plugin, nullptr) << error;
    if (allocations.load() == 0) GTEST_SKIP() << kInvisible;
    ASSERT_TRUE(plugin->activate(48000.0, 512, error)) << error;
    Vst3ParameterChanges changes(25, 4);
    std::vector<float> a(512), b(512), ol(512), orr(512);
    for (int i = 0; i < 512; ++i) a[i] = b[i] = std::sin(i * 0.05f);
    float* in[2] = {a.data(), b.data()};
    float* out[2] = {ol.data(), orr.data()};

    resetCAllocations();
    startWatching();
    for (int block = 0; block < 2000; ++block) {
        const int frames = 1 + block % 512;
        changes.clear();
        // Every parameter in turn, the bypass and the program change after
        // the module's 23.
        changes.add(static_cast<vst3::ParamID>(block % 25), block % frames, (block % 7) / 6.0);
        changes.add(17, frames / 2, (block % 100) / 100.0);
        plugin->process(in, 2, out, 2, frames, &changes);
    }
    watching = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(cAllocationCount(), 0);
}

// A new rate the memory does not suffice for is refused, and the line made
// for the old one stays.
TEST(Allocation, Vst3NewRateWithoutMemoryKeepsTheOldLine) {
    Vst3Module bundle;
    std::string error;
    ASSERT_TRUE(bundle.load(VARNOLET_VST3_BUNDLE, error)) << error;
#if defined(_WIN32)
    ASSERT_GE(redirectAllocationImports(bundle.symbol("GetPluginFactory")), 2);
#endif
    auto plugin = Vst3Instance::create(bundle, error);
    ASSERT_NE(plugin, nullptr) << error;
    vst3::ProcessSetup at44{vst3::kRealtime, vst3::kSample32, 4096, 44100.0};
    ASSERT_EQ(plugin->processor()->setupProcessing(at44), vst3::kResultOk);
    vst3::ProcessSetup at96{vst3::kRealtime, vst3::kSample32, 4096, 96000.0};
    // The first exception a MinGW module throws makes its unwinder's caches,
    // which live as long as the module: a first refusal makes them, and the
    // second must then give back everything it took.
    startWatching(1);
    ASSERT_EQ(plugin->processor()->setupProcessing(at96), vst3::kOutOfMemory);
    watching = false;
    startWatching(1);
    const vst3::tresult refused = plugin->processor()->setupProcessing(at96);
    watching = false;
    if (allocations.load() == 0) GTEST_SKIP() << kInvisible;
    EXPECT_EQ(refused, vst3::kOutOfMemory);
    EXPECT_EQ(allocations.load() - 1, releases.load());

    // Tap 1 at 2000 ms alone, no feedback: the impulse returns 88200 frames on.
    Vst3ParameterChanges changes(23, 1);
    changes.add(0, 0, 1.0);
    changes.add(22, 0, 0.0);
    for (vst3::ParamID level : {7u, 11u, 15u}) changes.add(level, 0, 0.0);
    ASSERT_EQ(plugin->component()->setActive(1), vst3::kResultOk);
    std::vector<float> a(88201, 0.0f), b(88201, 0.0f), ol(88201), orr(88201);
    a[0] = b[0] = 0.2f;
    float* in[2] = {a.data(), b.data()};
    float* out[2] = {ol.data(), orr.data()};
    plugin->process(in, 2, out, 2, 88201, &changes);
    for (int i = 0; i < 88200; ++i) ASSERT_EQ(ol[i], 0.0f) << i;
    EXPECT_NEAR(ol[88200], 0.198815f, 5e-7f) << "the 44.1 kHz line is still there";
}

}  // namespace
