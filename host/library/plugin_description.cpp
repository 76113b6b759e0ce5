#include "host/library/plugin_description.h"

#include <cstdio>

PluginDescription describePlugin(PluginInstance& plugin) {
    PluginDescription d;
    const AEffect* record = plugin.effect();
    d.effectName = plugin.effectName();
    d.vendor = plugin.vendorString();
    d.product = plugin.productString();
    d.vendorVersion = static_cast<int32_t>(plugin.dispatch(effGetVendorVersion));
    d.vstVersion = static_cast<int32_t>(plugin.dispatch(effGetVstVersion));
    d.recordVersion = record->version;
    d.category = static_cast<int32_t>(plugin.dispatch(effGetPlugCategory));
    d.uniqueId = record->uniqueID;
    d.inputs = record->numInputs;
    d.outputs = record->numOutputs;
    d.flags = record->flags;
    d.initialDelay = record->initialDelay;
    d.tailSize = static_cast<int32_t>(plugin.dispatch(effGetTailSize));
    d.currentProgram = plugin.program();
    for (int32_t i = 0; i < plugin.numParams(); ++i) {
        ParameterDescriptionText p;
        p.index = i;
        p.name = plugin.parameterName(i);
        p.label = plugin.parameterLabel(i);
        p.display = plugin.parameterDisplay(i);
        p.value = plugin.getParameter(i);
        d.parameters.push_back(p);
    }
    // Hosts ask for names by index, with -1 for "any category"; a plug-in that
    // does not answer that has its programs visited one by one.
    bool visited = false;
    for (int32_t i = 0; i < plugin.numPrograms(); ++i) {
        char name[256] = {};
        if (plugin.dispatch(effGetProgramNameIndexed, i, -1, name) != 0) {
            name[sizeof name - 1] = '\0';
            d.programNames.push_back(name);
            continue;
        }
        plugin.setProgram(i);
        visited = true;
        d.programNames.push_back(plugin.programName());
    }
    if (visited) plugin.setProgram(d.currentProgram);
    return d;
}

std::string fourCharacterText(int32_t code) {
    std::string text;
    const uint32_t u = static_cast<uint32_t>(code);
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((u >> shift) & 0xFF);
        if (c < 0x20 || c > 0x7E) return std::string();
        text.push_back(c);
    }
    return text;
}

std::vector<std::string> flagNames(int32_t flags) {
    static const struct {
        int32_t bit;
        const char* name;
    } known[] = {
        {effFlagsHasEditor, "effFlagsHasEditor"},
        {effFlagsHasClip, "effFlagsHasClip"},
        {effFlagsHasVu, "effFlagsHasVu"},
        {effFlagsCanMono, "effFlagsCanMono"},
        {effFlagsCanReplacing, "effFlagsCanReplacing"},
        {effFlagsProgramChunks, "effFlagsProgramChunks"},
        {effFlagsIsSynth, "effFlagsIsSynth"},
        {effFlagsNoSoundInStop, "effFlagsNoSoundInStop"},
        {effFlagsExtIsAsync, "effFlagsExtIsAsync"},
        {effFlagsExtHasBuffer, "effFlagsExtHasBuffer"},
        {effFlagsCanDoubleReplacing, "effFlagsCanDoubleReplacing"},
    };
    std::vector<std::string> names;
    uint32_t rest = static_cast<uint32_t>(flags);
    for (const auto& flag : known) {
        if (flags & flag.bit) names.push_back(flag.name);
        rest &= ~static_cast<uint32_t>(flag.bit);
    }
    for (int bit = 0; bit < 32; ++bit) {
        if (rest & (1u << bit)) {
            char text[16];
            std::snprintf(text, sizeof text, "0x%X", 1u << bit);
            names.push_back(text);
        }
    }
    return names;
}

std::string categoryName(int32_t category) {
    static const char* const names[] = {"Unknown",     "Effect",      "Synth",
                                        "Analysis",    "Mastering",   "Spacializer",
                                        "RoomFx",      "SurroundFx",  "Restoration",
                                        "OfflineProcess", "Shell",    "Generator"};
    constexpr int32_t count = static_cast<int32_t>(sizeof names / sizeof names[0]);
    if (category >= 0 && category < count) return names[category];
    return "(unknown " + std::to_string(category) + ")";
}
