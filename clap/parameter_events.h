// The parameter changes a host's event list carries, read with everything a
// careless host may put there in mind: null entries, other event spaces and
// types, events shorter than they claim to be, unknown parameters and values
// that are not numbers are passed over.
#pragma once

#include <cstdint>

#include "clap/clap_interface.h"

namespace varnolet_clap {

struct ParameterChange {
    uint32_t frame;
    int32_t index;
    float value;  // within the parameter's range
};

// The number of events in the list; 0 for a null list.
uint32_t eventCount(const vclap_input_events_t* events);

// Whether event i of the list is a change of one of the effect's parameters,
// and which.
bool parameterChangeAt(const vclap_input_events_t* events, uint32_t i, ParameterChange& change);

// A value in the parameter's own unit as the effect holds it: within its
// range, as a float, and the bypass 0 or 1; false for one that is not a
// number.
bool heldValue(int32_t index, double value, float& held);

}  // namespace varnolet_clap
