// Times processReplacing: for noise, and for the silent tail after it, with
// several plug-ins taking turns so that they share the machine's state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "host/library/plugin_instance.h"

struct BenchmarkSettings {
    double sampleRate = 44100.0;
    int32_t blockSize = 512;
    double warmUpSeconds = 1.0;  // of noise, untimed
    double roundSeconds = 1.0;   // of audio per plug-in, per round and phase
    int rounds = 5;
};

struct BenchmarkResult {
    // Medians over the rounds.
    double noiseNanosecondsPerFrame = 0.0;
    double silenceNanosecondsPerFrame = 0.0;
};

// Switches each plug-in on at the rate and block size, warms it up, then
// times the noise rounds and after them the silence rounds, plug-ins taking
// turns within each round; switches them off again. Told after every block
// how many frames it was, outside the time taken.
std::vector<BenchmarkResult> benchmarkProcessing(const std::vector<PluginInstance*>& plugins,
                                                 const BenchmarkSettings& settings,
                                                 const std::function<void(size_t frames)>& advanced);

// The frames benchmarkProcessing runs through all plug-ins, for progress.
size_t benchmarkFrames(size_t plugins, const BenchmarkSettings& settings);

// Seconds of audio processed per second of time.
double realTimeFactor(double nanosecondsPerFrame, double sampleRate);
