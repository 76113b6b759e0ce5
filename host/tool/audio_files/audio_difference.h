// How far two renders of the same audio lie apart, for golden-file checks,
// compared a block at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/library/audio_stream.h"

struct AudioDifference {
    size_t framesA = 0;
    size_t framesB = 0;
    size_t framesCompared = 0;
    double peak = 0.0;  // largest absolute difference of one sample
    size_t peakFrame = 0;
    size_t peakChannel = 0;
    double rms = 0.0;  // over every sample of every channel compared
    int64_t firstDifferentFrame = -1;  // -1 when every sample compared is equal

    bool samplesEqual() const { return firstDifferentFrame < 0; }
};

// The sources must have the same channel count. Where one is shorter, its
// missing frames count as silence, unless commonPartOnly.
bool compareAudio(AudioSource& a, AudioSource& b, bool commonPartOnly, AudioDifference& difference,
                  std::string& error);

// 20·log10(amplitude); minus infinity for 0.
double amplitudeToDecibels(double amplitude);
// "-96.33 dB", or "-inf dB".
std::string formatDecibels(double decibels);
