// One LV2 instance of the effect: the effect core driven from LV2's ports.
#pragma once

#include <cstdint>

#include "core/effect_processor.h"
#include "core/varnolet_parameters.h"

namespace varnolet_lv2 {

class Lv2Instance {
public:
    // The line holds two seconds at the host's rate. Null for a rate the
    // effect cannot run at, or when memory runs out.
    static Lv2Instance* create(double sampleRate);
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    void connect(uint32_t port, void* data);
    void activate();
    void deactivate() {}
    void run(uint32_t frames);

private:
    Lv2Instance() = default;

    varnolet::EffectProcessor effect;
    const float* inputs[2] = {};
    float* outputs[2] = {};
    const float* controls[varnolet::kNumParameters] = {};
    // Unconnected, the effect is enabled.
    const float* enabled = nullptr;
};

}  // namespace varnolet_lv2
