#include "effect/tolm_varnolet.h"

#include <cstring>
#include <new>

#include "core/effect_identity.h"
#include "core/filter_type_names.h"
#include "core/floating_point_mode.h"
#include "framework/cf_string.h"
#include "framework/value_name_registry.h"
#include "vst/create_effect_instance.h"

using namespace varnolet;

TolmVarnolet::TolmVarnolet(audioMasterCallback hostCallback)
    : TolmAuBase(hostCallback, kParameters, kNumParameters, kNumPrograms) {
    canProcessReplacing(true);
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(kUniqueId);
    allocateDelayLine();
}

TolmVarnolet::~TolmVarnolet() = default;

int32_t TolmVarnolet::allocateDelayLine() {
    delay.allocate(getSampleRate());
    return 0;
}

void TolmVarnolet::resume() {
    TolmAuBase::resume();
    // The line holds two seconds at the rate it was allocated for; a new rate
    // gets a new line. Should memory run out, the old line stays and the taps
    // keep within it.
    if (getSampleRate() != delay.allocatedRate()) {
        try {
            allocateDelayLine();
        } catch (const std::bad_alloc&) {
        }
    }
}

// Both of these are written out in each caller: a block of one frame cannot
// afford the calls.
inline __attribute__((always_inline)) void TolmVarnolet::processBlock(
    const float* in0, const float* in1, float* out0, float* out1, int32_t sampleFrames,
    bool accumulate) noexcept {
    ScopedFloatingPointMode mode;
    // The program is read again only when it or one of its values changed.
    float values[kNumParameters];
    if (refreshParameters(values, programStamp)) delay.setParameters(values);
    delay.setSampleRate(AudioEffect::getSampleRate());
    delay.process(in0, in1, out0, out1, sampleFrames, accumulate);
}

inline __attribute__((always_inline)) void TolmVarnolet::processChannels(
    float** inputs, float** outputs, int32_t sampleFrames, bool accumulate) {
    if (!inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) return;
    processBlock(inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames < 0 ? 0 : sampleFrames,
                 accumulate);
}

void TolmVarnolet::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    processChannels(inputs, outputs, sampleFrames, false);
}

void TolmVarnolet::processAccumulating(float** inputs, float** outputs, int32_t sampleFrames) {
    processChannels(inputs, outputs, sampleFrames, true);
}

bool TolmVarnolet::getEffectName(char* name) {
    if (name) std::strcpy(name, kEffectName);
    return true;
}

bool TolmVarnolet::getProductString(char* text) {
    if (text) std::strcpy(text, kProductName);
    return true;
}

OSStatus TolmVarnolet::GetProperty(uint32_t propertyID, uint32_t, uint32_t, void* data) {
    if (propertyID != kAudioUnitProperty_ParameterValueName || !data)
        return kAudioUnitErr_InvalidProperty;
    auto* request = static_cast<AudioUnitParameterValueName*>(data);
    if (request->inParamID != static_cast<uint32_t>(kFilterType))
        return kAudioUnitErr_InvalidParameter;
    request->outName = nullptr;
    const float value = request->inValue ? *request->inValue : currentProgram().getValue(kFilterType);
    if (const char* name = filterTypeName(value)) {
        CFString* string = stringForLiteral(name);
        string->retain();
        request->outName = string;
    }
    return noErr;
}

OSStatus TolmVarnolet::GetPropertyInfo(uint32_t propertyID, uint32_t, uint32_t, uint32_t* outSize,
                                       bool* outWritable) {
    uint32_t size;
    if (propertyID == kAudioUnitProperty_ParameterValueName)
        size = sizeof(AudioUnitParameterValueName);
    else if (propertyID == kAudioUnitProperty_InPlaceProcessing)
        size = 4;
    else
        return kAudioUnitErr_InvalidProperty;
    if (outSize) *outSize = size;
    if (outWritable) *outWritable = false;
    return noErr;
}

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    try {
        return new TolmVarnolet(audioMaster);
    } catch (...) {
        return nullptr;
    }
}
