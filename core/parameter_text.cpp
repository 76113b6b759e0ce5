#include "core/parameter_text.h"

#include <cstdio>

#include "core/parameter_description.h"

namespace parameter_text {

const char* labelForUnit(int32_t unit) {
    switch (unit) {
        case kAudioUnitParameterUnit_Percent: return "%";
        case kAudioUnitParameterUnit_Seconds: return "seconds";
        case kAudioUnitParameterUnit_Hertz: return "Hz";
        case kAudioUnitParameterUnit_Cents: return "cents";
        case kAudioUnitParameterUnit_Decibels: return "dB";
        case kAudioUnitParameterUnit_Pan: return "L/R";
        case kAudioUnitParameterUnit_BPM: return "BPM";
        case kAudioUnitParameterUnit_Beats: return "beats";
        case kAudioUnitParameterUnit_Milliseconds: return "ms";
        default: return "";
    }
}

void formatParameterValue(char* text, float value) {
    const char* format = value < 10.0f     ? "%.3f"
                         : value < 100.0f  ? "%.2f"
                         : value < 1000.0f ? "%.1f"
                                           : "%.0f";
    // The host does not say how large its buffer is; no value, however far out
    // of range, may print past the longest display text.
    std::snprintf(text, kMaxDisplaySize, format, static_cast<double>(value));
}

}  // namespace parameter_text
