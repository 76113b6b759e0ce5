#include "vst/audio_effect.h"

#include <cmath>
#include <cstring>

#include "vst/bridges.h"
#include "vst/value_text.h"

AudioEffect::AudioEffect(audioMasterCallback host, int32_t programCount, int32_t parameterCount)
    : audioMaster(host), numPrograms(programCount), numParams(parameterCount) {
    std::memset(&cEffect, 0, sizeof cEffect);
    cEffect.flags |= effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.magic = kEffectMagic;
    cEffect.numInputs = 1;
    cEffect.version = 1;
    cEffect.dispatcher = bridges::dispatcher;
    cEffect.process = bridges::process;
    cEffect.setParameter = bridges::setParameter;
    cEffect.getParameter = bridges::getParameter;
    cEffect.processReplacing = bridges::processReplacing;
    cEffect.processDoubleReplacing = bridges::processDoubleReplacing;
    cEffect.numPrograms = programCount;
    cEffect.numParams = parameterCount;
    cEffect.numOutputs = 2;
    cEffect.object = this;
    cEffect.uniqueID = fourCharCode('N', 'o', 'E', 'f');
}

AudioEffect::~AudioEffect() { delete editor; }

intptr_t AudioEffect::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                 float opt) {
    switch (opcode) {
        case effOpen: open(); return 0;
        case effClose: close(); return 0;
        case effSetProgram:
            if (value >= 0 && value < numPrograms) setProgram(static_cast<int32_t>(value));
            return 0;
        case effGetProgram: return getProgram();
        case effSetProgramName: setProgramName(static_cast<char*>(ptr)); return 0;
        case effGetProgramName: getProgramName(static_cast<char*>(ptr)); return 0;
        case effGetParamLabel: getParameterLabel(index, static_cast<char*>(ptr)); return 0;
        case effGetParamDisplay: getParameterDisplay(index, static_cast<char*>(ptr)); return 0;
        case effGetParamName: getParameterName(index, static_cast<char*>(ptr)); return 0;
        case effSetSampleRate: setSampleRate(opt); return 0;
        case effSetBlockSize: setBlockSize(static_cast<int32_t>(value)); return 0;
        case effMainsChanged:
            if (value == 0) suspend();
            else resume();
            return 0;
        case effEditGetRect: return editor ? editor->getRect(static_cast<void**>(ptr)) : 0;
        case effEditOpen: return editor ? editor->open(ptr) : 0;
        case effEditClose:
            if (editor) editor->close();
            return 0;
        case effEditIdle:
            if (editor) editor->idle();
            return 0;
        case effIdentify: return fourCharCode('N', 'v', 'E', 'f');
        case effGetChunk: return getChunk(static_cast<void**>(ptr), index != 0);
        case effSetChunk:
            return setChunk(ptr, static_cast<int32_t>(value), index != 0);
        default: return 0;
    }
}

void AudioEffect::setSampleRate(float newRate) {
    // A rate that is not a positive finite number would make every derived
    // length and coefficient meaningless; the last good rate stays in force.
    if (std::isfinite(newRate) && newRate > 0.0f)
        sampleRate.store(newRate, std::memory_order_relaxed);
}

void AudioEffect::processReplacing(float**, float**, int32_t) {}
void AudioEffect::processDoubleReplacing(double**, double**, int32_t) {}
void AudioEffect::process(float**, float**, int32_t) {}
void AudioEffect::setParameter(int32_t, float) {}
float AudioEffect::getParameter(int32_t) { return 0.0f; }

void AudioEffect::getProgramName(char* name) {
    if (name) name[0] = '\0';
}
void AudioEffect::getParameterLabel(int32_t, char* label) {
    if (label) label[0] = '\0';
}
void AudioEffect::getParameterDisplay(int32_t, char* text) {
    if (text) text[0] = '\0';
}
void AudioEffect::getParameterName(int32_t, char* text) {
    if (text) text[0] = '\0';
}
int32_t AudioEffect::getChunk(void**, bool) { return 0; }
int32_t AudioEffect::setChunk(void*, int32_t, bool) { return 0; }

void AudioEffect::setFlag(int32_t flag, bool state) {
    if (state) cEffect.flags |= flag;
    else cEffect.flags &= ~flag;
}

intptr_t AudioEffect::callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                               float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setParameterAutomated(int32_t index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

int32_t AudioEffect::getMasterVersion() {
    intptr_t version = callHost(audioMasterVersion);
    return version ? static_cast<int32_t>(version) : 1;
}

int32_t AudioEffect::getCurrentUniqueId() {
    return static_cast<int32_t>(callHost(audioMasterCurrentId));
}

int32_t AudioEffect::masterIdle() { return static_cast<int32_t>(callHost(audioMasterIdle)); }

bool AudioEffect::isInputConnected(int32_t input) {
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(int32_t output) {
    return callHost(audioMasterPinConnected, output, 1) == 0;
}

void AudioEffect::dB2string(float value, char* text, int32_t maxLen) {
    valuetext::dB2string(value, text, maxLen);
}
void AudioEffect::Hz2string(float samples, char* text, int32_t maxLen) {
    valuetext::Hz2string(samples, getSampleRate(), text, maxLen);
}
void AudioEffect::ms2string(float samples, char* text, int32_t maxLen) {
    valuetext::ms2string(samples, getSampleRate(), text, maxLen);
}
void AudioEffect::float2string(float value, char* text, int32_t maxLen) {
    valuetext::float2string(value, text, maxLen);
}
void AudioEffect::int2string(int32_t value, char* text, int32_t maxLen) {
    valuetext::int2string(value, text, maxLen);
}
