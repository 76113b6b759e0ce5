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
};

struct ReportedFinding {
    Finding finding;        // as first seen
    uint64_t count = 0;     // the sequences it was seen in
    uint64_t sequence = 0;  // the first of them
    OperationList reproducer;
    size_t originalLength = 0;
    std::string replayPath;  // empty when it could not be written
};

struct ValidationResult {
    PluginFacts facts;
    std::vector<ReportedFinding> findings;
    uint64_t sequences = 0;
    double seconds = 0.0;
    std::string writeError;  // why a reproducer could not be written

    size_t failures() const;
    size_t warnings() const;
};

// False, with the reason, when the plug-in cannot be validated at all (it
// does not load, or is no plug-in); a crash while loading is a finding.
bool runValidation(const ValidationSettings& settings, ValidationResult& result, std::string& error);

struct ReplayOutcome {
    ValidationResult result;
    // What the reproducer says of itself, and the plug-in it was played on.
    std::string pluginPath;
    Strictness strictness = Strictness::Polite;
    uint64_t seed = 0;
    std::string expectedKey;
    bool reproduced = false;
};

// Plays a reproducer once, on its own plug-in or the one given.
bool replayReproducer(const std::string& file, const std::string& pluginOverride, double timeout,
                      ReplayOutcome& outcome, std::string& error);
