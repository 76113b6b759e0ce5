// The host side of the callback a plug-in calls: it answers what a simple
// offline host knows and records every call, so that tests and the
// command-line tool can see what a plug-in asked.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
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

class RecordingHost {
public:
    RecordingHost();
    ~RecordingHost();
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    // What the host answers; tests change these to play other hosts.
    intptr_t versionAnswer = 2400;
    intptr_t sampleRateAnswer = 44100;
    intptr_t blockSizeAnswer = 1024;

    // Called for every call as it arrives, e.g. to print a log.
    std::function<void(const HostCall&)> observer;

    std::vector<HostCall> calls() const;
    void clearCalls();

    // The callback to hand to an entry function. It finds this host through
    // the record the plug-in passes, or, during the entry call, through the
    // host that is creating an instance on this thread.
    static audioMasterCallback callback();

    // Binds a created instance to this host; creation does it.
    void adopt(AEffect* effect);
    void release(AEffect* effect);

    // Marks this host as the one creating an instance on this thread.
    class Creating {
    public:
        explicit Creating(RecordingHost& host);
        ~Creating();

    private:
        RecordingHost* previous;
    };

    // Records one call and gives this host's answer to it.
    intptr_t answerCall(const HostCall& call);

private:
    mutable std::mutex mutex;
    std::vector<HostCall> log;
};

const char* audioMasterOpcodeName(int32_t opcode);
