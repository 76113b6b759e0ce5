// How long the effect goes on sounding once its input has fallen silent, as
// the plug-in formats report it to hosts that stop processing after it.
#pragma once

#include <cstdint>

#include "core/varnolet_parameters.h"

namespace varnolet {

// A tail that never ends.
constexpr uint32_t kEndlessTail = UINT32_MAX;

// The tail in frames at the given rate for the given native values:
// kEndlessTail while echoes can recirculate (some tap feeds back) or the
// filter does not decay (undamped at "Filter Q" 1); else the longest tap's
// delay (a time of 0 reads the whole line) and the frames the filter's ringing
// takes to fall below -100 dBFS after it.
uint32_t tailFrames(const float (&values)[kNumParameters], double sampleRate);

}  // namespace varnolet
