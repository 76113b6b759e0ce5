// The mapping between the host's normalised 0..1 values and a parameter's
// native values, chosen by its unit.
#pragma once

#include "framework/parameter_description.h"

namespace parameter_mapping {
double fromLinear(const ParameterDescription& description, double x);
double toLinear(const ParameterDescription& description, double v);
}  // namespace parameter_mapping
