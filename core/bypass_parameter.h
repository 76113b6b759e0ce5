// The bypass as the formats that offer one show it: a switch after the
// effect's own parameters, whose index it takes, off or on.
#pragma once

#include <cstdint>

#include "core/varnolet_parameters.h"

namespace varnolet {

constexpr int32_t kBypassIndex = kNumParameters;
constexpr const char* kBypassName = "Bypass";

// A host's value of the switch: on from half-way up. False for a value that
// is not a number.
bool bypassFromValue(double value, bool& bypass);

// "On" or "Off".
const char* bypassText(bool bypass);

// "On" or "Off" in any case, or the number 1 or 0. False, and `bypass`
// untouched, for anything else.
bool bypassFromText(const char* text, bool& bypass);

}  // namespace varnolet
