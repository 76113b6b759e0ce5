// A source followed by endless silence, as a host feeds a plug-in while its
// tail rings out. It counts the source's frames, so that a render knows
// where the input ended.
#pragma once

#include <vector>

#include "host/library/audio_stream.h"

class InputThenSilence : public AudioStream {
public:
    explicit InputThenSilence(AudioSource& input) : source(input), offsets(input.channelCount()) {}

    size_t channelCount() const override { return source.channelCount(); }
    double sampleRate() const { return source.sampleRate(); }
    void pull(float* const* channels, size_t frames) override;
    // The silence after the source's end.
    size_t quietFrames() const override { return finished ? pulled - given : 0; }

    // True once the source has given everything it will.
    bool ended() const { return finished; }
    // The source's frames given so far: all of them once it has ended.
    size_t inputFrames() const { return given; }
    // The length when it is known: once ended, or in advance from the source.
    bool lengthKnown(size_t& frames) const;
    bool failed(std::string& reason) const { return source.failed(reason); }

private:
    AudioSource& source;
    std::vector<float*> offsets;
    size_t given = 0;
    size_t pulled = 0;
    bool finished = false;
};
