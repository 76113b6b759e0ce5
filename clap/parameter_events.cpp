#include "clap/parameter_events.h"

#include <algorithm>
#include <cmath>

#include "core/bypass_parameter.h"
#include "core/varnolet_parameters.h"

namespace varnolet_clap {

uint32_t eventCount(const vclap_input_events_t* events) {
    return events && events->size ? events->size(events) : 0;
}

bool parameterChangeAt(const vclap_input_events_t* events, uint32_t i, ParameterChange& change) {
    if (!events || !events->get) return false;
    const vclap_event_header_t* header = events->get(events, i);
    if (!header || header->space_id != VCLAP_CORE_EVENT_SPACE_ID ||
        header->type != VCLAP_EVENT_PARAM_VALUE || header->size < sizeof(vclap_event_param_value_t))
        return false;
    const auto* event = reinterpret_cast<const vclap_event_param_value_t*>(header);
    if (event->param_id > static_cast<vclap_id>(varnolet::kBypassIndex)) return false;
    const int32_t index = static_cast<int32_t>(event->param_id);
    if (!heldValue(index, event->value, change.value)) return false;
    change.frame = header->time;
    change.index = index;
    return true;
}

bool heldValue(int32_t index, double value, float& held) {
    if (index == varnolet::kBypassIndex) {
        bool bypass = false;
        if (!varnolet::bypassFromValue(value, bypass)) return false;
        held = bypass ? 1.0f : 0.0f;
        return true;
    }
    if (index < 0 || index >= varnolet::kNumParameters || std::isnan(value)) return false;
    // Clamped while still a double: a double beyond a float's range has no
    // float to become.
    const ParameterDescription& p = varnolet::kParameters[index];
    held = static_cast<float>(std::min<double>(p.maxValue, std::max<double>(p.minValue, value)));
    return true;
}

}  // namespace varnolet_clap
