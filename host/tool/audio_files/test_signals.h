// Input signals the project makes itself (nothing is downloaded), as
// sources that a render or a file pulls block by block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/library/audio_stream.h"

class TestSignal : public AudioSource {
public:
    // One frame of the given height at frame 0 on every channel, then silence.
    static TestSignal click(double sampleRate, size_t channels, size_t frames, float height);
    // White noise from -height to height, the same for the same seed.
    static TestSignal noise(double sampleRate, size_t channels, size_t frames, float height,
                            uint32_t seed);
    // A stereo demo: single-frame clicks (both sides, left only, right
    // only), then a decaying C major chord, then silence for the echoes.
    static TestSignal clicksAndChord(double sampleRate, size_t frames);

    size_t channelCount() const override { return noiseStates.size(); }
    double sampleRate() const override { return rate; }
    size_t knownLength() const override { return length; }
    size_t read(float* const* channels, size_t frames) override;

private:
    enum class Kind { Click, Noise, Demo };
    TestSignal(Kind kind, double rate, size_t channels, size_t frames, float height, uint32_t seed);
    float demoSample(size_t channel, size_t frame) const;

    Kind kind;
    double rate;
    size_t length;
    float height;
    std::vector<uint32_t> noiseStates;  // one generator per channel
    size_t position = 0;
};

// A block of noise from one generator, as TestSignal::noise makes it.
std::vector<float> noiseSamples(size_t frames, float height, uint32_t seed);
