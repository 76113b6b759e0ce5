// A host that keeps a record of every call from the moment it exists, for
// tests that check what a plug-in asked.
#pragma once

#include "host/library/plugin_host.h"

class RecordingHost : public PluginHost {
public:
    RecordingHost() { startRecording(); }
};
