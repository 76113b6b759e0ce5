#include "host/tool/test_signals.h"

#include <algorithm>
#include <cmath>

AudioBuffer makeClick(double sampleRate, size_t channels, double seconds, float height) {
    const size_t frames = std::max<size_t>(1, static_cast<size_t>(seconds * sampleRate));
    AudioBuffer click(sampleRate, channels, frames);
    for (auto& channel : click.channels) channel[0] = height;
    return click;
}

AudioBuffer makeNoise(double sampleRate, size_t channels, double seconds, float height,
                      uint32_t seed) {
    AudioBuffer noise(sampleRate, channels, static_cast<size_t>(seconds * sampleRate));
    uint32_t state = seed ? seed : 1;
    for (auto& channel : noise.channels) {
        for (float& sample : channel) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            sample = height * (static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
        }
    }
    return noise;
}

AudioBuffer makeClicksAndChord(double sampleRate, double seconds) {
    AudioBuffer demo(sampleRate, 2, static_cast<size_t>(seconds * sampleRate));
    const size_t frames = demo.frames();
    const auto at = [&](double time) { return static_cast<size_t>(time * sampleRate); };
    const struct {
        double time;
        float left, right;
    } clicks[] = {{0.0, 0.5f, 0.5f}, {0.5, 0.5f, 0.0f}, {1.0, 0.0f, 0.5f}};
    for (const auto& click : clicks) {
        if (at(click.time) >= frames) continue;
        demo.channels[0][at(click.time)] = click.left;
        demo.channels[1][at(click.time)] = click.right;
    }
    // C4, E4 and G4, with a 5 ms attack and a decay of about 0.4 s.
    const double notes[] = {261.63, 329.63, 392.0};
    const double pi = std::acos(-1.0);
    const size_t start = at(1.5), length = at(1.5);
    for (size_t i = 0; i < length && start + i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double envelope = std::min(1.0, t / 0.005) * std::exp(-t / 0.4);
        double sum = 0.0;
        for (double f : notes) sum += std::sin(2.0 * pi * f * t);
        const float sample = static_cast<float>(0.15 * envelope * sum);
        demo.channels[0][start + i] = sample;
        demo.channels[1][start + i] = sample;
    }
    return demo;
}
