#include "framework/parameter_mapping.h"

#include <cmath>

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

}  // namespace parameter_mapping
