// The factory presets every format offers: each sets all the parameters, in
// their native units, to show one thing the effect does. They are not the VST
// 2.4 module's programs, which start at the defaults; the module's users get
// them as a bank file beside it.
#pragma once

#include <cstdint>

#include "core/varnolet_parameters.h"

namespace varnolet {

struct FactoryPreset {
    const char* name;  // at most 24 characters, what a VST 2.4 program name holds
    const char* symbol;  // lower case, digits and '-', for identifiers such as LV2's URIs
    float values[kNumParameters];
};

constexpr int32_t kNumFactoryPresets = 8;

extern const FactoryPreset kFactoryPresets[kNumFactoryPresets];

}  // namespace varnolet
