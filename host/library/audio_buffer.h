// Audio held in memory, one array per channel, at one sample rate; and the
// source and sink that read and fill it, for renders that are kept whole
// (an impulse response to plot) and for tests.
#pragma once

#include <cstddef>
#include <vector>

#include "host/library/audio_stream.h"

struct AudioBuffer {
    double sampleRate = 44100.0;
    std::vector<std::vector<float>> channels;

    AudioBuffer() = default;
    AudioBuffer(double rate, size_t channelCount, size_t frames)
        : sampleRate(rate), channels(channelCount, std::vector<float>(frames, 0.0f)) {}

    size_t channelCount() const { return channels.size(); }
    size_t frames() const { return channels.empty() ? 0 : channels[0].size(); }
};

class AudioBufferSource : public AudioSource {
public:
    explicit AudioBufferSource(const AudioBuffer& buffer) : audio(buffer) {}
    size_t channelCount() const override { return audio.channelCount(); }
    double sampleRate() const override { return audio.sampleRate; }
    size_t knownLength() const override { return audio.frames(); }
    size_t read(float* const* channels, size_t frames) override;

private:
    const AudioBuffer& audio;
    size_t position = 0;
};

class AudioBufferSink : public AudioSink {
public:
    AudioBufferSink(double sampleRate, size_t channelCount) : audio(sampleRate, channelCount, 0) {}
    bool write(const float* const* channels, size_t frames, std::string& error) override;

    AudioBuffer audio;
};
