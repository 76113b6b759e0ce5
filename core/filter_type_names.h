// Names of the whole-number values of "Filter Type".
#pragma once

#include <cstdint>

namespace varnolet {

constexpr int32_t kNumFilterTypeNames = 5;

// 0 and 4 are both the through response and share one text, so that the
// value-name registry, keyed by address, holds a single "Thru".
extern const char* const kFilterTypeNames[kNumFilterTypeNames];

// The name of a filter type value, or null between the whole numbers.
const char* filterTypeName(float value);

}  // namespace varnolet
