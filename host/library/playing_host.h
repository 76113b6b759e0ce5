// The host of a render that plays: it tells a plug-in where its transport
// stands when asked (audioMasterGetTime), and says what it does when asked
// (audioMasterCanDo): it sends events and the time, and works offline.
#pragma once

#include "host/library/plugin_host.h"
#include "host/library/transport.h"

class PlayingHost : public PluginHost {
public:
    Transport transport;
    double sampleRate = 44100.0;

    void blockStarting(int64_t frame) override;

protected:
    intptr_t answer(const HostCall& call) override;

private:
    int64_t blockStart = 0;
    bool started = false;  // a block has been processed since the start
    bool changed = true;   // the current block is where the transport started
    VstTimeInfo time{};    // the plug-in reads it after the call returns
};

// What the host answers to audioMasterCanDo: 1 for what it does, 0 for
// anything else.
intptr_t hostCanDo(const char* capability);
