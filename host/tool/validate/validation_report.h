// What a run found, for people (each finding once: its severity, a one-line
// reason, how often it was seen, its seed and sequence, and where its
// shortened reproducer lies) and as JSON with the same.
#pragma once

#include <string>

#include "host/tool/validate/validation_run.h"

struct ReportHeading {
    std::string pluginPath;
    std::string pluginName;
    std::string strictness;  // empty for a replay
    uint64_t seed = 0;
};

std::string humanReport(const ReportHeading& heading, const ValidationResult& result);
std::string jsonReport(const ReportHeading& heading, const ValidationResult& result);

std::string humanReplayReport(const std::string& file, const ReplayOutcome& outcome);
std::string jsonReplayReport(const std::string& file, const ReplayOutcome& outcome);
