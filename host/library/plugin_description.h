// Everything a host learns about a plug-in by asking: identity, layout,
// flags, parameters and programs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/library/plugin_instance.h"

struct ParameterDescriptionText {
    int32_t index = 0;
    std::string name;
    std::string label;
    std::string display;
    float value = 0.0f;  // normalised
};

struct PluginDescription {
    std::string effectName;
    std::string vendor;
    std::string product;
    int32_t vendorVersion = 0;
    int32_t vstVersion = 0;
    int32_t recordVersion = 0;  // the record's own version field
    int32_t category = 0;
    int32_t uniqueId = 0;
    int32_t inputs = 0;
    int32_t outputs = 0;
    int32_t flags = 0;
    int32_t initialDelay = 0;
    int32_t tailSize = 0;
    int32_t currentProgram = 0;
    std::vector<ParameterDescriptionText> parameters;
    std::vector<std::string> programNames;
};

// Asks the plug-in; leaves it on the program it was on.
PluginDescription describePlugin(PluginInstance& plugin);

// "TmVd" for a code of four printable characters, else empty.
std::string fourCharacterText(int32_t code);
// "effFlagsCanReplacing" and so on, one per set bit; unknown bits in hex.
std::vector<std::string> flagNames(int32_t flags);
// "Effect", "Synth", ...; "(unknown N)" past the known categories.
std::string categoryName(int32_t category);
