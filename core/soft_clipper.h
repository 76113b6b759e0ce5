// The cubic soft clipper in front of the filter: below the threshold the
// cubic, above it the clip level with the sample's sign.
#pragma once

namespace varnolet {

constexpr double kClipThreshold = 1.5;
constexpr double kClipLevel = 1.0;
// 4/27 as the 32-bit float it is defined as: the cubic meets the clip level
// at the threshold with zero slope.
constexpr double kCubic = static_cast<double>(0.14814815f);

}  // namespace varnolet
