// The stage every sample passes on its way into the delay line: a cubic soft
// clipper between a drive and an output gain, then a state-variable filter
// whose outputs crossfade from through to low-, band- and high-pass.
#pragma once

#include <cstdint>

#include "core/varnolet_parameters.h"

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

// The stage's per-block preparation, kept from block to block. The sine and
// the two powers cost more than a short block of frames, and a host moving
// one parameter changes the argument of at most one of them, so each is
// worked out again only when a value it depends on has changed.
class LineInputPreparation {
public:
    // Brings the coefficients up to date with the parameters and the rate,
    // given which of them changed since the last call (changedBit of each,
    // kRateChanged for the rate); the first call must name them all.
    const LineInputCoefficients& update(const float* parameters, float sampleRate,
                                        ParameterChanges changed);
    const LineInputCoefficients& coefficients() const { return c; }

private:
    double sweepFactor = 0.0;  // 2^(7 × "Filter Sweep")
    double fUnrounded = 0.0;   // the damping's limit takes f before its rounding
    double qRaw = 0.0;
    LineInputCoefficients c{};
};

// All of it from one snapshot, as a first block prepares it.
LineInputCoefficients prepareLineInput(const float* parameters, float sampleRate);

}  // namespace varnolet
