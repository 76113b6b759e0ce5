// The parameters as the format shows them: ids that are the VST 2.4 indices,
// normalised values mapped exactly as the VST 2.4 module maps them, and the
// parameter's own ("plain") values; then the bypass, a switch whose plain
// value is 0 or 1; then the program change.
#pragma once

#include <cstdint>

#include "core/bypass_parameter.h"
#include "vst3/vst3_interface.h"

namespace varnolet_vst3 {

constexpr int32_t kParameterCount = varnolet::kBypassIndex + 1;

// Listed after them, the program change: it chooses a program and holds no
// value of the effect.
constexpr int32_t kProgramIndex = kParameterCount;
constexpr int32_t kListedParameterCount = kProgramIndex + 1;

// The parameter index an id stands for, or -1; the program change is none.
int32_t parameterIndex(vst3::ParamID id);
// The index of any listed parameter, the program change included, or -1.
int32_t listedIndex(vst3::ParamID id);

// The native value a parameter holding `stored` takes for the host's
// normalised value: rounded to a float first, as a VST 2.4 host passes it,
// so that the same normalised value stores the same native value in both.
// The bypass is on from half-way up.
float nativeFromNormalized(int32_t index, vst3::ParamValue normalized, float stored);
// What a host reads back for a native value.
vst3::ParamValue normalizedFromNative(int32_t index, float native);

}  // namespace varnolet_vst3
