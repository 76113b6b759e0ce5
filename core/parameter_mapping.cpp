#include "core/parameter_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "numeric/portable_math.h"

namespace parameter_mapping {

double fromLinear(const ParameterDescription& description, double x) {
    const double min = description.minValue;
    const double max = description.maxValue;
    switch (description.unit) {
        case kAudioUnitParameterUnit_Hertz:
            // Equal host steps give equal frequency ratios.
            return min * portable_math::exp2(x * portable_math::log2(max / min));
        case kAudioUnitParameterUnit_Indexed:
        case kAudioUnitParameterUnit_Beats:
            return std::floor(min + x * (max - min) + 0.5);
        default:
            return min + x * (max - min);
    }
}

double toLinear(const ParameterDescription& description, double v) {
    const double min = description.minValue;
    const double max = description.maxValue;
    if (description.unit == kAudioUnitParameterUnit_Hertz)
        return portable_math::log(v / min) / portable_math::log(max / min);
    if (min == max) return min;
    return (v - min) / (max - min);
}

namespace {

// Not ==, which takes -0 for 0: a value is left alone only when writing it
// would change no bit.
bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Whether the host's value is what a host reads for the stored one. Hosts that
// keep no state of their own restore a plug-in by writing back what they read,
// some whenever they open its panel; mapped again, a read-back need not give
// the value stored (a cutoff of 1000 Hz reads back as 0.590271831, which maps
// to 999.99988 Hz).
bool isReadBack(const ParameterDescription& description, float value, float stored,
                float mapped) {
    if (description.unit == kAudioUnitParameterUnit_Hertz && stored >= description.minValue &&
        stored <= description.maxValue) {
        // The read-back costs two logarithms, which a host moving the value
        // should not pay. Being the exact normalised value rounded to float,
        // it maps to within 1e-6 of the stored value for any range up to
        // 1:10^8 (50 to 8000 Hz: 2.2e-7); a mapped value further away cannot
        // come from it.
        if (std::fabs(mapped - stored) > 0x1p-16f * stored) return false;
    }
    return hostFromNative(description, stored) == value;
}

}  // namespace

float nativeFromHost(const ParameterDescription& description, float value, float stored) {
    if (std::isnan(value)) return stored;
    const float mapped =
        static_cast<float>(fromLinear(description, std::min(1.0f, std::max(0.0f, value))));
    if (sameBits(mapped, stored) || isReadBack(description, value, stored, mapped)) return stored;
    return mapped;
}

float hostFromNative(const ParameterDescription& description, float native) {
    return static_cast<float>(toLinear(description, native));
}

}  // namespace parameter_mapping
