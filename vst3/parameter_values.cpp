#include "vst3/parameter_values.h"

#include "core/parameter_mapping.h"
#include "core/varnolet_parameters.h"

namespace varnolet_vst3 {

int32_t parameterIndex(vst3::ParamID id) {
    return id < static_cast<vst3::ParamID>(kParameterCount) ? static_cast<int32_t>(id) : -1;
}

int32_t listedIndex(vst3::ParamID id) {
    return id < static_cast<vst3::ParamID>(kListedParameterCount) ? static_cast<int32_t>(id) : -1;
}

float nativeFromNormalized(int32_t index, vst3::ParamValue normalized, float stored) {
    if (index == varnolet::kBypassIndex) {
        bool bypass = false;
        return varnolet::bypassFromValue(normalized, bypass) ? (bypass ? 1.0f : 0.0f) : stored;
    }
    return parameter_mapping::nativeFromHost(varnolet::kParameters[index],
                                             static_cast<float>(normalized), stored);
}

vst3::ParamValue normalizedFromNative(int32_t index, float native) {
    if (index == varnolet::kBypassIndex) return native;
    return parameter_mapping::hostFromNative(varnolet::kParameters[index], native);
}

}  // namespace varnolet_vst3
