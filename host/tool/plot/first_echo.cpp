#include "host/tool/plot/first_echo.h"

#include <algorithm>
#include <cmath>

namespace {
float loudest(const AudioBuffer& response, size_t frame) {
    float peak = 0.0f;
    for (const auto& channel : response.channels) peak = std::max(peak, std::fabs(channel[frame]));
    return peak;
}

// The first frame at or after from where the sound falls silent for gap frames.
size_t endOfSound(const AudioBuffer& response, size_t from, size_t gap, float threshold) {
    const size_t frames = response.frames();
    size_t quiet = 0;
    for (size_t i = from; i < frames; ++i) {
        if (loudest(response, i) > threshold) quiet = 0;
        else if (++quiet >= gap) return i + 1 - quiet;
    }
    return frames;
}
}  // namespace

EchoStretch findFirstEcho(const AudioBuffer& response, size_t directFrames, size_t gapFrames,
                          size_t maxFrames, double thresholdDecibels) {
    EchoStretch echo;
    const size_t frames = response.frames();
    float peak = 0.0f;
    for (size_t i = 0; i < frames; ++i) peak = std::max(peak, loudest(response, i));
    if (peak <= 0.0f) return echo;
    const float threshold = peak * static_cast<float>(std::pow(10.0, thresholdDecibels / 20.0));

    size_t from = 0;
    for (size_t i = 0; i < std::min(directFrames, frames); ++i) {
        if (loudest(response, i) > threshold) {
            from = endOfSound(response, i, gapFrames, threshold);
            break;
        }
    }
    for (size_t i = from; i < frames; ++i) {
        if (loudest(response, i) > threshold) {
            echo.found = true;
            // It starts with its first sound, which may lie below the
            // threshold (the start of a filtered click): back over frames
            // that are not silent, unless they run back to the direct sound.
            size_t first = i;
            while (first > from && loudest(response, first - 1) != 0.0f) --first;
            if (first > from) i = first;
            echo.start = i;
            // Its quiet ringing belongs to it too, up to where the next sound starts.
            size_t next = endOfSound(response, i, gapFrames, threshold);
            while (next < frames && !(loudest(response, next) > threshold)) ++next;
            echo.length = std::min(next - i, maxFrames);
            return echo;
        }
    }
    return echo;
}
