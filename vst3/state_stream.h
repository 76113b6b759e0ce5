// The effect's state through the host's stream, which may move fewer bytes
// than asked at a time.
#pragma once

#include "core/varnolet_parameters.h"
#include "vst3/vst3_interface.h"

namespace varnolet_vst3 {

// Writes the state of the native values; false when the stream stops taking
// bytes before all are written.
bool writeState(vst3::IBStream* stream, const float (&values)[varnolet::kNumParameters]);

// Reads a state: false, and `values` untouched, for a stream that is null,
// ends early, or holds a state that is damaged, of a later version or not
// ours. Only the bytes the state's own header accounts for are read, so that
// a host's stream may hold more of its own behind them.
bool readState(vst3::IBStream* stream, float (&values)[varnolet::kNumParameters]);

}  // namespace varnolet_vst3
