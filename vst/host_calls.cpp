// The extended instance's calls into its host. Each sends one request and
// converts the answer; without a host each gives a fixed default.
#include "vst/audio_effect_x.h"

namespace {
bool truth(intptr_t answer) { return answer != 0; }
}  // namespace

void AudioEffectX::wantEvents(int32_t filter) { callHost(audioMasterWantMidi, 0, filter); }

void* AudioEffectX::getTimeInfo(int32_t filter) {
    return reinterpret_cast<void*>(callHost(audioMasterGetTime, 0, filter));
}

int32_t AudioEffectX::tempoAt(int32_t pos) {
    return static_cast<int32_t>(callHost(audioMasterTempoAt, 0, pos));
}

int32_t AudioEffectX::getNumAutomatableParameters() {
    return static_cast<int32_t>(callHost(audioMasterGetNumAutomatableParameters));
}

int32_t AudioEffectX::getParameterQuantization() {
    return static_cast<int32_t>(callHost(audioMasterGetParameterQuantization));
}

bool AudioEffectX::ioChanged() { return truth(callHost(audioMasterIOChanged)); }
bool AudioEffectX::needIdle() { return truth(callHost(audioMasterNeedIdle)); }

bool AudioEffectX::sizeWindow(int32_t width, int32_t height) {
    return truth(callHost(audioMasterSizeWindow, width, height));
}

double AudioEffectX::updateSampleRate() {
    intptr_t answer = callHost(audioMasterGetSampleRate);
    if (answer > 0) setSampleRate(static_cast<float>(answer));
    return getSampleRate();
}

int32_t AudioEffectX::updateBlockSize() {
    intptr_t answer = callHost(audioMasterGetBlockSize);
    if (answer > 0 && answer <= INT32_MAX) blockSize = static_cast<int32_t>(answer);
    return blockSize;
}

int32_t AudioEffectX::getInputLatency() {
    return static_cast<int32_t>(callHost(audioMasterGetInputLatency));
}

int32_t AudioEffectX::getOutputLatency() {
    return static_cast<int32_t>(callHost(audioMasterGetOutputLatency));
}

AEffect* AudioEffectX::getPreviousPlug(int32_t) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug));
}

AEffect* AudioEffectX::getNextPlug(int32_t) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug));
}

int32_t AudioEffectX::willProcessReplacing() {
    return static_cast<int32_t>(callHost(audioMasterWillReplaceOrAccumulate));
}

int32_t AudioEffectX::getCurrentProcessLevel() {
    return static_cast<int32_t>(callHost(audioMasterGetCurrentProcessLevel));
}

int32_t AudioEffectX::getAutomationState() {
    return static_cast<int32_t>(callHost(audioMasterGetAutomationState));
}

bool AudioEffectX::offlineStart(void* audioFiles, int32_t numAudioFiles, int32_t numNewAudioFiles) {
    return truth(callHost(audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, audioFiles));
}

bool AudioEffectX::offlineRead(void* offline, int32_t option, bool readSource) {
    return truth(callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, offline));
}

bool AudioEffectX::offlineWrite(void* offline, int32_t option) {
    return truth(callHost(audioMasterOfflineWrite, 0, option, offline));
}

int32_t AudioEffectX::offlineGetCurrentPass() {
    return truth(callHost(audioMasterOfflineGetCurrentPass)) ? 1 : 0;
}

int32_t AudioEffectX::offlineGetCurrentMetaPass() {
    return truth(callHost(audioMasterOfflineGetCurrentMetaPass)) ? 1 : 0;
}

void AudioEffectX::setOutputSamplerate(float rate) {
    callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}

VstSpeakerArrangement* AudioEffectX::getOutputSpeakerArrangement() {
    return reinterpret_cast<VstSpeakerArrangement*>(
        callHost(audioMasterGetOutputSpeakerArrangement));
}

VstSpeakerArrangement* AudioEffectX::getInputSpeakerArrangement() {
    return reinterpret_cast<VstSpeakerArrangement*>(
        callHost(audioMasterGetInputSpeakerArrangement));
}

bool AudioEffectX::getHostVendorString(char* text) {
    return truth(callHost(audioMasterGetVendorString, 0, 0, text));
}

bool AudioEffectX::getHostProductString(char* text) {
    return truth(callHost(audioMasterGetProductString, 0, 0, text));
}

int32_t AudioEffectX::getHostVendorVersion() {
    return static_cast<int32_t>(callHost(audioMasterGetVendorVersion));
}

intptr_t AudioEffectX::hostVendorSpecific(int32_t arg1, intptr_t arg2, void* ptrArg,
                                          float floatArg) {
    return callHost(audioMasterVendorSpecific, arg1, arg2, ptrArg, floatArg);
}

int32_t AudioEffectX::canHostDo(char* text) {
    return truth(callHost(audioMasterCanDo, 0, 0, text)) ? 1 : 0;
}

int32_t AudioEffectX::getHostLanguage() {
    return static_cast<int32_t>(callHost(audioMasterGetLanguage));
}

void* AudioEffectX::openWindow(void* window) {
    return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool AudioEffectX::closeWindow(void* window) {
    return truth(callHost(audioMasterCloseWindow, 0, 0, window));
}

void* AudioEffectX::getDirectory() {
    return reinterpret_cast<void*>(callHost(audioMasterGetDirectory));
}

bool AudioEffectX::updateDisplay() { return truth(callHost(audioMasterUpdateDisplay)); }

bool AudioEffectX::beginEdit(int32_t index) {
    return truth(callHost(audioMasterBeginEdit, index));
}

bool AudioEffectX::endEdit(int32_t index) { return truth(callHost(audioMasterEndEdit, index)); }

bool AudioEffectX::openFileSelector(void* selector) {
    return selector && truth(callHost(audioMasterOpenFileSelector, 0, 0, selector));
}

bool AudioEffectX::closeFileSelector(void* selector) {
    return selector && truth(callHost(audioMasterCloseFileSelector, 0, 0, selector));
}

bool AudioEffectX::getChunkFile(void* nativePath) {
    return nativePath && truth(callHost(audioMasterGetChunkFile, 0, 0, nativePath));
}
