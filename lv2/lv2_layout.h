// How the LV2 plug-in presents the effect: its URI and the order of its ports.
// The adapter and the generator of its description both follow this layout.
#pragma once

#include <cstdint>

#include "core/varnolet_parameters.h"

namespace varnolet_lv2 {

constexpr const char* kPluginUri = "urn:tolmark:varnolet";

// Two audio inputs, two audio outputs, one control input per parameter in
// the parameter table's order, then the switch hosts use to bypass the
// effect (LV2's "enabled": 1 processes, 0 bypasses). Ports are only ever
// added at the end, so that a saved session's indices stay.
enum Port : uint32_t {
    kInputLeft = 0,
    kInputRight = 1,
    kOutputLeft = 2,
    kOutputRight = 3,
    kFirstControl = 4,
    kEnabled = kFirstControl + varnolet::kNumParameters,
    kNumPorts = kEnabled + 1,
};

constexpr uint32_t controlPort(int32_t parameter) {
    return kFirstControl + static_cast<uint32_t>(parameter);
}

}  // namespace varnolet_lv2
