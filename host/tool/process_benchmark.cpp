#include "host/tool/process_benchmark.h"

#include <algorithm>
#include <chrono>

#include "host/tool/test_signals.h"

namespace {
class BenchmarkedPlugin {
public:
    BenchmarkedPlugin(PluginInstance& instance, int32_t frames)
        : plugin(instance),
          blockSize(frames),
          inputs(static_cast<size_t>(std::max(instance.numInputs(), 0)),
                 std::vector<float>(static_cast<size_t>(frames), 0.0f)),
          outputs(static_cast<size_t>(std::max(instance.numOutputs(), 0)),
                  std::vector<float>(static_cast<size_t>(frames), 0.0f)) {
        for (auto& channel : inputs) inPointers.push_back(channel.data());
        for (auto& channel : outputs) outPointers.push_back(channel.data());
        inPointers.push_back(nullptr);
        outPointers.push_back(nullptr);
    }

    // Processes the source (silence when empty) for the frames; the time in
    // nanoseconds per frame.
    double run(const std::vector<float>& source, size_t frames,
               const std::function<void(size_t)>& advanced) {
        using Clock = std::chrono::steady_clock;
        Clock::duration spent{};
        for (size_t done = 0; done < frames; done += static_cast<size_t>(blockSize)) {
            const size_t count = std::min(frames - done, static_cast<size_t>(blockSize));
            for (auto& channel : inputs)
                for (size_t i = 0; i < count; ++i)
                    channel[i] = source.empty() ? 0.0f : source[(done + i) % source.size()];
            const Clock::time_point start = Clock::now();
            plugin.processReplacing(inPointers.data(), outPointers.data(),
                                    static_cast<int32_t>(count));
            spent += Clock::now() - start;
            if (advanced) advanced(count);
        }
        const double nanoseconds =
            static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count());
        return frames ? nanoseconds / static_cast<double>(frames) : 0.0;
    }

    PluginInstance& plugin;

private:
    int32_t blockSize;
    std::vector<std::vector<float>> inputs, outputs;
    std::vector<float*> inPointers, outPointers;
};

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}
}  // namespace

namespace {
size_t roundFramesOf(const BenchmarkSettings& settings) {
    return std::max<size_t>(1, static_cast<size_t>(settings.roundSeconds * settings.sampleRate));
}

size_t warmUpFramesOf(const BenchmarkSettings& settings) {
    return static_cast<size_t>(settings.warmUpSeconds * settings.sampleRate);
}
}  // namespace

size_t benchmarkFrames(size_t plugins, const BenchmarkSettings& settings) {
    const size_t rounds = static_cast<size_t>(std::max(settings.rounds, 0));
    return plugins * (warmUpFramesOf(settings) + 2 * rounds * roundFramesOf(settings));
}

std::vector<BenchmarkResult> benchmarkProcessing(const std::vector<PluginInstance*>& plugins,
                                                 const BenchmarkSettings& settings,
                                                 const std::function<void(size_t)>& advanced) {
    const double rate = settings.sampleRate;
    const size_t roundFrames = roundFramesOf(settings);
    const size_t warmUpFrames = warmUpFramesOf(settings);
    // Ten seconds of noise, repeated for longer rounds, keep memory small.
    const size_t noiseFrames = std::min(roundFrames, static_cast<size_t>(10.0 * rate));
    const std::vector<float> noise = noiseSamples(noiseFrames, 0.5f, 2024);
    const std::vector<float> silence;

    std::vector<BenchmarkedPlugin> runs;
    for (PluginInstance* plugin : plugins) {
        plugin->setSampleRate(static_cast<float>(rate));
        plugin->setBlockSize(settings.blockSize);
        plugin->resume();
        plugin->startProcessing();
        runs.emplace_back(*plugin, settings.blockSize);
    }
    for (auto& run : runs) run.run(noise, warmUpFrames, advanced);

    std::vector<std::vector<double>> noiseTimes(runs.size()), silenceTimes(runs.size());
    for (auto* phase : {&noiseTimes, &silenceTimes}) {
        const std::vector<float>& source = phase == &noiseTimes ? noise : silence;
        for (int round = 0; round < settings.rounds; ++round) {
            // Every other round the order turns, so no plug-in always comes first.
            for (size_t k = 0; k < runs.size(); ++k) {
                const size_t p = round % 2 ? runs.size() - 1 - k : k;
                (*phase)[p].push_back(runs[p].run(source, roundFrames, advanced));
            }
        }
    }

    std::vector<BenchmarkResult> results(runs.size());
    for (size_t p = 0; p < runs.size(); ++p) {
        results[p].noiseNanosecondsPerFrame = median(noiseTimes[p]);
        results[p].silenceNanosecondsPerFrame = median(silenceTimes[p]);
        runs[p].plugin.stopProcessing();
        runs[p].plugin.suspend();
    }
    return results;
}

double realTimeFactor(double nanosecondsPerFrame, double sampleRate) {
    return nanosecondsPerFrame > 0.0 ? 1e9 / (nanosecondsPerFrame * sampleRate) : 0.0;
}
