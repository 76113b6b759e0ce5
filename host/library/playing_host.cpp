#include "host/library/playing_host.h"

#include <cstring>

void PlayingHost::blockStarting(int64_t frame) {
    // Several instances may process the same block: the transport changed
    // for all of them, until a block further on starts.
    changed = !started || (changed && frame == blockStart);
    started = true;
    blockStart = frame;
}

intptr_t PlayingHost::answer(const HostCall& call) {
    switch (call.opcode) {
        case audioMasterGetTime:
            transport.describe(blockStart, sampleRate, changed, time);
            return reinterpret_cast<intptr_t>(&time);
        case audioMasterCanDo:
            return hostCanDo(static_cast<const char*>(call.ptr));
        default:
            return PluginHost::answer(call);
    }
}

intptr_t hostCanDo(const char* capability) {
    static const char* const kDone[] = {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
                                        "offline"};
    if (!capability) return 0;
    for (const char* done : kDone)
        if (std::strcmp(capability, done) == 0) return 1;
    return 0;
}
