#include "host/library/input_then_silence.h"

#include <algorithm>

void InputThenSilence::pull(float* const* channels, size_t frames) {
    size_t filled = 0;
    while (!finished && filled < frames) {
        for (size_t c = 0; c < offsets.size(); ++c) offsets[c] = channels[c] + filled;
        const size_t got = source.read(offsets.data(), frames - filled);
        filled += got;
        given += got;
        if (got == 0) finished = true;
    }
    // A source that tells its length has ended when it has given it all,
    // without a read that comes back empty.
    const size_t length = source.knownLength();
    if (length > 0 && given >= length) finished = true;
    for (size_t c = 0; c < channelCount(); ++c)
        std::fill(channels[c] + filled, channels[c] + frames, 0.0f);
    pulled += frames;
}

bool InputThenSilence::lengthKnown(size_t& frames) const {
    if (finished) frames = given;
    else if (source.knownLength() > 0) frames = source.knownLength();
    else return false;
    return true;
}
