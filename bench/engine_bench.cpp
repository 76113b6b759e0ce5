// Cost per frame of the plug-in's processing, driven through its record as a
// host drives it, against the floor the filter recursion sets.
#include <benchmark/benchmark.h>

#include <cmath>
#if defined(__SSE2__)
#include <xmmintrin.h>
#endif
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/library/plugin_instance.h"
#include "host/library/recording_host.h"
#include "host/library/vst_module.h"

namespace {

constexpr int kFramesPerIteration = 4096;
constexpr float kSampleRate = 44100.0f;

std::vector<float> noise(size_t frames, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    std::vector<float> v(frames);
    for (float& x : v) x = uniform(random);
    return v;
}

struct Plugin {
    VstModule module;
    RecordingHost host;
    std::unique_ptr<PluginInstance> instance;

    explicit Plugin(bool busy) {
        std::string error;
        if (!module.load(VARNOLET_MODULE_PATH, error)) throw std::runtime_error(error);
        instance = PluginInstance::create(module, host, error);
        if (!instance) throw std::runtime_error(error);
        instance->prepare(kSampleRate, 4096);
        if (busy) {
            for (int tap = 0; tap < 4; ++tap) instance->setParameter(4 * tap + 2, 0.6f);
            instance->setParameter(19, 2.5f / 4.0f);   // half band, half high
            instance->setParameter(21, 5.0f / 11.0f);  // saturation 5
            instance->setParameter(18, (0.9f - 0.01f) / 0.99f);
        }
    }

    void process(std::vector<float>& a, std::vector<float>& b, std::vector<float>& ol,
                 std::vector<float>& orr, int blockSize) {
        for (int start = 0; start < kFramesPerIteration; start += blockSize) {
            const int frames = std::min(blockSize, kFramesPerIteration - start);
            float* in[2] = {a.data() + start, b.data() + start};
            float* out[2] = {ol.data() + start, orr.data() + start};
            instance->processReplacing(in, out, frames);
        }
    }
};

void reportPerFrame(benchmark::State& state) {
    state.counters["per_frame"] = benchmark::Counter(
        kFramesPerIteration, benchmark::Counter::kIsIterationInvariantRate |
                                 benchmark::Counter::kInvert);
}

// Runs the timed loop with the given routine called once before it.
template <typename BeforeTheLoop = void (*)()>
void processNoise(benchmark::State& state, bool busy, BeforeTheLoop before = [] {}) {
    Plugin plugin(busy);
    std::vector<float> a = noise(kFramesPerIteration, 1), b = noise(kFramesPerIteration, 2);
    std::vector<float> ol(kFramesPerIteration), orr(kFramesPerIteration);
    const int blockSize = static_cast<int>(state.range(0));
    for (int warm = 0; warm < 50; ++warm) plugin.process(a, b, ol, orr, blockSize);
    before();
    for (auto _ : state) {
        plugin.process(a, b, ol, orr, blockSize);
        benchmark::DoNotOptimize(ol.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame(state);
}

// A host automating the cutoff: every block brings a new value, so the
// filter's coefficients are worked out anew for every block.
void BM_AutomatedCutoff(benchmark::State& state) {
    Plugin plugin(true);
    std::vector<float> a = noise(kFramesPerIteration, 1), b = noise(kFramesPerIteration, 2);
    std::vector<float> ol(kFramesPerIteration), orr(kFramesPerIteration);
    const int blockSize = static_cast<int>(state.range(0));
    int step = 0;
    for (auto _ : state) {
        for (int start = 0; start < kFramesPerIteration; start += blockSize) {
            plugin.instance->setParameter(17, static_cast<float>(step++ % 1000) / 1000.0f);
            float* in[2] = {a.data() + start, b.data() + start};
            float* out[2] = {ol.data() + start, orr.data() + start};
            plugin.instance->processReplacing(in, out, blockSize);
        }
        benchmark::DoNotOptimize(ol.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame(state);
}

void BM_Defaults(benchmark::State& state) { processNoise(state, false); }
void BM_Busy(benchmark::State& state) { processNoise(state, true); }

#if defined(__SSE2__)
// A host that flushes denormal numbers itself, as most audio workstations do,
// and has done inexact arithmetic of its own: every call enters in the
// plug-in's own rounding and flushing with the precision flag set.
void BM_BusyHostFlushingWithPrecisionFlag(benchmark::State& state) {
    const unsigned benchMode = _mm_getcsr();
    constexpr unsigned kControl = 0x1F80u | 0x8000u | 0x0040u, kPrecisionFlag = 0x0020u;
    processNoise(state, true, [] { _mm_setcsr(kControl | kPrecisionFlag); });
    const unsigned after = _mm_getcsr();
    _mm_setcsr(benchMode);
    if ((after & ~0x3Fu) != kControl || !(after & kPrecisionFlag))
        state.SkipWithError("the plug-in did not give the host its mode back");
}
#endif

// The busy setting after a minute of silence: the echoes have decayed into
// numbers far below hearing, which must not cost more than sound does.
void BM_SilenceTail(benchmark::State& state) {
    Plugin plugin(true);
    std::vector<float> a = noise(kFramesPerIteration, 1), b = noise(kFramesPerIteration, 2);
    std::vector<float> ol(kFramesPerIteration), orr(kFramesPerIteration);
    plugin.process(a, b, ol, orr, 512);
    std::fill(a.begin(), a.end(), 0.0f);
    std::fill(b.begin(), b.end(), 0.0f);
    const int minute = static_cast<int>(60 * kSampleRate) / kFramesPerIteration;
    for (int i = 0; i < minute; ++i) plugin.process(a, b, ol, orr, 512);
    for (auto _ : state) {
        plugin.process(a, b, ol, orr, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(ol.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame(state);
}

// The state-variable recursion alone, in the precision the effect runs it:
// the chain low → high → band that every frame must wait for.
void BM_BareFilterLoop(benchmark::State& state) {
    std::vector<float> input = noise(kFramesPerIteration, 3), output(kFramesPerIteration);
    const double f = 0.142355f, q = 0.0512f;
    double low = 0.0, band = 0.0, high = 0.0;
    for (auto _ : state) {
        for (int i = 0; i < kFramesPerIteration; ++i) {
            const double s = input[i];
            low = low + f * band;
            high = s - low - q * band;
            band = band + f * high;
            output[i] = static_cast<float>(0.5 * high + 0.5 * band);
        }
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame(state);
}

}  // namespace

BENCHMARK(BM_Defaults)->Arg(1)->Arg(16)->Arg(64)->Arg(512)->Arg(4096);
BENCHMARK(BM_Busy)->Arg(1)->Arg(16)->Arg(64)->Arg(512)->Arg(4096);
#if defined(__SSE2__)
BENCHMARK(BM_BusyHostFlushingWithPrecisionFlag)->Arg(1)->Arg(16)->Arg(64)->Arg(512)->Arg(4096);
#endif
BENCHMARK(BM_SilenceTail)->Arg(512);
BENCHMARK(BM_AutomatedCutoff)->Arg(16)->Arg(64)->Arg(512);
BENCHMARK(BM_BareFilterLoop);
BENCHMARK_MAIN();
