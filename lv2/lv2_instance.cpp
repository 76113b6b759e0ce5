#include "lv2/lv2_instance.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "effect/tolm_varnolet.h"
#include "lv2/lv2_layout.h"

namespace varnolet_lv2 {

using varnolet::kNumParameters;
using varnolet::kParameters;

namespace {
// The effect keeps the callback of the host that made it. An LV2 host has no
// VST 2.4 side, so the adapter answers for it: the version query as a VST 2.4
// host answers it, anything else with the 0 of a host that knows nothing.
intptr_t VSTCALLBACK adapterHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}
}  // namespace

// The effect with its current program open to native values: LV2 ports carry
// a parameter's own value, which must reach the program as it is rather than
// through the host's 0..1 mapping.
class Lv2Instance::Effect final : public TolmVarnolet {
public:
    Effect() : TolmVarnolet(adapterHost) {}
    // Ports are read every run, but a value that stays as it was is not
    // written again: each write counts as a change, which the audio thread
    // then reads the program anew for.
    void setNativeValue(int32_t index, float value) {
        TolmProgram& program = currentProgram();
        const float stored = program.getValue(index);
        if (std::memcmp(&stored, &value, sizeof value) != 0) program.setValue(index, value);
    }
    bool lineIsFor(float rate) const { return engine().allocatedRate() == rate; }
};

Lv2Instance::Lv2Instance(std::unique_ptr<Effect> instance) : effect(std::move(instance)) {}
Lv2Instance::~Lv2Instance() = default;

Lv2Instance* Lv2Instance::create(double sampleRate) {
    try {
        std::unique_ptr<Effect> effect(new Effect);
        effect->setSampleRate(static_cast<float>(sampleRate));
        if (!effect->lineIsFor(effect->getSampleRate())) effect->allocateDelayLine();
        return new Lv2Instance(std::move(effect));
    } catch (...) {
        return nullptr;
    }
}

void Lv2Instance::connect(uint32_t port, void* data) {
    if (port == kInputLeft || port == kInputRight)
        inputs[port - kInputLeft] = static_cast<const float*>(data);
    else if (port == kOutputLeft || port == kOutputRight)
        outputs[port - kOutputLeft] = static_cast<float*>(data);
    else if (port >= kFirstControl && port < kNumPorts)
        controls[port - kFirstControl] = static_cast<const float*>(data);
}

void Lv2Instance::activate() {
    // A fresh line is a silent one: echoes of the last activation must not
    // sound in the next. Without memory for it the old line stays.
    if (hasHistory) {
        try {
            effect->allocateDelayLine();
            hasHistory = false;
        } catch (const std::bad_alloc&) {
        }
    }
    effect->resume();
}

void Lv2Instance::deactivate() { effect->suspend(); }

void Lv2Instance::run(uint32_t frames) {
    // Clamped and filtered as setParameter does it: the engine relies on every
    // value lying within its range.
    for (int32_t i = 0; i < kNumParameters; ++i) {
        if (!controls[i]) continue;
        const float value = *controls[i];
        if (std::isnan(value)) continue;
        effect->setNativeValue(i, std::min(kParameters[i].maxValue,
                                           std::max(kParameters[i].minValue, value)));
    }
    hasHistory = true;
    float* in[2] = {const_cast<float*>(inputs[0]), const_cast<float*>(inputs[1])};
    float* out[2] = {outputs[0], outputs[1]};
    // The effect counts frames in a signed 32-bit number.
    constexpr uint32_t kLargestBlock = 0x7fffffff;
    for (uint32_t done = 0; done < frames;) {
        const uint32_t block = std::min(frames - done, kLargestBlock);
        float* inBlock[2] = {in[0] ? in[0] + done : nullptr, in[1] ? in[1] + done : nullptr};
        float* outBlock[2] = {out[0] ? out[0] + done : nullptr, out[1] ? out[1] + done : nullptr};
        effect->processReplacing(inBlock, outBlock, static_cast<int32_t>(block));
        done += block;
    }
}

}  // namespace varnolet_lv2
