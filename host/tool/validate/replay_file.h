// A finding's reproducer on disk: which plug-in, how it was found, what was
// found, and the shortened operation list, one operation a line, that
// `vst2host validate --replay FILE` plays again.
#pragma once

#include <cstdint>
#include <string>

#include "host/tool/validate/finding_kind.h"
#include "host/tool/validate/operation.h"
#include "host/tool/validate/plugin_facts.h"

struct ReplayFile {
    std::string pluginPath;
    Strictness strictness = Strictness::Polite;
    uint64_t seed = 0;
    uint64_t sequence = 0;
    double maxLevelDb = 40.0;
    FindingKind kind = FindingKind::Crash;
    std::string findingKey;
    std::string seen;  // what the finding showed, with its values; empty in files that predate it
    std::string reason;
    OperationList operations;
};

std::string formatReplay(const ReplayFile& replay);
// False, with the line and the reason, when the text is no reproducer.
bool parseReplay(const std::string& text, ReplayFile& replay, std::string& error);
