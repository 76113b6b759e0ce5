// A whole validation: the plug-in's facts, then sequence after sequence in
// child processes until the time or the count is spent; every distinct
// finding counted, its first list shortened and written as a reproducer.
// And the replay of one reproducer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/tool/validate/finding.h"
#include "host/tool/validate/operation.h"
#include "host/tool/validate/plugin_facts.h"

struct ValidationSettings {
    std::string pluginPath;
    Strictness strictness = Strictness::Polite;
    uint64_t seed = 1;
    double seconds = 60.0;
    double timeout = 5.0;      // a call that takes longer hangs
    double maxLevelDb = 40.0;  // the loudest output from input within 0 dBFS
    uint64_t sequenceLimit = 0;  // 0: as many as the time allows
    std::string outDirectory;    // empty: a new temporary directory, made when needed
    bool log = false;            // every request of every child on standard error
};

struct ReportedFinding {
    Finding finding;        // as first seen
    uint64_t count = 0;     // the sequences it was seen in
    uint64_t sequence = 0;  // the first of them
    OperationList reproducer;
    size_t originalLength = 0;
    std::string replayPath;  // empty when it could not be written
    // Its reproducer has a second thread set parameters while blocks play:
    // whether and where it shows may depend on how the threads met.
    bool timingDependent = false;
};

struct ValidationResult {
    PluginFacts facts;
    std::vector<ReportedFinding> findings;
    uint64_t sequences = 0;
    double seconds = 0.0;
    std::string writeError;  // why a reproducer could not be written
    int interruption = 0;    // the signal that cut the run short, or 0

    size_t failures() const;
    size_t warnings() const;
};

// False, with the reason, when the plug-in cannot be validated at all (it
// does not load, or is no plug-in); a crash while loading is a finding.
bool runValidation(const ValidationSettings& settings, ValidationResult& result, std::string& error);

// A list whose second thread may meet the first otherwise each time is
// played this many times in a replay.
constexpr int kTimingReplays = 10;

struct ReplaySettings {
    std::string pluginOverride;  // empty: the plug-in the reproducer names
    double timeout = 5.0;
    bool log = false;
};

struct ReplayOutcome {
    // Every distinct finding of the replays; its count is the replays that showed it.
    ValidationResult result;
    // What the reproducer says of itself, and the plug-in it was played on.
    std::string pluginPath;
    Strictness strictness = Strictness::Polite;
    uint64_t seed = 0;
    Finding expected;
    bool timingDependent = false;
    int planned = 1;       // the replays meant
    int plays = 0;         // the replays made (fewer when interrupted)
    int reproducedIn = 0;   // those that showed the recorded finding itself
    int otherValuesIn = 0;  // those that showed its key only, with other values
    // What showed under its key with other values (another parameter,
    // other values), the first time; or empty.
    std::string instead;

    bool reproduced() const { return reproducedIn > 0; }
};

// Plays a reproducer on its own plug-in or the one given: once, or
// kTimingReplays times when it depends on a second thread's timing.
bool replayReproducer(const std::string& file, const ReplaySettings& settings, ReplayOutcome& outcome,
                      std::string& error);
