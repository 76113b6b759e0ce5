// The host side of the callback every plug-in calls: what a simple offline
// host answers and, only when a caller asks for it, a record of every call.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "vst/aeffect.h"

struct HostCall {
    AEffect* effect;
    int32_t opcode;
    int32_t index;
    intptr_t value;
    void* ptr;
    float opt;
};

class PluginHost {
public:
    PluginHost();
    virtual ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // What the host answers; tests change these to play other hosts.
    intptr_t versionAnswer = 2400;
    intptr_t sampleRateAnswer = 44100;
    intptr_t blockSizeAnswer = 1024;

    // Shown every call as it arrives, on the thread the plug-in calls from,
    // e.g. to print a log.
    std::function<void(const HostCall&)> observer;

    // Keeps every call from now on, for callers that read them afterwards.
    // Without it nothing is kept and no lock is taken. Call it before any
    // instance talks to this host.
    void startRecording();
    bool recording() const { return record != nullptr; }
    // The calls kept so far; empty when not recording.
    std::vector<HostCall> calls() const;
    void clearCalls();

    // Takes one call: keeps it when recording, shows it to the observer and
    // gives this host's answer.
    intptr_t takeCall(const HostCall& call);

    // Told, just before a plug-in of this host processes a block, where the
    // block starts: frames from the start of the render.
    virtual void blockStarting(int64_t frame) { (void)frame; }

protected:
    // A host that knows more (a transport, events) answers more.
    virtual intptr_t answer(const HostCall& call);

private:
    struct CallRecord {
        std::mutex mutex;
        std::vector<HostCall> calls;
    };
    std::unique_ptr<CallRecord> record;
};
