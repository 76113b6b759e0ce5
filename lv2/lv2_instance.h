// One LV2 instance of the effect: the same TolmVarnolet a VST 2.4 host gets,
// driven from LV2's ports instead of the record.
#pragma once

#include <cstdint>
#include <memory>

#include "effect/varnolet_parameters.h"

namespace varnolet_lv2 {

class Lv2Instance {
public:
    // The line holds two seconds at the host's rate. Null when memory runs
    // out.
    static Lv2Instance* create(double sampleRate);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    void connect(uint32_t port, void* data);
    void activate();
    void deactivate();
    void run(uint32_t frames);

private:
    class Effect;
    explicit Lv2Instance(std::unique_ptr<Effect> instance);

    std::unique_ptr<Effect> effect;
    const float* inputs[2] = {};
    float* outputs[2] = {};
    const float* controls[varnolet::kNumParameters] = {};
    // LV2 wants an activated instance to start from silence.
    bool hasHistory = false;
};

}  // namespace varnolet_lv2
