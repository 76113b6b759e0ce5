// The effect's state through the host's stream, which may move fewer bytes
// than asked at a time.
#pragma once

#include "core/effect_state.h"
#include "vst3/parameter_values.h"
#include "vst3/vst3_interface.h"

namespace varnolet_vst3 {

// Writes the state; false when the stream stops taking bytes before all are
// written.
bool writeState(vst3::IBStream* stream, const varnolet::EffectState& state);

// Reads a state, of this version or the first (which is not bypassed):
// false, and `state` untouched, for a stream that is null, ends early, or
// holds a state that is damaged, of a later version or not ours. Only the
// bytes the state's own header accounts for are read, so that a host's
// stream may hold more of its own behind them.
bool readState(vst3::IBStream* stream, varnolet::EffectState& state);

// A state's values as the component and controller hold them: the
// parameters', then the bypass 0 or 1.
void valuesOfState(const varnolet::EffectState& state, float (&values)[kParameterCount]);
varnolet::EffectState stateOfValues(const float (&values)[kParameterCount]);

}  // namespace varnolet_vst3
