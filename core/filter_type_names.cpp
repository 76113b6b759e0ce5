#include "core/filter_type_names.h"

#include <cmath>

namespace varnolet {

namespace {
const char kThru[] = "Thru";
constexpr float kNameWindow = 0.005f;
}  // namespace

const char* const kFilterTypeNames[kNumFilterTypeNames] = {kThru, "Low", "Band", "High", kThru};

const char* filterTypeName(float value) {
    // Far outside the named values there is nothing to round; this also keeps
    // the conversion to an integer defined for any float.
    if (!(value > -1.0f && value < static_cast<float>(kNumFilterTypeNames))) return nullptr;
    const int32_t n = static_cast<int32_t>(value + 0.5);
    if (n < 0 || n >= kNumFilterTypeNames) return nullptr;
    if (!(std::fabs(value - static_cast<float>(n)) < kNameWindow)) return nullptr;
    return kFilterTypeNames[n];
}

}  // namespace varnolet
