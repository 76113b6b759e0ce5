// How an effect describes one parameter: in its own, native units, the way an
// Audio Unit does. The framework maps these onto the host's 0..1 values.
#pragma once

#include <cstdint>

enum AudioUnitParameterUnit : int32_t {
    kAudioUnitParameterUnit_Generic = 0,
    kAudioUnitParameterUnit_Indexed = 1,
    kAudioUnitParameterUnit_Boolean = 2,
    kAudioUnitParameterUnit_Percent = 3,
    kAudioUnitParameterUnit_Seconds = 4,
    kAudioUnitParameterUnit_Hertz = 8,
    kAudioUnitParameterUnit_Cents = 9,
    kAudioUnitParameterUnit_Decibels = 13,
    kAudioUnitParameterUnit_LinearGain = 14,
    kAudioUnitParameterUnit_Pan = 18,
    kAudioUnitParameterUnit_BPM = 22,
    kAudioUnitParameterUnit_Beats = 23,
    kAudioUnitParameterUnit_Milliseconds = 24,
};

struct ParameterDescription {
    const char* name;
    int32_t unit;
    float minValue;
    float maxValue;
    float defaultValue;
};
