#include "host/tool/audio_files/audio_difference.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "host/library/channel_blocks.h"

namespace {
constexpr size_t kBlock = 4096;

// Reads a full block, or what is left at the end; 0 after the end.
size_t readBlock(AudioSource& source, ChannelBlocks& block, bool& ended) {
    if (ended) return 0;
    const size_t got = source.read(block.data(), kBlock);
    if (got < kBlock) ended = true;
    return got;
}
}  // namespace

bool compareAudio(AudioSource& a, AudioSource& b, bool commonPartOnly, AudioDifference& d,
                  std::string& error) {
    d = AudioDifference();
    const size_t channels = a.channelCount();
    ChannelBlocks blockA(channels, kBlock), blockB(channels, kBlock);
    bool endedA = false, endedB = false;
    double sumOfSquares = 0.0;
    while (!endedA || !endedB) {
        const size_t gotA = readBlock(a, blockA, endedA);
        const size_t gotB = readBlock(b, blockB, endedB);
        for (const auto* source : {&a, &b}) {
            std::string reason;
            if (source->failed(reason)) {
                error = reason;
                return false;
            }
        }
        const size_t frames = commonPartOnly ? std::min(gotA, gotB) : std::max(gotA, gotB);
        for (size_t i = 0; i < frames; ++i) {
            for (size_t c = 0; c < channels; ++c) {
                const double x = i < gotA ? blockA[c][i] : 0.0;
                const double y = i < gotB ? blockB[c][i] : 0.0;
                // NaN in one file and a number in the other is a difference;
                // NaN in both is not.
                const bool same = x == y || (std::isnan(x) && std::isnan(y));
                if (same) continue;
                const size_t frame = d.framesCompared + i;
                if (d.firstDifferentFrame < 0) d.firstDifferentFrame = static_cast<int64_t>(frame);
                const double e = std::isnan(x - y) ? std::numeric_limits<double>::infinity()
                                                   : std::fabs(x - y);
                sumOfSquares += e * e;
                if (e > d.peak) {
                    d.peak = e;
                    d.peakFrame = frame;
                    d.peakChannel = c;
                }
            }
        }
        d.framesA += gotA;
        d.framesB += gotB;
        d.framesCompared += frames;
        if (commonPartOnly && (endedA || endedB)) {
            // Count what is left of the longer one without comparing it.
            while (!endedA) d.framesA += readBlock(a, blockA, endedA);
            while (!endedB) d.framesB += readBlock(b, blockB, endedB);
        }
    }
    const double count = static_cast<double>(d.framesCompared) * static_cast<double>(channels);
    d.rms = count > 0 ? std::sqrt(sumOfSquares / count) : 0.0;
    return true;
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
