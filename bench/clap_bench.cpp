// What the CLAP plug-in costs per frame against the VST 2.4 module of the same
// build, both driven as hosts drive them, and what a parameter event in every
// block adds. Meant to run interleaved and repeated, as the machine is shared:
//   varnolet_clap_bench --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/library/plugin_instance.h"
#include "host/library/recording_host.h"
#include "host/library/vst_module.h"
#include "tests/clap/clap_driver.h"

namespace {

constexpr uint32_t kFramesPerIteration = 4096;
constexpr double kRate = 44100.0;

struct Signal {
    Stereo in = noise(kFramesPerIteration, 1);
    Stereo out = Stereo(kFramesPerIteration);
};

void reportPerFrame(benchmark::State& state) {
    state.counters["per_frame"] = benchmark::Counter(
        kFramesPerIteration, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

std::unique_ptr<ClapPlugin> activeClap() {
    auto clap = ClapPlugin::create();
    if (!clap || !clap->activate(kRate, 4096)) throw std::runtime_error("no CLAP plug-in");
    return clap;
}

void BM_Vst2Module(benchmark::State& state) {
    VstModule module;
    RecordingHost host;
    std::string error;
    if (!module.load(VARNOLET_MODULE_PATH, error)) throw std::runtime_error(error);
    auto plugin = PluginInstance::create(module, host, error);
    if (!plugin) throw std::runtime_error(error);
    plugin->prepare(static_cast<float>(kRate), 4096);
    Signal s;
    const uint32_t block = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        for (uint32_t at = 0; at < kFramesPerIteration; at += block) {
            float* in[2] = {&s.in.left[at], &s.in.right[at]};
            float* out[2] = {&s.out.left[at], &s.out.right[at]};
            plugin->processReplacing(in, out, static_cast<int32_t>(block));
        }
        benchmark::DoNotOptimize(s.out.left.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame(state);
}

// Every block with an event list, as CLAP hosts send one, empty.
void BM_Clap(benchmark::State& state) {
    auto clap = activeClap();
    Signal s;
    const EventList none;
    const uint32_t block = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        for (uint32_t at = 0; at < kFramesPerIteration; at += block)
            clap->process(&s.in.left[at], &s.in.right[at], &s.out.left[at], &s.out.right[at], block,
                          none);
        benchmark::DoNotOptimize(s.out.left.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame(state);
}

// A host automating "Filter Cutoff": a new value in every block, at its
// middle, so every block is processed in two parts.
void BM_ClapCutoffEventEachBlock(benchmark::State& state) {
    auto clap = activeClap();
    Signal s;
    const uint32_t block = static_cast<uint32_t>(state.range(0));
    std::vector<EventList> events;
    for (int i = 0; i < 97; ++i) events.emplace_back(std::vector<ParamChange>{{block / 2, 17, 200.0 + 50.0 * i}});
    size_t next = 0;
    for (auto _ : state) {
        for (uint32_t at = 0; at < kFramesPerIteration; at += block) {
            clap->process(&s.in.left[at], &s.in.right[at], &s.out.left[at], &s.out.right[at], block,
                          events[next]);
            next = next + 1 == events.size() ? 0 : next + 1;
        }
        benchmark::DoNotOptimize(s.out.left.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame(state);
}

}  // namespace

BENCHMARK(BM_Vst2Module)->Arg(64)->Arg(512);
BENCHMARK(BM_Clap)->Arg(64)->Arg(512);
BENCHMARK(BM_ClapCutoffEventEachBlock)->Arg(64);
BENCHMARK_MAIN();
