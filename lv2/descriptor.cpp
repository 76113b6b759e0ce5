// The one symbol the LV2 binary exports: the descriptor of the effect, whose
// functions hand each call to an Lv2Instance.
#include <lv2/core/lv2.h>

#include "lv2/lv2_instance.h"
#include "lv2/lv2_layout.h"

using varnolet_lv2::Lv2Instance;

namespace {

Lv2Instance* instanceOf(LV2_Handle handle) { return static_cast<Lv2Instance*>(handle); }

LV2_Handle instantiate(const LV2_Descriptor*, double sampleRate, const char*,
                       const LV2_Feature* const*) {
    return Lv2Instance::create(sampleRate);
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    instanceOf(handle)->connect(port, data);
}

void activate(LV2_Handle handle) { instanceOf(handle)->activate(); }
void run(LV2_Handle handle, uint32_t frames) { instanceOf(handle)->run(frames); }
void deactivate(LV2_Handle handle) { instanceOf(handle)->deactivate(); }
void cleanup(LV2_Handle handle) { delete instanceOf(handle); }
const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor kDescriptor = {varnolet_lv2::kPluginUri, instantiate, connectPort, activate,
                                    run, deactivate, cleanup, extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
