#include "lv2/lv2_instance.h"

#include <cmath>
#include <new>

#include "lv2/lv2_layout.h"

namespace varnolet_lv2 {

Lv2Instance* Lv2Instance::create(double sampleRate) {
    if (!varnolet::EffectProcessor::supportsSampleRate(sampleRate)) return nullptr;
    try {
        Lv2Instance* instance = new Lv2Instance;
        try {
            instance->effect.setSampleRate(sampleRate);
        } catch (...) {
            delete instance;
            return nullptr;
        }
        return instance;
    } catch (...) {
        return nullptr;
    }
}

void Lv2Instance::connect(uint32_t port, void* data) {
    if (port == kInputLeft || port == kInputRight)
        inputs[port - kInputLeft] = static_cast<const float*>(data);
    else if (port == kOutputLeft || port == kOutputRight)
        outputs[port - kOutputLeft] = static_cast<float*>(data);
    else if (port >= kFirstControl && port < kEnabled)
        controls[port - kFirstControl] = static_cast<const float*>(data);
    else if (port == kEnabled)
        enabled = static_cast<const float*>(data);
}

// LV2 wants an activated instance to start from silence: echoes of the last
// activation must not sound in the next.
void Lv2Instance::activate() { effect.startFromSilence(); }

void Lv2Instance::run(uint32_t frames) {
    // A host's port values go into the effect as they are: a project restores
    // exactly what it saved.
    for (int32_t i = 0; i < varnolet::kNumParameters; ++i)
        if (controls[i]) effect.setParameter(i, *controls[i]);
    // LV2 takes anything above 0 for enabled; a value that is not a number
    // changes nothing, as on every other port.
    if (enabled && !std::isnan(*enabled)) effect.setBypassed(!(*enabled > 0.0f));
    effect.process(inputs[0], inputs[1], outputs[0], outputs[1], frames);
}

}  // namespace varnolet_lv2
