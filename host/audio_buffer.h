// Audio held one array per channel, at one sample rate.
#pragma once

#include <cstddef>
#include <vector>

struct AudioBuffer {
    double sampleRate = 44100.0;
    std::vector<std::vector<float>> channels;

    AudioBuffer() = default;
    AudioBuffer(double rate, size_t channelCount, size_t frames)
        : sampleRate(rate), channels(channelCount, std::vector<float>(frames, 0.0f)) {}

    size_t channelCount() const { return channels.size(); }
    size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};
