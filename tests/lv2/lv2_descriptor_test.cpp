// The LV2 binary driven through its descriptor, as an LV2 host drives it:
// loaded with dlopen, instantiated, its ports connected and run. This process
// replaces its allocation functions to see what the plug-in allocates.
#include <gtest/gtest.h>
#include <dlfcn.h>
#include <lv2/core/lv2.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/parameter_table.h"

#ifndef VARNOLET_LV2_BINARY
#error "the tests need the path of the built LV2 binary"
#endif

namespace {
std::atomic<bool> watching{false};
std::atomic<long> allocations{0};
std::atomic<long> releases{0};
std::atomic<long> failAt{0};
std::atomic<long> cAllocations{0};

void* allocate(std::size_t size) {
    if (watching.load(std::memory_order_relaxed) && ++allocations == failAt.load())
        throw std::bad_alloc();
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
    cAllocations = 0;
    watching = true;
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The C allocation functions too, where the sanitizers do not bring their own.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
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
}
#endif

namespace {

constexpr uint32_t kFirstControl = 4;
constexpr int kBlock = 256;

// The binary, loaded once for the whole test program, as hosts keep it.
const LV2_Descriptor* descriptor() {
    static const LV2_Descriptor* loaded = [] {
        void* handle = dlopen(VARNOLET_LV2_BINARY, RTLD_NOW | RTLD_LOCAL);
        if (!handle) return static_cast<const LV2_Descriptor*>(nullptr);
        auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(handle, "lv2_descriptor"));
        return entry ? entry(0) : nullptr;
    }();
    return loaded;
}

// One instance with every port connected to buffers of its own.
class Instance {
public:
    explicit Instance(double rate) : handle(descriptor()->instantiate(descriptor(), rate, "", features)) {
        if (!handle) return;
        for (int i = 0; i < table::kCount; ++i) {
            controls[i] = table::kRows[i].def;
            descriptor()->connect_port(handle, kFirstControl + i, &controls[i]);
        }
        for (uint32_t port = 0; port < 2; ++port) {
            descriptor()->connect_port(handle, port, in[port].data());
            descriptor()->connect_port(handle, 2 + port, out[port].data());
        }
    }
    ~Instance() {
        if (handle) descriptor()->cleanup(handle);
    }
    explicit operator bool() const { return handle != nullptr; }
    void activate() { descriptor()->activate(handle); }
    void deactivate() { descriptor()->deactivate(handle); }

    // One block of noise (or silence).
    void process(bool silence = false) {
        for (int i = 0; i < kBlock; ++i) {
            in[0][i] = silence ? 0.0f : noise(random);
            in[1][i] = silence ? 0.0f : noise(random);
        }
        descriptor()->run(handle, kBlock);
    }
    // Blocks of noise (or silence), and what came out.
    std::vector<float> run(int blocks, bool silence = false) {
        std::vector<float> result;
        for (int b = 0; b < blocks; ++b) {
            process(silence);
            result.insert(result.end(), out[0].begin(), out[0].end());
            result.insert(result.end(), out[1].begin(), out[1].end());
        }
        return result;
    }

    float controls[table::kCount];

private:
    const LV2_Feature* const features[1] = {nullptr};
    LV2_Handle handle;
    std::vector<float> in[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
    std::vector<float> out[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
    std::mt19937 random{7};
    std::uniform_real_distribution<float> noise{-0.5f, 0.5f};
};

int index(const char* name) {
    for (int i = 0; i < table::kCount; ++i)
        if (std::strcmp(table::kRows[i].name, name) == 0) return i;
    ADD_FAILURE() << "no parameter " << name;
    return 0;
}

TEST(Lv2Descriptor, OneDescriptorWithThePluginsUri) {
    ASSERT_NE(descriptor(), nullptr) << dlerror();
    EXPECT_STREQ(descriptor()->URI, "urn:tolmark:varnolet");
    void* handle = dlopen(VARNOLET_LV2_BINARY, RTLD_NOW | RTLD_NOLOAD);
    auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(handle, "lv2_descriptor"));
    EXPECT_EQ(entry(1), nullptr);
}

TEST(Lv2Descriptor, ExportsNothingButTheDescriptor) {
    const std::string command = "nm -D --defined-only " + std::string(VARNOLET_LV2_BINARY);
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::set<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get())) {
        char address[64], type[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3) exported.insert(name);
    }
    EXPECT_EQ(exported, std::set<std::string>{"lv2_descriptor"});
}

TEST(Lv2Descriptor, InstantiationWithoutMemoryLeavesNothingBehind) {
    ASSERT_NE(descriptor(), nullptr);
    long failures = 0;
    for (long n = 1; n < 1000; ++n) {
        startWatching(n);
        LV2_Handle handle = descriptor()->instantiate(descriptor(), 96000.0, "", nullptr);
        watching = false;
        if (handle) {
            descriptor()->cleanup(handle);
            break;
        }
        ++failures;
        EXPECT_EQ(allocations - 1, releases.load()) << "leak when allocation " << n << " fails";
    }
    EXPECT_GE(failures, 3) << "the instance, its programs and its line are each allocated";
}

TEST(Lv2Descriptor, RunAllocatesNothing) {
    ASSERT_NE(descriptor(), nullptr);
    Instance plugin(48000.0);
    ASSERT_TRUE(plugin);
    plugin.activate();
    std::mt19937 random(3);
    startWatching();
    for (int block = 0; block < 500; ++block) {
        // Every value a host may send: in range, beyond it and not a number.
        const int i = block % table::kCount;
        const table::Row& r = table::kRows[i];
        const float u = static_cast<float>(random() % 1000) / 999.0f;
        plugin.controls[i] = block % 7 == 0   ? std::numeric_limits<float>::quiet_NaN()
                             : block % 5 == 0 ? r.max * 3.0f + 1.0f
                                              : r.min + u * (r.max - r.min);
        plugin.process();
    }
    watching = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(cAllocations.load(), 0);
    plugin.deactivate();
}

TEST(Lv2Instance, ValuesBeyondTheRangeActAsItsEndsAndNonNumbersAreIgnored) {
    ASSERT_NE(descriptor(), nullptr);
    Instance beyond(44100.0), ends(44100.0), defaults(44100.0);
    ASSERT_TRUE(beyond && ends && defaults);
    const struct {
        const char* name;
        float value;
    } settings[] = {{"Saturation", 1000.0f},  {"Master feedback", 1e6f}, {"Wet/Dry mix", 5.0f},
                    {"Filter Type", -3.0f},   {"Tap 1 feedback", 400.0f}, {"Filter Q", -1.0f},
                    {"Tap 2 time", 1e9f}};
    for (const auto& s : settings) {
        const int i = index(s.name);
        beyond.controls[i] = s.value;
        ends.controls[i] = s.value > table::kRows[i].max ? table::kRows[i].max : table::kRows[i].min;
    }
    for (Instance* p : {&beyond, &ends, &defaults}) p->activate();
    const std::vector<float> atTheEnds = ends.run(40);
    EXPECT_EQ(beyond.run(40), atTheEnds);
    EXPECT_NE(defaults.run(40), atTheEnds) << "the settings did not reach the effect";

    // A value that is not a number leaves the last one in force.
    for (const auto& s : settings)
        beyond.controls[index(s.name)] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(beyond.run(40), ends.run(40));
}

TEST(Lv2Instance, EachActivationStartsFromSilence) {
    ASSERT_NE(descriptor(), nullptr);
    Instance plugin(48000.0);
    ASSERT_TRUE(plugin);
    plugin.controls[index("Tap 1 feedback")] = 90.0f;
    plugin.activate();
    plugin.run(100);
    plugin.deactivate();
    plugin.activate();
    const std::vector<float> after = plugin.run(400, true);
    for (size_t i = 0; i < after.size(); ++i) ASSERT_EQ(after[i], 0.0f) << "frame " << i;

    // Without a new activation the echoes ring on.
    plugin.run(10);
    const std::vector<float> tail = plugin.run(100, true);
    EXPECT_NE(tail, std::vector<float>(tail.size(), 0.0f));
}

}  // namespace
