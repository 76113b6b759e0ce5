#include "vst3/parameter_values.h"

#include "core/parameter_mapping.h"
#include "core/varnolet_parameters.h"

namespace varnolet_vst3 {

int32_t parameterIndex(vst3::ParamID id) {
    return id < static_cast<vst3::ParamID>(varnolet::kNumParameters) ? static_cast<int32_t>(id)
                                                                      : -1;
}

float nativeFromNormalized(int32_t index, vst3::ParamValue normalized, float stored) {
    return parameter_mapping::nativeFromHost(varnolet::kParameters[index],
                                             static_cast<float>(normalized), stored);
}

vst3::ParamValue normalizedFromNative(int32_t index, float native) {
    return parameter_mapping::hostFromNative(varnolet::kParameters[index], native);
}

}  // namespace varnolet_vst3
