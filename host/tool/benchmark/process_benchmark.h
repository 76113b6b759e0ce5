// Times the plug-ins' processing: for noise, and for the silent tail after it, of
// every plug-in of a chain, with several chains taking turns so that they
// share the machine's state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/tool/sessions/plugin_chain.h"

struct BenchmarkSettings {
    double sampleRate = 44100.0;
    int32_t blockSize = 512;
    double warmUpSeconds = 1.0;  // of noise, untimed
    double roundSeconds = 1.0;   // of audio per chain, per round and phase
    int rounds = 5;
};

struct BenchmarkResult {
    // Medians over the rounds.
    double noiseNanosecondsPerFrame = 0.0;
    double silenceNanosecondsPerFrame = 0.0;
};

struct ChainTiming {
    std::vector<BenchmarkResult> stages;  // one per plug-in of the chain
    BenchmarkResult whole;                // the chain's plug-ins together
};

// Connects each chain (noise on every input, the block size announced) to
// a source of its own, switches it on, warms it up, then times the noise
// rounds and after them the silence rounds, chains taking turns within each
// round; switches them off again. Told after every block how many frames it
// was, outside the time taken.
// False, saying why, when a plug-in refuses to start.
bool benchmarkChains(const std::vector<PluginChain*>& chains, const BenchmarkSettings& settings,
                     const std::function<void(size_t frames)>& advanced,
                     std::vector<ChainTiming>& results, std::string& error);

// The frames benchmarkChains runs through all chains, for progress.
size_t benchmarkFrames(size_t chains, const BenchmarkSettings& settings);

// Seconds of audio processed per second of time.
double realTimeFactor(double nanosecondsPerFrame, double sampleRate);
