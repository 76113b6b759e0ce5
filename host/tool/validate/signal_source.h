// The inputs the validator feeds: silence, noise and full-scale squares at
// 0 dBFS peak, impulses, denormal numbers, and for hostile sequences noise
// with a NaN or an infinity in it. The same every time for the same calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/tool/validate/operation.h"
#include "host/tool/validate/seeded_random.h"

class SignalSource {
public:
    // Fills one block of every channel and moves on by its frames.
    void fill(TestSignal signal, float* const* channels, size_t channelCount, size_t frames);

    // Whether the signal stays finite and within 0 dBFS.
    static bool clean(TestSignal signal);

private:
    SeededRandom random{0x5EEDBA5Eull};
    int64_t position = 0;
};

// Noise, uniform between -1 and 1.
float noiseSample(SeededRandom& random);
