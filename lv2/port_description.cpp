#include "lv2/port_description.h"

#include <cstdio>
#include <cstring>

namespace varnolet_lv2 {

std::string portSymbol(const char* name) {
    std::string symbol;
    for (const char* c = name; *c; ++c) {
        if (*c >= 'A' && *c <= 'Z') symbol += static_cast<char>(*c - 'A' + 'a');
        else if ((*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9')) symbol += *c;
        else symbol += '_';
    }
    return symbol;
}

const char* lv2Unit(int32_t unit) {
    switch (unit) {
        case kAudioUnitParameterUnit_Percent: return "units:pc";
        case kAudioUnitParameterUnit_Seconds: return "units:s";
        case kAudioUnitParameterUnit_Hertz: return "units:hz";
        case kAudioUnitParameterUnit_Cents: return "units:cent";
        case kAudioUnitParameterUnit_Decibels: return "units:db";
        case kAudioUnitParameterUnit_LinearGain: return "units:coef";
        case kAudioUnitParameterUnit_BPM: return "units:bpm";
        case kAudioUnitParameterUnit_Beats: return "units:beat";
        case kAudioUnitParameterUnit_Milliseconds: return "units:ms";
        default: return "";
    }
}

std::string turtleNumber(float value) {
    // Nine significant digits tell every float apart; a Turtle decimal needs
    // its point.
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string number = text;
    if (number.find_first_of(".e") == std::string::npos) number += ".0";
    return number;
}

}  // namespace varnolet_lv2
