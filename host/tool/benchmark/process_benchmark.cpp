#include "host/tool/benchmark/process_benchmark.h"

#include <algorithm>

#include "host/library/channel_blocks.h"
#include "host/tool/audio_files/test_signals.h"

namespace {
// Noise or silence on every channel, for as long as it is pulled.
class BenchmarkSignal : public AudioStream {
public:
    BenchmarkSignal(size_t channels, const std::vector<float>& noiseSamples)
        : channelTotal(channels), noise(noiseSamples) {}

    size_t channelCount() const override { return channelTotal; }
    void pull(float* const* channels, size_t frames) override {
        for (size_t c = 0; c < channelTotal; ++c)
            for (size_t i = 0; i < frames; ++i)
                channels[c][i] = silent ? 0.0f : noise[(position + i) % noise.size()];
        position += frames;
    }

    bool silent = false;

private:
    size_t channelTotal;
    const std::vector<float>& noise;
    size_t position = 0;
};

class BenchmarkedChain {
public:
    BenchmarkedChain(PluginChain& timed, const std::vector<float>& noise, int32_t frames)
        : chain(timed),
          signal(timed.inputChannels(), noise),
          last(timed.connect(signal)),
          blockSize(static_cast<size_t>(frames)),
          block(last.channelCount(), blockSize) {}

    // Runs the frames through; the nanoseconds per frame each stage took.
    std::vector<double> run(bool silent, size_t frames, const std::function<void(size_t)>& advanced) {
        signal.silent = silent;
        std::vector<std::chrono::nanoseconds> before;
        for (size_t s = 0; s < chain.size(); ++s) before.push_back(chain.stage(s).processingTime());
        for (size_t done = 0; done < frames; done += blockSize) {
            const size_t count = std::min(frames - done, blockSize);
            last.pull(block.data(), count);
            if (advanced) advanced(count);
        }
        std::vector<double> perFrame;
        for (size_t s = 0; s < chain.size(); ++s) {
            const double spent =
                static_cast<double>((chain.stage(s).processingTime() - before[s]).count());
            perFrame.push_back(frames ? spent / static_cast<double>(frames) : 0.0);
        }
        return perFrame;
    }

    PluginChain& chain;

private:
    BenchmarkSignal signal;
    AudioStream& last;
    size_t blockSize;
    ChannelBlocks block;
};

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

size_t roundFramesOf(const BenchmarkSettings& settings) {
    return std::max<size_t>(1, static_cast<size_t>(settings.roundSeconds * settings.sampleRate));
}

size_t warmUpFramesOf(const BenchmarkSettings& settings) {
    return static_cast<size_t>(settings.warmUpSeconds * settings.sampleRate);
}
}  // namespace

size_t benchmarkFrames(size_t chains, const BenchmarkSettings& settings) {
    const size_t rounds = static_cast<size_t>(std::max(settings.rounds, 0));
    return chains * (warmUpFramesOf(settings) + 2 * rounds * roundFramesOf(settings));
}

bool benchmarkChains(const std::vector<PluginChain*>& chains, const BenchmarkSettings& settings,
                     const std::function<void(size_t)>& advanced, std::vector<ChainTiming>& results,
                     std::string& error) {
    const double rate = settings.sampleRate;
    const size_t roundFrames = roundFramesOf(settings);
    // Ten seconds of noise, repeated for longer rounds, keep memory small.
    const size_t noiseFrames = std::min(roundFrames, static_cast<size_t>(10.0 * rate));
    const std::vector<float> noise = noiseSamples(noiseFrames, 0.5f, 2024);

    std::vector<std::unique_ptr<BenchmarkedChain>> runs;
    for (PluginChain* chain : chains) {
        runs.push_back(std::make_unique<BenchmarkedChain>(*chain, noise, settings.blockSize));
        if (!chain->start(error)) return false;
    }
    for (auto& run : runs) run->run(false, warmUpFramesOf(settings), advanced);

    // Per phase, per chain, per stage: the rounds' figures.
    std::vector<std::vector<std::vector<double>>> times[2];
    for (auto& phase : times) {
        for (auto& run : runs) phase.emplace_back(run->chain.size() + 1);
    }
    for (int phase = 0; phase < 2; ++phase) {
        for (int round = 0; round < settings.rounds; ++round) {
            // Every other round the order turns, so no chain always comes first.
            for (size_t k = 0; k < runs.size(); ++k) {
                const size_t p = round % 2 ? runs.size() - 1 - k : k;
                const std::vector<double> stages = runs[p]->run(phase == 1, roundFrames, advanced);
                double whole = 0.0;
                for (size_t s = 0; s < stages.size(); ++s) {
                    times[phase][p][s].push_back(stages[s]);
                    whole += stages[s];
                }
                times[phase][p].back().push_back(whole);
            }
        }
    }

    results.assign(runs.size(), ChainTiming());
    for (size_t p = 0; p < runs.size(); ++p) {
        const size_t stages = runs[p]->chain.size();
        for (size_t s = 0; s <= stages; ++s) {
            const BenchmarkResult result{median(times[0][p][s]), median(times[1][p][s])};
            if (s < stages) results[p].stages.push_back(result);
            else results[p].whole = result;
        }
        runs[p]->chain.stop();
    }
    return true;
}

double realTimeFactor(double nanosecondsPerFrame, double sampleRate) {
    return nanosecondsPerFrame > 0.0 ? 1e9 / (nanosecondsPerFrame * sampleRate) : 0.0;
}
