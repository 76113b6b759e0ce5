// The stage every sample passes on its way into the delay line: a cubic soft
// clipper between a drive and an output gain, then a state-variable filter
// whose outputs crossfade from through to low-, band- and high-pass.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

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

// The sine, power and exponential are exact to the last bit on every platform
// and cost a few hundred nanoseconds each. A host automating one parameter
// changes the argument of one of them per block, so each remembers its last
// argument and answer.
class RememberedFunction {
public:
    template <typename Function>
    double operator()(double x, Function function) {
        uint64_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        if (!known || bits != argument) {
            argument = bits;
            value = function(x);
            known = true;
        }
        return value;
    }

private:
    bool known = false;
    uint64_t argument = 0;
    double value = 0.0;
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

// Picks one of two values by their bits rather than by a branch: a loud,
// noisy passage clips on either side at random, and a branch on it would be
// mispredicted half of the time.
inline double selectWithoutBranch(bool condition, double ifTrue, double ifFalse) {
    uint64_t a, b;
    std::memcpy(&a, &ifTrue, sizeof a);
    std::memcpy(&b, &ifFalse, sizeof b);
    const uint64_t mask = uint64_t{0} - static_cast<uint64_t>(condition);
    const uint64_t chosen = (a & mask) | (b & ~mask);
    double result;
    std::memcpy(&result, &chosen, sizeof result);
    return result;
}

inline double softClip(double y) {
    const double cubic = y - kCubic * (y * y * y);
    const double level = std::copysign(kClipLevel, y);
    return selectWithoutBranch(std::fabs(y) > kClipThreshold, level, cubic);
}

}  // namespace varnolet
