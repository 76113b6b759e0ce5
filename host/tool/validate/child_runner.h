// Runs one check in a child process of its own, so that a crash or a hang
// ends the check and not the run. The child writes its findings into memory
// shared with the parent and beats a heartbeat as it goes; a child whose
// heartbeat stands still for the timeout is taken to hang and is killed.
// Whatever the plug-in prints goes to a file of the runner's, never to the
// tool's own output.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "host/tool/validate/child_report.h"

struct ChildOutcome {
    enum class End { Finished, Crashed, Hung, Exited };
    End end = End::Finished;
    int signal = 0;      // Crashed: the signal it died of
    int exitStatus = 0;  // Exited: the status it gave
    ChildReport report{};
    // The operation and the request under way when the child ended.
    int32_t operation = -1;
    int32_t callKind = -2, callOpcode = 0, callIndex = 0, callNull = 0;
    int64_t callValue = 0;
    std::string output;  // the end of what the child printed
};

class ChildRunner {
public:
    ChildRunner();
    ~ChildRunner();
    ChildRunner(const ChildRunner&) = delete;
    ChildRunner& operator=(const ChildRunner&) = delete;

    // The work runs in the child and fills the report; its heartbeat must
    // move at least once in every timeoutSeconds.
    ChildOutcome run(const std::function<void(ChildReport&, ChildProgress&)>& work,
                     double timeoutSeconds);

private:
    SharedChildPage* page = nullptr;
    FILE* capture = nullptr;
};
