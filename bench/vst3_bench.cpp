// Cost per frame of the VST3 bundle's processing, driven through its
// interfaces as a host drives it, against the VST 2.4 module's; and what a
// parameter change within every block costs it. Run with interleaved
// repetitions and read the medians:
//   vst3_bench --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
//              --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/library/plugin_instance.h"
#include "host/library/recording_host.h"
#include "host/library/vst3_host_objects.h"
#include "host/library/vst3_instance.h"
#include "host/library/vst3_module.h"
#include "host/library/vst_module.h"

namespace {

constexpr int kFramesPerIteration = 4096;
constexpr double kSampleRate = 44100.0;
constexpr vst3::ParamID kFilterCutoff = 17;

std::vector<float> noise(size_t frames, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    std::vector<float> v(frames);
    for (float& x : v) x = uniform(random);
    return v;
}

struct Buffers {
    std::vector<float> a = noise(kFramesPerIteration, 1), b = noise(kFramesPerIteration, 2);
    std::vector<float> left = std::vector<float>(kFramesPerIteration);
    std::vector<float> right = std::vector<float>(kFramesPerIteration);
};

void reportPerFrame(benchmark::State& state) {
    state.counters["per_frame"] = benchmark::Counter(
        kFramesPerIteration, benchmark::Counter::kIsIterationInvariantRate |
                                 benchmark::Counter::kInvert);
}

void BM_Vst2Module(benchmark::State& state) {
    VstModule module;
    RecordingHost host;
    std::string error;
    if (!module.load(VARNOLET_MODULE_PATH, error)) throw std::runtime_error(error);
    auto plugin = PluginInstance::create(module, host, error);
    if (!plugin) throw std::runtime_error(error);
    plugin->prepare(static_cast<float>(kSampleRate), 4096);
    Buffers io;
    const int blockSize = static_cast<int>(state.range(0));
    for (auto _ : state) {
        for (int start = 0; start < kFramesPerIteration; start += blockSize) {
            float* in[2] = {io.a.data() + start, io.b.data() + start};
            float* out[2] = {io.left.data() + start, io.right.data() + start};
            plugin->processReplacing(in, out, blockSize);
        }
        benchmark::DoNotOptimize(io.left.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame(state);
}

enum class Changes { None, CutoffAtFrame32, EveryParameterAtFrame0 };

// Without changes, with the cutoff moved at frame 32 of every block, or with
// every parameter's value (the same each time) at the start of every block,
// as some hosts send them. The
// block's description is kept from call to call, as a host keeps it, so that
// what is timed is the plug-in's processing as the module's call is.
void runBundle(benchmark::State& state, Changes kind) {
    Vst3Module bundle;
    std::string error;
    if (!bundle.load(VARNOLET_VST3_BUNDLE, error)) throw std::runtime_error(error);
    auto plugin = Vst3Instance::create(bundle, error);
    if (!plugin || !plugin->activate(kSampleRate, 4096, error, vst3::kRealtime))
        throw std::runtime_error(error);
    vst3::IAudioProcessor* processor = plugin->processor();
    Buffers io;
    Vst3ParameterChanges changes(23, 1);
    float* in[2] = {};
    float* out[2] = {};
    vst3::AudioBusBuffers input{}, output{};
    input.numChannels = output.numChannels = 2;
    input.channelBuffers32 = in;
    output.channelBuffers32 = out;
    vst3::ProcessData data{};
    data.processMode = vst3::kRealtime;
    data.symbolicSampleSize = vst3::kSample32;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &input;
    data.outputs = &output;
    data.inputParameterChanges = kind == Changes::None ? nullptr : &changes;
    // The same list every block: what is timed is the plug-in reading it.
    if (kind == Changes::EveryParameterAtFrame0)
        for (vst3::ParamID id = 0; id < 23; ++id) changes.add(id, 0, 0.5);
    const int blockSize = static_cast<int>(state.range(0));
    data.numSamples = blockSize;
    int step = 0;
    for (auto _ : state) {
        for (int start = 0; start < kFramesPerIteration; start += blockSize) {
            in[0] = io.a.data() + start;
            in[1] = io.b.data() + start;
            out[0] = io.left.data() + start;
            out[1] = io.right.data() + start;
            if (kind == Changes::CutoffAtFrame32) {
                changes.clear();
                changes.add(kFilterCutoff, 32, (step++ % 1000) / 1000.0);
            }
            processor->process(data);
        }
        benchmark::DoNotOptimize(io.left.data());
        benchmark::ClobberMemory();
    }
    reportPerFrame(state);
}

void BM_Vst3Bundle(benchmark::State& state) { runBundle(state, Changes::None); }
void BM_Vst3CutoffAtFrame32EveryBlock(benchmark::State& state) {
    runBundle(state, Changes::CutoffAtFrame32);
}
void BM_Vst3EveryParameterAtFrame0EveryBlock(benchmark::State& state) {
    runBundle(state, Changes::EveryParameterAtFrame0);
}

}  // namespace

BENCHMARK(BM_Vst2Module)->Arg(64)->Arg(512);
BENCHMARK(BM_Vst3Bundle)->Arg(64)->Arg(512);
BENCHMARK(BM_Vst3CutoffAtFrame32EveryBlock)->Arg(64);
BENCHMARK(BM_Vst3EveryParameterAtFrame0EveryBlock)->Arg(64);
BENCHMARK_MAIN();
