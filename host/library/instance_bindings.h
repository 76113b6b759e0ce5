// Which instance a call from a plug-in belongs to. A plug-in calls its host
// with its record; the host finds the instance from it without taking a
// lock, since the calls come from the audio thread too.
#pragma once

#include "vst/aeffect.h"

class PluginHost;
class PluginInstance;

// False when too many instances are bound at once.
bool bindInstance(AEffect* effect, PluginInstance* instance);
void unbindInstance(AEffect* effect);

// The callback to hand to an entry function. A call from a bound record
// goes to its instance; during an entry call, to the host creating an
// instance on that thread (see CreatingInstance); anything else gets the
// answers of a host that knows nothing.
intptr_t VSTCALLBACK hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                  void* ptr, float opt);

// Marks the host as the one creating an instance on this thread, for the
// calls a plug-in makes from its entry before its record is bound.
class CreatingInstance {
public:
    explicit CreatingInstance(PluginHost& host);
    ~CreatingInstance();
    CreatingInstance(const CreatingInstance&) = delete;
    CreatingInstance& operator=(const CreatingInstance&) = delete;

private:
    PluginHost* previous;
};
