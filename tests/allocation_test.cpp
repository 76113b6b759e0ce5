// Allocation as the plug-in does it, watched by replacing this process's
// allocation functions: creation that runs out of memory must release all it
// built, and processing must never allocate.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "host/vst_module.h"

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
    return module;
}

intptr_t dispatch(AEffect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0,
                  void* ptr = nullptr, float opt = 0.0f) {
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

TEST(Allocation, CreationThatRunsOutOfMemoryReleasesEverything) {
    VstModule module = loadModule();
    ASSERT_TRUE(module.loaded());
    long failures = 0;
    for (long n = 1; n < 10000; ++n) {
        startWatching(n);
        AEffect* effect = module.entry()(quietHost);
        watching = false;
        if (effect) {
            if (n == 1 && allocations == 0)
                GTEST_SKIP() << "the module's allocations are not visible from this process";
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

}  // namespace
