// Allocation in the CLAP plug-in, watched by replacing this process's
// allocation functions, which the module's C++ runtime calls: the audio
// thread's calls never allocate, and creation or activation that runs out of
// memory fails cleanly.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "tests/clap/clap_driver.h"

namespace {
std::atomic<bool> watching{false};
std::atomic<long> allocations{0};
std::atomic<long> failAt{0};

void* allocate(std::size_t size) {
    if (watching.load(std::memory_order_relaxed) && ++allocations == failAt.load()) throw std::bad_alloc();
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

void watch(long failing = 0) {
    allocations = 0;
    failAt = failing;
    watching = true;
}

TEST(ClapAllocation, NothingOnTheAudioThread) {
    auto clap = ClapPlugin::create();
    ASSERT_TRUE(clap && clap->activate(96000.0, 512));
    Stereo in = noise(512, 1), out(512);
    const double nan = std::nan("");
    // Built before watching: the driver's own event lists allocate.
    const EventList plenty({{0, 17, 300.0}, {5, 2, 50.0}, {9, 18, nan}, {100, 19, 1e9},
                            {40, 0, 12.0}, {900, 22, -3.0}, {0, 99, 1.0},
                            // The bypass, switched back before its fade lands.
                            {200, 23, 1.0}, {300, 23, 0.0}});
    float* ins[2] = {in.left.data(), in.right.data()};
    float* outs[2] = {out.left.data(), out.right.data()};
    vclap_audio_buffer_t stereoIn{ins, nullptr, 2, 0, 0}, stereoOut{outs, nullptr, 2, 0, 0};
    vclap_audio_buffer_t monoIn{ins, nullptr, 1, 0, 0}, monoOut{outs, nullptr, 1, 0, 0};
    const vclap_plugin_t* p = clap->plugin();
    const vclap_plugin_params_t* params = clap->params();

    watch();
    for (int block = 0; block < 50; ++block) {
        const bool mono = block % 5 == 4;
        const vclap_process_t call{-1, block % 7 == 3 ? 0u : 512u, nullptr,
                                   mono ? &monoIn : &stereoIn, mono ? &monoOut : &stereoOut,
                                   1, 1, block % 2 ? plenty.list() : nullptr, nullptr};
        p->process(p, &call);
        double value;
        params->get_value(p, 17, &value);
        clap->tailExtension()->get(p);
    }
    p->stop_processing(p);
    params->flush(p, plenty.list(), nullptr);
    p->reset(p);
    watching = false;
    EXPECT_EQ(allocations.load(), 0);
}

// Through the factory itself, so that only the plug-in's allocations count.
TEST(ClapAllocation, RunningOutOfMemoryFailsCreationAndActivationCleanly) {
    const vclap_plugin_factory_t* factory = clapFactory();
    ASSERT_NE(factory, nullptr);
    const vclap_host_t host{VCLAP_VERSION_INIT, nullptr, "clap_allocation_tests", "", "", "1",
                            [](const vclap_host_t*, const char*) -> const void* { return nullptr; },
                            nullptr, nullptr, nullptr};
    for (long failing = 1;; ++failing) {
        watch(failing);
        const vclap_plugin_t* p = factory->create_plugin(factory, &host, "com.tolmark.varnolet-delay");
        const bool made = p && p->init(p);
        const bool activated = made && p->activate(p, 48000.0, 1, 4096);
        const long used = allocations.load();
        watching = false;
        if (activated) {
            // Once nothing failed, the plug-in plays.
            EXPECT_GT(failing, used);
            Stereo impulse(20000), out(20000);
            impulse.left[0] = 1.0f;
            float* ins[2] = {impulse.left.data(), impulse.right.data()};
            float* outs[2] = {out.left.data(), out.right.data()};
            vclap_audio_buffer_t in{ins, nullptr, 2, 0, 0}, o{outs, nullptr, 2, 0, 0};
            const vclap_process_t call{-1, 20000, nullptr, &in, &o, 1, 1, nullptr, nullptr};
            EXPECT_EQ(p->process(p, &call), VCLAP_PROCESS_TAIL);
            EXPECT_NE(out.left[9600], 0.0f);
        } else if (made) {
            // An activation that fails leaves an instance that can be
            // activated again.
            EXPECT_TRUE(p->activate(p, 48000.0, 1, 4096));
        }
        if (p) p->destroy(p);
        if (activated) break;
    }
}

}  // namespace
