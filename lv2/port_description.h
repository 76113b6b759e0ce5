// What LV2 hosts read about a parameter's control port, made from the
// parameter's own description.
#pragma once

#include <string>

#include "core/parameter_description.h"

namespace varnolet_lv2 {

// The name in lower case with "_" for every character that is not a letter or
// a digit: "Wet/Dry mix" is "wet_dry_mix".
std::string portSymbol(const char* name);

// The LV2 unit of a parameter unit ("units:ms"), or empty where LV2 has none.
const char* lv2Unit(int32_t unit);

// A float as a Turtle decimal that reads back as the same float.
std::string turtleNumber(float value);

}  // namespace varnolet_lv2
