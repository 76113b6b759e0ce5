// The functions stored in the record: each leads from the host's plain call to
// the instance behind the record's object field.
#pragma once

#include "vst/aeffect.h"

namespace bridges {
intptr_t VSTCALLBACK dispatcher(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                void* ptr, float opt);
void VSTCALLBACK process(AEffect* effect, float** inputs, float** outputs, int32_t sampleFrames);
void VSTCALLBACK setParameter(AEffect* effect, int32_t index, float value);
float VSTCALLBACK getParameter(AEffect* effect, int32_t index);
void VSTCALLBACK processReplacing(AEffect* effect, float** inputs, float** outputs,
                                  int32_t sampleFrames);
void VSTCALLBACK processDoubleReplacing(AEffect* effect, double** inputs, double** outputs,
                                        int32_t sampleFrames);
}  // namespace bridges
