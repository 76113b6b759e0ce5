// The cubic soft clipper in front of the filter, for one sample.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace varnolet {

constexpr double kClipThreshold = 1.5;
constexpr double kClipLevel = 1.0;
// 4/27 as the 32-bit float it is defined as: the cubic meets the clip level
// at the threshold with zero slope.
constexpr double kCubic = static_cast<double>(0.14814815f);

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
