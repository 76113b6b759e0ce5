// The mapping between the host's normalised 0..1 values and a parameter's
// native values, chosen by its unit.
#pragma once

#include "core/parameter_description.h"

namespace parameter_mapping {
double fromLinear(const ParameterDescription& description, double x);
double toLinear(const ParameterDescription& description, double v);

// The native value to keep when a host sends the normalised value `value` for
// a parameter that holds `stored`: clamped to 0..1, since ranges are what keep
// the engine's reads inside its line and its filter stable, and mapped in the
// parameter's unit, except that a value the host read back for the stored one
// leaves it as it is. A value that is not a number changes nothing.
float nativeFromHost(const ParameterDescription& description, float value, float stored);
// What a host reads for a native value.
float hostFromNative(const ParameterDescription& description, float native);
}  // namespace parameter_mapping
