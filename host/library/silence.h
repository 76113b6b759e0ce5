// Silence of a known length and layout, as a source: what feeds an
// instrument's inputs, if it has any, while it is played by events.
#pragma once

#include <algorithm>

#include "host/library/audio_stream.h"

class Silence : public AudioSource {
public:
    Silence(double rate, size_t channelTotal, size_t frames)
        : frameRate(rate), channels(channelTotal), length(frames) {}

    size_t channelCount() const override { return channels; }
    double sampleRate() const override { return frameRate; }
    size_t knownLength() const override { return length; }
    size_t read(float* const* out, size_t frames) override {
        const size_t count = std::min(frames, length - position);
        for (size_t c = 0; c < channels; ++c) std::fill_n(out[c], count, 0.0f);
        position += count;
        return count;
    }

private:
    double frameRate;
    size_t channels, length;
    size_t position = 0;
};
