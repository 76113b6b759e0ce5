// Where the first echo of an impulse response lies: the first stretch of
// sound after the direct sound, with its quiet ringing, up to the next sound.
#pragma once

#include <cstddef>

#include "host/library/audio_buffer.h"

struct EchoStretch {
    bool found = false;
    size_t start = 0;   // first frame of the stretch
    size_t length = 0;  // frames
};

// Sound is anything above thresholdDecibels relative to the response's
// peak; the direct sound is whatever starts within directFrames of frame 0
// and has ended before a gap of gapFrames. The stretch starts at the first
// frame that is not silent before the echo's sound (where the echo begins
// below the threshold), ends where sound starts again after a gap of
// gapFrames, and is at most maxFrames long.
EchoStretch findFirstEcho(const AudioBuffer& response, size_t directFrames, size_t gapFrames,
                          size_t maxFrames, double thresholdDecibels = -60.0);
