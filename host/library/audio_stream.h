// The pieces a render is made of: a source that ends (a file, a test
// signal), a stream that never does (an input followed by silence, a
// plug-in fed by one), and a sink that takes the result. Audio travels as
// one array per channel.
#pragma once

#include <cstddef>
#include <string>

class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual size_t channelCount() const = 0;
    virtual double sampleRate() const = 0;
    // The frames the source will give, when it knows them (a file); 0 when
    // it cannot tell (a pipe).
    virtual size_t knownLength() const { return 0; }
    // Reads up to frames frames into each channel; fewer only at the end,
    // or on a failure, which failed() then tells.
    virtual size_t read(float* const* channels, size_t frames) = 0;
    virtual bool failed(std::string& reason) const {
        (void)reason;
        return false;
    }
};

class AudioStream {
public:
    virtual ~AudioStream() = default;
    virtual size_t channelCount() const = 0;
    // Exactly frames frames into each channel.
    virtual void pull(float* const* channels, size_t frames) = 0;
};

class AudioSink {
public:
    virtual ~AudioSink() = default;
    // False, with the reason, when the frames cannot be kept.
    virtual bool write(const float* const* channels, size_t frames, std::string& error) = 0;
};
