// Runs one check in a child process of its own, so that a crash or a hang
// ends the check and not the run. The child writes its findings into memory
// shared with the parent and beats a heartbeat as it goes; a child whose
// heartbeat stands still for the timeout is taken to hang and is killed.
// Whatever the plug-in prints goes to a file of the runner's, never to the
// tool's own output; with --log the child writes its lines to a copy of the
// tool's standard error.
//
// While a runner lives it holds SIGINT, SIGTERM and SIGHUP pending rather
// than dying of them: the child under way is ended, nothing more is run,
// and the caller reports what was found so far before passing the signal
// on (passOnInterruption).
#pragma once

#include <signal.h>

#include <cstdio>
#include <functional>
#include <string>

#include "host/tool/validate/child_report.h"

struct ChildOutcome {
    // Interrupted: the run was interrupted meanwhile; the child says nothing.
    enum class End { Finished, Crashed, Hung, Exited, Interrupted };
    End end = End::Finished;
    int signal = 0;      // Crashed: the signal it died of
    int exitStatus = 0;  // Exited: the status it gave
    ChildReport report{};
    // The operation and the request under way when the child ended.
    int32_t operation = -1;
    int32_t callKind = -2, callOpcode = 0, callIndex = 0, callNull = 0;
    int32_t threadParameter = -1;  // what a second thread was setting
    int64_t callValue = 0;
    std::string output;  // the end of what the child printed
};

class ChildRunner {
public:
    explicit ChildRunner(bool log = false);
    ~ChildRunner();
    ChildRunner(const ChildRunner&) = delete;
    ChildRunner& operator=(const ChildRunner&) = delete;

    // The work runs in the child and fills the report; its heartbeat must
    // move at least once in every timeoutSeconds.
    ChildOutcome run(const std::function<void(ChildReport&, ChildProgress&)>& work,
                     double timeoutSeconds);

    // Where a child writes its log lines; -1 without a log.
    int logDescriptor() const { return logFd; }
    // The signal that interrupted the run, once one came; else 0.
    int interruption();

private:
    SharedChildPage* page = nullptr;
    FILE* capture = nullptr;
    int logFd = -1;
    int interruptedBy = 0;
    sigset_t interrupts, maskBefore;
};

// After the report of an interrupted run is out: ends the tool with the
// signal, as it would have ended without a run under way.
[[noreturn]] void passOnInterruption(int signal);

// One line of a child's log, written whole in one call, so that the lines
// of two threads never mix.
void writeLogLine(int fd, const std::string& line);
