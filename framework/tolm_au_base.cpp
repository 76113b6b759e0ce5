#include "framework/tolm_au_base.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "framework/cf_string.h"
#include "core/effect_identity.h"
#include "core/parameter_mapping.h"
#include "core/parameter_text.h"

namespace {
// Program names go to hosts in buffers sized by the interface's limit.
constexpr size_t kHostProgramNameSize = kVstMaxProgNameLen;
constexpr size_t kParameterNameSize = 16;
constexpr int32_t kIndexedFallbackLength = 8;
constexpr size_t kValueNameSize = 24;

// Not ==, which takes -0 for 0: a value is left alone only when writing it
// would change no bit.
bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void copyBounded(char* destination, const char* source, size_t size) {
    size_t length = strnlen(source, size - 1);
    std::memcpy(destination, source, length);
    destination[length] = '\0';
}
}  // namespace

TolmAuBase::TolmAuBase(audioMasterCallback host, const ParameterDescription* table,
                       int32_t parameterCount, int32_t programCount)
    : AudioEffectX(host, programCount, parameterCount),
      parameters(table),
      programs(new std::unique_ptr<TolmProgramBasic>[static_cast<size_t>(programCount)]) {
    for (int32_t p = 0; p < numPrograms; ++p) {
        programs[p].reset(new TolmProgramBasic(numParams));
        for (int32_t j = 0; j < numParams; ++j) programs[p]->setValue(j, parameters[j].defaultValue);
        programs[p]->setName("Defaults");
    }
    curProgram.store(0, std::memory_order_relaxed);
}

TolmAuBase::~TolmAuBase() = default;

TolmProgram& TolmAuBase::currentProgram() const { return *programs[currentProgramIndex()]; }

void TolmAuBase::readParameters(float* values) const {
    currentProgram().getValues(values, numParams);
}

void TolmAuBase::readSnapshot(int32_t program, uint32_t changes, float* values,
                              ParameterSnapshotStamp& stamp) const {
    programs[program]->getValues(values, numParams);
    stamp.program = program;
    stamp.changes = changes;
}

void TolmAuBase::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    bool silence = false;
    for (size_t i = 0; i < kernels.size(); ++i)
        kernels[i]->process(inputs[i], outputs[i], sampleFrames, 1, &silence);
}

float TolmAuBase::valueFromLinear(float x, int32_t index) const {
    return static_cast<float>(parameter_mapping::fromLinear(parameters[index], x));
}

float TolmAuBase::valueToLinear(float v, int32_t index) const {
    return parameter_mapping::hostFromNative(parameters[index], v);
}

void TolmAuBase::setParameter(int32_t index, float value) {
    if (!isParameterIndex(index)) return;
    TolmProgram& program = currentProgram();
    const float stored = program.getValue(index);
    const float kept = parameter_mapping::nativeFromHost(parameters[index], value, stored);
    // One whole store, which the audio thread reads as the old value or the
    // new; a value left as it was is not written, so that it counts as no
    // change.
    if (!sameBits(kept, stored)) program.setValue(index, kept);
}

float TolmAuBase::getParameter(int32_t index) {
    if (!isParameterIndex(index)) return 0.0f;
    return valueToLinear(currentProgram().getValue(index), index);
}

void TolmAuBase::setProgramName(char* name) {
    if (name) currentProgram().setName(name);
}

void TolmAuBase::getProgramName(char* name) {
    if (name) copyBounded(name, currentProgram().getName(), kHostProgramNameSize);
}

bool TolmAuBase::getProgramNameIndexed(int32_t, int32_t index, char* text) {
    if (index < 0 || index >= numPrograms || !text) return false;
    copyBounded(text, programs[index]->getName(), kHostProgramNameSize);
    return true;
}

bool TolmAuBase::getVendorString(char* text) {
    if (text) std::strcpy(text, varnolet::kVendorName);
    return true;
}

void TolmAuBase::getParameterName(int32_t index, char* text) {
    if (!text) return;
    if (!isParameterIndex(index)) {
        text[0] = '\0';
        return;
    }
    std::strncpy(text, parameters[index].name, kParameterNameSize);
    text[kParameterNameSize - 1] = '\0';
}

void TolmAuBase::getParameterLabel(int32_t index, char* label) {
    if (!label) return;
    std::strcpy(label, isParameterIndex(index) ? parameter_text::labelForUnit(parameters[index].unit)
                                               : "");
}

void TolmAuBase::getParameterDisplay(int32_t index, char* text) {
    if (!text) return;
    if (!isParameterIndex(index)) {
        text[0] = '\0';
        return;
    }
    const float v = currentProgram().getValue(index);
    const int32_t unit = parameters[index].unit;

    if (unit == kAudioUnitParameterUnit_Indexed) {
        // No value list is offered for indexed parameters; the number stands.
        CFType* strings = nullptr;
        GetParameterValueStrings(kAudioUnitScope_Global, static_cast<uint32_t>(index), &strings);
        if (strings) strings->release();
        float2string(v, text, kIndexedFallbackLength);
        return;
    }
    if (unit == kAudioUnitParameterUnit_Boolean) {
        std::strcpy(text, v == 0.0f ? "Off" : "On");
        return;
    }

    AudioUnitParameterValueName request{static_cast<uint32_t>(index), nullptr, nullptr};
    OSStatus status;
    try {
        status = GetProperty(kAudioUnitProperty_ParameterValueName, kAudioUnitScope_Global, 0,
                             &request);
    } catch (const std::bad_alloc&) {
        // Without memory for a value name the number still tells the value.
        status = kAudioUnitErr_InvalidProperty;
        request.outName = nullptr;
    }
    if (status == noErr && request.outName) {
        char name[kValueNameSize];
        bool copied = request.outName->getCString(name);
        request.outName->release();
        if (copied) {
            std::memcpy(text, name, std::strlen(name) + 1);
            return;
        }
    }
    parameter_text::formatParameterValue(text, v);
}

OSStatus TolmAuBase::GetParameterValueStrings(uint32_t, uint32_t, CFType**) {
    return kAudioUnitErr_InvalidParameter;
}

OSStatus TolmAuBase::GetProperty(uint32_t, uint32_t, uint32_t, void*) {
    return kAudioUnitErr_InvalidProperty;
}

OSStatus TolmAuBase::GetPropertyInfo(uint32_t, uint32_t, uint32_t, uint32_t*, bool*) {
    return kAudioUnitErr_InvalidProperty;
}

OSStatus TolmAuBase::SetProperty(uint32_t, uint32_t, uint32_t, const void*, uint32_t) {
    return kAudioUnitErr_InvalidProperty;
}

OSStatus TolmAuBase::AddPropertyListener(uint32_t propertyID,
                                         AudioUnitPropertyListenerProc listener, void* userData) {
    if (listeners.empty()) listeners.reserve(32);
    listeners.push_back(PropertyListener{propertyID, listener, userData});
    return noErr;
}

OSStatus TolmAuBase::RemovePropertyListener(uint32_t propertyID,
                                            AudioUnitPropertyListenerProc listener) {
    listeners.erase(std::remove_if(listeners.begin(), listeners.end(),
                                   [&](const PropertyListener& record) {
                                       return record.propertyID == propertyID &&
                                              record.listener == listener;
                                   }),
                    listeners.end());
    return noErr;
}
