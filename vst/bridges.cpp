#include "vst/bridges.h"

#include "vst/audio_effect.h"

namespace {
AudioEffect* instanceOf(AEffect* effect) {
    return effect ? static_cast<AudioEffect*>(effect->object) : nullptr;
}
}  // namespace

namespace bridges {

intptr_t VSTCALLBACK dispatcher(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                void* ptr, float opt) {
    AudioEffect* instance = instanceOf(effect);
    if (!instance) return 0;
    // An exception must never unwind into the host's C code; a request that
    // fails that way is answered as unhandled.
    try {
        intptr_t answer = instance->dispatcher(opcode, index, value, ptr, opt);
        if (opcode == effClose) {
            delete instance;
            return 1;
        }
        return answer;
    } catch (...) {
        if (opcode == effClose) {
            delete instance;
            return 1;
        }
        return 0;
    }
}

void VSTCALLBACK process(AEffect* effect, float** inputs, float** outputs, int32_t sampleFrames) {
    if (AudioEffect* instance = instanceOf(effect)) instance->process(inputs, outputs, sampleFrames);
}

void VSTCALLBACK setParameter(AEffect* effect, int32_t index, float value) {
    if (AudioEffect* instance = instanceOf(effect)) instance->setParameter(index, value);
}

float VSTCALLBACK getParameter(AEffect* effect, int32_t index) {
    AudioEffect* instance = instanceOf(effect);
    return instance ? instance->getParameter(index) : 0.0f;
}

void VSTCALLBACK processReplacing(AEffect* effect, float** inputs, float** outputs,
                                  int32_t sampleFrames) {
    if (AudioEffect* instance = instanceOf(effect))
        instance->processReplacing(inputs, outputs, sampleFrames);
}

void VSTCALLBACK processDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                        int32_t sampleFrames) {
    if (AudioEffect* instance = instanceOf(effect))
        instance->processDoubleReplacing(inputs, outputs, sampleFrames);
}

}  // namespace bridges
