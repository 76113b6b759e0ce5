// The stage every sample passes on its way into the delay line: a cubic soft
// clipper between a drive and an output gain, then a state-variable filter
// whose outputs crossfade from through to low-, band- and high-pass.
#pragma once

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

constexpr double kClipThreshold = 1.5;
constexpr double kClipLevel = 1.0;
// 4/27 as the 32-bit float it is defined as: the cubic meets the clip level
// at the threshold with zero slope.
constexpr double kCubic = static_cast<double>(0.14814815f);

// Derives the coefficients from the block's parameter snapshot.
LineInputCoefficients prepareLineInput(const float* parameters, float sampleRate);

inline double softClip(double y) {
    if (y > kClipThreshold) return kClipLevel;
    if (y < -kClipThreshold) return -kClipLevel;
    return y - kCubic * (y * y * y);
}

}  // namespace varnolet
