// The LV2 binary driven through its descriptor, as an LV2 host drives it:
// loaded with dlopen, instantiated, its ports connected and run. This process
// replaces its allocation functions to see whether running allocates.
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

#include "tests/bypass_switch.h"
#include "tests/parameter_table.h"

#ifndef VARNOLET_LV2_BINARY
#error "the tests need the path of the built LV2 binary"
#endif

namespace {
std::atomic<bool> watching{false};
std::atomic<long> allocations{0};
void* counted(void* p) {
    if (watching.load(std::memory_order_relaxed)) ++allocations;
    return p;
}
void* allocate(std::size_t size) {
    if (void* p = counted(std::malloc(size ? size : 1))) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The C allocation functions too, where the sanitizers do not bring their own.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* malloc(std::size_t size) noexcept { return counted(__libc_malloc(size)); }
void* calloc(std::size_t n, std::size_t size) noexcept { return counted(__libc_calloc(n, size)); }
void* realloc(void* p, std::size_t size) noexcept { return counted(__libc_realloc(p, size)); }
}
#endif

namespace {

constexpr uint32_t kFirstControl = 4;
// After every parameter's control: 1 runs the effect, 0 bypasses it.
constexpr uint32_t kEnabledPort = kFirstControl + table::kCount;
constexpr int kBlock = 256;

LV2_Descriptor_Function entry() {
    static void* handle = dlopen(VARNOLET_LV2_BINARY, RTLD_NOW | RTLD_LOCAL);
    return handle ? reinterpret_cast<LV2_Descriptor_Function>(dlsym(handle, "lv2_descriptor"))
                  : nullptr;
}

// One instance at its defaults with every port connected to buffers of its
// own, run on noise or silence.
class Instance {
public:
    explicit Instance(double rate) : d(entry()(0)), handle(d->instantiate(d, rate, "", features)) {
        for (int i = 0; i < table::kCount; ++i) {
            controls[i] = table::kRows[i].def;
            d->connect_port(handle, kFirstControl + i, &controls[i]);
        }
        d->connect_port(handle, kEnabledPort, &enabled);
        for (uint32_t port = 0; port < 2; ++port) {
            d->connect_port(handle, port, in[port]);
            d->connect_port(handle, 2 + port, out[port]);
        }
        d->activate(handle);
    }
    ~Instance() {
        d->deactivate(handle);
        d->cleanup(handle);
    }
    void reactivate() {
        d->deactivate(handle);
        d->activate(handle);
    }
    void process(bool silence = false) {
        for (int i = 0; i < kBlock; ++i) {
            in[0][i] = silence ? 0.0f : noise(random);
            in[1][i] = silence ? 0.0f : noise(random);
        }
        d->run(handle, kBlock);
    }
    std::vector<float> run(int blocks, bool silence = false) {
        std::vector<float> result;
        for (int b = 0; b < blocks; ++b) {
            process(silence);
            result.insert(result.end(), out[0], out[0] + kBlock);
            result.insert(result.end(), out[1], out[1] + kBlock);
        }
        return result;
    }
    float& control(const char* name) {
        for (int i = 0; i < table::kCount; ++i)
            if (std::strcmp(table::kRows[i].name, name) == 0) return controls[i];
        ADD_FAILURE() << "no parameter " << name;
        return controls[0];
    }

    float controls[table::kCount];
    float enabled = 1.0f;

private:
    const LV2_Feature* const features[1] = {nullptr};
    const LV2_Descriptor* d;
    LV2_Handle handle;
    float in[2][kBlock], out[2][kBlock];
    std::mt19937 random{7};
    std::uniform_real_distribution<float> noise{-0.5f, 0.5f};
};

TEST(Lv2Binary, ExportsOneDescriptorAndNothingElse) {
    ASSERT_NE(entry(), nullptr) << dlerror();
    ASSERT_NE(entry()(0), nullptr);
    EXPECT_STREQ(entry()(0)->URI, "urn:tolmark:varnolet");
    EXPECT_EQ(entry()(1), nullptr);

    const std::string command = "nm -D --defined-only " + std::string(VARNOLET_LV2_BINARY);
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::set<std::string> exported;
    char address[64], type[8], name[400];
    while (std::fscanf(pipe.get(), "%63s %7s %399s", address, type, name) == 3) exported.insert(name);
    EXPECT_EQ(exported, std::set<std::string>{"lv2_descriptor"});
}

TEST(Lv2Binary, RunAllocatesNothingWhateverThePortsHold) {
    ASSERT_NE(entry(), nullptr);
    Instance plugin(48000.0);
    std::mt19937 random(3);
    watching = true;
    for (int block = 0; block < 500; ++block) {
        const int i = block % table::kCount;
        const table::Row& r = table::kRows[i];
        const float u = static_cast<float>(random() % 1000) / 999.0f;
        plugin.controls[i] = block % 7 == 0   ? std::numeric_limits<float>::quiet_NaN()
                             : block % 5 == 0 ? r.max * 3.0f + 1.0f
                                              : r.min + u * (r.max - r.min);
        // Bypassed and crossfading take their own path through the effect.
        plugin.enabled = block % 3 == 0 ? 0.0f : 1.0f;
        plugin.process();
    }
    watching = false;
    EXPECT_EQ(allocations.load(), 0);
}

TEST(Lv2Binary, ValuesBeyondTheRangeActAsItsEndsAndNonNumbersAreIgnored) {
    ASSERT_NE(entry(), nullptr);
    Instance beyond(44100.0), ends(44100.0), defaults(44100.0);
    const struct {
        const char* name;
        float value, end;
    } settings[] = {{"Saturation", 1000.0f, 11.0f},     {"Master feedback", 1e6f, 200.0f},
                    {"Wet/Dry mix", 5.0f, 1.0f},        {"Filter Type", -3.0f, 0.0f},
                    {"Tap 1 feedback", 400.0f, 100.0f}, {"Filter Q", -1.0f, 0.01f}};
    for (const auto& s : settings) {
        beyond.control(s.name) = s.value;
        ends.control(s.name) = s.end;
    }
    const std::vector<float> atTheEnds = ends.run(40);
    EXPECT_EQ(beyond.run(40), atTheEnds);
    EXPECT_NE(defaults.run(40), atTheEnds) << "the settings did not reach the effect";

    for (const auto& s : settings) beyond.control(s.name) = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(beyond.run(40), ends.run(40)) << "a value that is not a number replaced the last one";
}

TEST(Lv2Binary, EachActivationStartsFromSilence) {
    ASSERT_NE(entry(), nullptr);
    Instance plugin(48000.0);
    plugin.control("Tap 1 feedback") = 90.0f;
    plugin.run(100);
    plugin.reactivate();
    const std::vector<float> after = plugin.run(400, true);
    EXPECT_EQ(after, std::vector<float>(after.size(), 0.0f));

    plugin.run(10);
    const std::vector<float> ringing = plugin.run(100, true);
    EXPECT_NE(ringing, std::vector<float>(ringing.size(), 0.0f)) << "no echoes to clear";
}

}  // namespace

namespace {

// A rate the line cannot be made for gets no instance, rather than one that
// plays silence; every rate a host really runs at gets one.
TEST(Lv2Binary, InstantiatesOnlyAtRatesTheEffectRunsAt) {
    const LV2_Descriptor* d = entry()(0);
    ASSERT_NE(d, nullptr);
    const LV2_Feature* const features[1] = {nullptr};
    const double refused[] = {0.0, -44100.0, std::nan(""), HUGE_VAL, 999.0, 768001.0, 1e12};
    for (double rate : refused) {
        LV2_Handle handle = d->instantiate(d, rate, "", features);
        EXPECT_EQ(handle, nullptr) << rate;
        if (handle) d->cleanup(handle);
    }
    for (double rate : {8000.0, 44100.0, 96000.0, 768000.0}) {
        LV2_Handle handle = d->instantiate(d, rate, "", features);
        EXPECT_NE(handle, nullptr) << rate;
        if (handle) d->cleanup(handle);
    }
}

}  // namespace

namespace {

// A steady tone through an instance at its defaults, run in blocks of up to
// 480 frames (10 ms at 48 kHz), with the enabled port set to 0 from frame
// `bypassAt` and back to 1 from frame `enableAt` (hosts set ports between
// runs: the blocks are split there).
std::vector<float> runWithTheEnabledPort(const std::vector<float>& in, size_t bypassAt,
                                         size_t enableAt) {
    constexpr size_t kRun = 480;
    const LV2_Descriptor* d = entry()(0);
    const LV2_Feature* const features[1] = {nullptr};
    LV2_Handle handle = d->instantiate(d, 48000.0, "", features);
    std::vector<float> controls(table::kCount), out(in);
    for (int i = 0; i < table::kCount; ++i) {
        controls[i] = table::kRows[i].def;
        d->connect_port(handle, kFirstControl + i, &controls[i]);
    }
    float enabled = 1.0f, right[kRun];
    d->connect_port(handle, kEnabledPort, &enabled);
    d->activate(handle);
    for (size_t at = 0; at < in.size();) {
        if (at == bypassAt) enabled = 0.0f;
        if (at == enableAt) enabled = 1.0f;
        size_t run = std::min(kRun, in.size() - at);
        for (size_t edge : {bypassAt, enableAt})
            if (edge > at) run = std::min(run, edge - at);
        // Both inputs take the tone; the left output replaces it in place,
        // as hosts that process in place have it.
        d->connect_port(handle, 0, out.data() + at);
        d->connect_port(handle, 1, const_cast<float*>(in.data()) + at);
        d->connect_port(handle, 2, out.data() + at);
        d->connect_port(handle, 3, right);
        d->run(handle, static_cast<uint32_t>(run));
        at += run;
    }
    d->deactivate(handle);
    d->cleanup(handle);
    return out;
}

// How a switch sounds is the effect core's, measured through the CLAP plug-in;
// here, that the port reaches it.
TEST(Lv2Binary, TheEnabledPortAtZeroPassesTheInputAndTheLineListensMeanwhile) {
    ASSERT_NE(entry(), nullptr);
    const size_t frames = 72000, off = 24000, on = 48000, landed = 480;
    const std::vector<float> tone = bypass_switch::steadyTone(frames, 48000.0);
    const std::vector<float> effect = runWithTheEnabledPort(tone, frames, frames);
    const std::vector<float> out = runWithTheEnabledPort(tone, off, on);
    EXPECT_TRUE(bypass_switch::sameBits(out, effect, 0, off));
    EXPECT_TRUE(bypass_switch::sameBits(out, tone, off + landed, on));
    EXPECT_TRUE(bypass_switch::sameBits(out, effect, on + landed, frames));
    // Set before the first run, it holds from the first frame.
    EXPECT_EQ(runWithTheEnabledPort(tone, 0, frames), tone);
}

}  // namespace
