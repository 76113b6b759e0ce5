// What a child process leaves for its parent in memory they share: how far
// it got (read while it runs, to tell a hang from a long check), what it
// found, and, when it dies of a signal, what the signal handler saw.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

constexpr int kMaxChildFindings = 24;
constexpr int kMaxCrashFrames = 16;

struct ChildFinding {
    int32_t failure;    // 1: a failure, 0: a warning
    int32_t operation;  // the index of the operation it came from
    int32_t kind;       // a FindingKind
    char key[160];  // findings with one key are one finding
    char seen[480];  // what showed, with its values
};

struct CrashFrame {
    char module[240];  // the file the address lies in, as the loader names it
    uint64_t offset;   // from the module's load address
};

struct CrashRecord {
    int32_t signal;
    int32_t code;
    uint64_t address;  // the faulting address, for memory faults
    int32_t access;    // 1 a write, 0 a read, -1 not known
    int32_t operation;
    int32_t secondThread;  // 1: it came on a thread the child started, not its own
    char zone[96];  // the guard the address lies in, if any
    int32_t frameCount;
    CrashFrame frames[kMaxCrashFrames];  // the faulting instruction first
};

// The facts the first child reads for the run.
struct FactsRecord {
    int32_t valid;
    int32_t numParams, numPrograms, numInputs, numOutputs, flags, uniqueId;
    int32_t takesNotes;
    char name[128];
    char error[256];
};

// The status a child ends with when an exception came out of the plug-in;
// the report holds what it said.
constexpr int kExceptionExit = 70;

// Plain data: the parent copies it out when the child is gone.
struct ChildReport {
    int32_t finished;
    char exception[160];
    int32_t findingCount;
    ChildFinding findings[kMaxChildFindings];
    int32_t crashed;
    CrashRecord crash;
    FactsRecord facts;
};

// Written while the child runs, from any of its threads.
struct ChildProgress {
    std::atomic<uint64_t> heartbeat{0};
    std::atomic<int32_t> operation{-1};
    // The request under way: a HostRequest kind (or -1 for the entry),
    // its opcode, index and value, and whether its pointer was null.
    std::atomic<int32_t> callKind{-2};
    std::atomic<int32_t> callOpcode{0};
    std::atomic<int32_t> callIndex{0};
    std::atomic<int64_t> callValue{0};
    std::atomic<int32_t> callNull{0};
    // The parameter a second thread was setting; -1 before it set any.
    std::atomic<int32_t> threadParameter{-1};

    void beat() { heartbeat.fetch_add(1, std::memory_order_relaxed); }
};

struct SharedChildPage {
    ChildProgress progress;
    ChildReport report;
};

// Bounded copy into a fixed field; safe in a signal handler.
template <size_t N>
void copyField(char (&field)[N], const char* text) {
    size_t i = 0;
    for (; text && text[i] != '\0' && i + 1 < N; ++i) field[i] = text[i];
    field[i] = '\0';
}
