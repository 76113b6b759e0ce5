// The pieces a render is made of: a source that ends (a file, a test
// signal), a stream that never does (an input followed by silence, a
// plug-in fed by one), and a sink that takes the result. Audio travels as
// one array per channel.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

// Below this level, -90 dB full scale, a sample counts as quiet.
inline const float kQuietLevel = static_cast<float>(std::pow(10.0, -90.0 / 20.0));

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
    // How many of the last frames made, by this stream and every stream it
    // is fed by, were quiet; SIZE_MAX for one that cannot sound again.
    virtual size_t quietFrames() const { return SIZE_MAX; }
};

class AudioSink {
public:
    virtual ~AudioSink() = default;
    // False, with the reason, when the frames cannot be kept.
    virtual bool write(const float* const* channels, size_t frames, std::string& error) = 0;
};
