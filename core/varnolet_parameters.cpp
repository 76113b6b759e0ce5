#include "core/varnolet_parameters.h"

namespace varnolet {

// The taps start evenly spread from hard left to hard right, 200 ms apart,
// with only the last one feeding back, fully wet.
const ParameterDescription kParameters[kNumParameters] = {
    {"Tap 1 time", kAudioUnitParameterUnit_Milliseconds, 0.0f, 2000.0f, 200.0f},
    {"Tap 1 pan", kAudioUnitParameterUnit_Pan, -1.0f, 1.0f, -1.0f},
    {"Tap 1 feedback", kAudioUnitParameterUnit_Percent, 0.0f, 100.0f, 0.0f},
    {"Tap 1 level", kAudioUnitParameterUnit_LinearGain, 0.0f, 1.0f, 1.0f},
    {"Tap 2 time", kAudioUnitParameterUnit_Milliseconds, 0.0f, 2000.0f, 400.0f},
    {"Tap 2 pan", kAudioUnitParameterUnit_Pan, -1.0f, 1.0f, -0.33333334f},
    {"Tap 2 feedback", kAudioUnitParameterUnit_Percent, 0.0f, 100.0f, 0.0f},
    {"Tap 2 level", kAudioUnitParameterUnit_LinearGain, 0.0f, 1.0f, 1.0f},
    {"Tap 3 time", kAudioUnitParameterUnit_Milliseconds, 0.0f, 2000.0f, 600.0f},
    {"Tap 3 pan", kAudioUnitParameterUnit_Pan, -1.0f, 1.0f, 0.33333334f},
    {"Tap 3 feedback", kAudioUnitParameterUnit_Percent, 0.0f, 100.0f, 0.0f},
    {"Tap 3 level", kAudioUnitParameterUnit_LinearGain, 0.0f, 1.0f, 1.0f},
    {"Tap 4 time", kAudioUnitParameterUnit_Milliseconds, 0.0f, 2000.0f, 800.0f},
    {"Tap 4 pan", kAudioUnitParameterUnit_Pan, -1.0f, 1.0f, 1.0f},
    {"Tap 4 feedback", kAudioUnitParameterUnit_Percent, 0.0f, 100.0f, 40.0f},
    {"Tap 4 level", kAudioUnitParameterUnit_LinearGain, 0.0f, 1.0f, 1.0f},
    {"Wet/Dry mix", kAudioUnitParameterUnit_Generic, 0.0f, 1.0f, 1.0f},
    {"Filter Cutoff", kAudioUnitParameterUnit_Hertz, 50.0f, 8000.0f, 1000.0f},
    {"Filter Q", kAudioUnitParameterUnit_Generic, 0.01f, 1.0f, 0.1f},
    {"Filter Type", kAudioUnitParameterUnit_Generic, 0.0f, 4.0f, 0.0f},
    {"Filter Sweep", kAudioUnitParameterUnit_Generic, 0.0f, 1.0f, 0.0f},
    {"Saturation", kAudioUnitParameterUnit_Generic, 0.0f, 11.0f, 0.0f},
    {"Master feedback", kAudioUnitParameterUnit_Percent, 0.0f, 200.0f, 100.0f},
};

}  // namespace varnolet
