#include "host/tool/validate/plugin_facts.h"

#include "vst/aeffect.h"

const char* strictnessWord(Strictness strictness) {
    return strictness == Strictness::Hostile ? "hostile" : "polite";
}

bool PluginFacts::hasChunks() const { return (flags & effFlagsProgramChunks) != 0; }
