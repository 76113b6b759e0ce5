#include "host/tool/audio_files/test_signals.h"

#include <algorithm>
#include <cmath>

namespace {
// xorshift32: small, and unlike the standard distributions it draws the
// same numbers with every standard library.
float nextNoise(uint32_t& state, float height) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return height * (static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
}

uint32_t channelSeed(uint32_t seed, size_t channel) {
    const uint32_t mixed = seed + static_cast<uint32_t>(channel) * 0x9E3779B9u;
    return mixed ? mixed : 1;
}
}  // namespace

TestSignal::TestSignal(Kind signalKind, double sampleRate, size_t channels, size_t frames,
                       float level, uint32_t seed)
    : kind(signalKind), rate(sampleRate), length(frames), height(level), noiseStates(channels) {
    for (size_t c = 0; c < channels; ++c) noiseStates[c] = channelSeed(seed, c);
}

TestSignal TestSignal::click(double sampleRate, size_t channels, size_t frames, float height) {
    return TestSignal(Kind::Click, sampleRate, channels, std::max<size_t>(frames, 1), height, 1);
}

TestSignal TestSignal::noise(double sampleRate, size_t channels, size_t frames, float height,
                             uint32_t seed) {
    return TestSignal(Kind::Noise, sampleRate, channels, frames, height, seed);
}

TestSignal TestSignal::clicksAndChord(double sampleRate, size_t frames) {
    return TestSignal(Kind::Demo, sampleRate, 2, frames, 0.0f, 1);
}

size_t TestSignal::read(float* const* channels, size_t frames) {
    const size_t count = std::min(frames, length - position);
    for (size_t c = 0; c < noiseStates.size(); ++c) {
        for (size_t i = 0; i < count; ++i) {
            const size_t frame = position + i;
            switch (kind) {
                case Kind::Click: channels[c][i] = frame == 0 ? height : 0.0f; break;
                case Kind::Noise: channels[c][i] = nextNoise(noiseStates[c], height); break;
                case Kind::Demo: channels[c][i] = demoSample(c, frame); break;
            }
        }
    }
    position += count;
    return count;
}

float TestSignal::demoSample(size_t channel, size_t frame) const {
    const auto at = [this](double time) { return static_cast<size_t>(time * rate); };
    const struct {
        double time;
        float left, right;
    } clicks[] = {{0.0, 0.5f, 0.5f}, {0.5, 0.5f, 0.0f}, {1.0, 0.0f, 0.5f}};
    for (const auto& click : clicks)
        if (frame == at(click.time)) return channel == 0 ? click.left : click.right;
    // C4, E4 and G4, with a 5 ms attack and a decay of about 0.4 s.
    const size_t start = at(1.5), chordLength = at(1.5);
    if (frame < start || frame >= start + chordLength) return 0.0f;
    const double notes[] = {261.63, 329.63, 392.0};
    const double pi = std::acos(-1.0);
    const double t = static_cast<double>(frame - start) / rate;
    const double envelope = std::min(1.0, t / 0.005) * std::exp(-t / 0.4);
    double sum = 0.0;
    for (double f : notes) sum += std::sin(2.0 * pi * f * t);
    return static_cast<float>(0.15 * envelope * sum);
}

std::vector<float> noiseSamples(size_t frames, float height, uint32_t seed) {
    std::vector<float> samples(frames);
    uint32_t state = channelSeed(seed, 0);
    for (float& sample : samples) sample = nextNoise(state, height);
    return samples;
}
