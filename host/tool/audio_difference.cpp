#include "host/tool/audio_difference.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

AudioDifference compareAudio(const AudioBuffer& a, const AudioBuffer& b) {
    AudioDifference d;
    d.framesA = a.frames();
    d.framesB = b.frames();
    const size_t frames = std::max(d.framesA, d.framesB);
    const size_t channels = std::min(a.channelCount(), b.channelCount());
    double sumOfSquares = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        for (size_t c = 0; c < channels; ++c) {
            const double x = i < d.framesA ? a.channels[c][i] : 0.0;
            const double y = i < d.framesB ? b.channels[c][i] : 0.0;
            // NaN in one file and a number in the other is a difference; NaN
            // in both is not.
            const bool same = x == y || (std::isnan(x) && std::isnan(y));
            if (same) continue;
            if (d.firstDifferentFrame < 0) d.firstDifferentFrame = static_cast<int64_t>(i);
            const double e = std::isnan(x - y) ? std::numeric_limits<double>::infinity()
                                               : std::fabs(x - y);
            sumOfSquares += e * e;
            if (e > d.peak) {
                d.peak = e;
                d.peakFrame = i;
                d.peakChannel = c;
            }
        }
    }
    const double count = static_cast<double>(frames) * static_cast<double>(channels);
    d.rms = count > 0 ? std::sqrt(sumOfSquares / count) : 0.0;
    return d;
}

double amplitudeToDecibels(double amplitude) {
    return amplitude > 0.0 ? 20.0 * std::log10(amplitude)
                           : -std::numeric_limits<double>::infinity();
}

std::string formatDecibels(double decibels) {
    if (std::isinf(decibels)) return decibels < 0 ? "-inf dB" : "inf dB";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f dB", decibels);
    return text;
}
