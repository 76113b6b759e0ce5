// The Audio-Unit-style vocabulary of the framework's hooks.
#pragma once

#include <cstdint>

class CFString;

using OSStatus = int32_t;

constexpr OSStatus noErr = 0;
constexpr OSStatus kAudioUnitErr_InvalidParameter = -10878;
constexpr OSStatus kAudioUnitErr_InvalidProperty = -10879;

constexpr uint32_t kAudioUnitScope_Global = 0;
constexpr uint32_t kAudioUnitProperty_InPlaceProcessing = 29;
constexpr uint32_t kAudioUnitProperty_ParameterValueName = 33;

struct AudioUnitParameterValueName {
    uint32_t inParamID;
    const float* inValue;
    CFString* outName;
};

using AudioUnitPropertyListenerProc = void (*)(void* userData, uint32_t propertyID,
                                               uint32_t scope, uint32_t element);

struct PropertyListener {
    uint32_t propertyID;
    AudioUnitPropertyListenerProc listener;
    void* userData;
};
