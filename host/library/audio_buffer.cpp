#include "host/library/audio_buffer.h"

#include <algorithm>

size_t AudioBufferSource::read(float* const* channels, size_t frames) {
    const size_t count = std::min(frames, audio.frames() - position);
    for (size_t c = 0; c < audio.channelCount(); ++c)
        std::copy_n(audio.channels[c].begin() + static_cast<std::ptrdiff_t>(position), count,
                    channels[c]);
    position += count;
    return count;
}

bool AudioBufferSink::write(const float* const* channels, size_t frames, std::string&) {
    for (size_t c = 0; c < audio.channelCount(); ++c)
        audio.channels[c].insert(audio.channels[c].end(), channels[c], channels[c] + frames);
    return true;
}
