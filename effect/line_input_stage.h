// The stage every sample passes on its way into the delay line: a cubic soft
// clipper between a drive and an output gain, then a state-variable filter
// whose outputs crossfade from through to low-, band- and high-pass.
#pragma once

#include "effect/remembered_function.h"

namespace varnolet {

struct LineInputCoefficients {
    float f;
    float q;
    float wThru;
    float wLow;
    float wBand;
    float wHigh;
    float drive;
    float outputGain;
};

struct LineInputMemory {
    RememberedFunction sweep;
    RememberedFunction sine;
    RememberedFunction damping;
};

// Derives the coefficients from the block's parameter snapshot.
LineInputCoefficients prepareLineInput(const float* parameters, float sampleRate,
                                       LineInputMemory& memory);
LineInputCoefficients prepareLineInput(const float* parameters, float sampleRate);

}  // namespace varnolet
