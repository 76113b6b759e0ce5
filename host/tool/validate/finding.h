// A finding as the run keeps it, and the findings of one child's outcome:
// what it reported itself, and, when it died or hung, that too, with the
// signal, the place and the request under way.
#pragma once

#include <string>
#include <vector>

#include "host/tool/validate/child_runner.h"
#include "host/tool/validate/finding_kind.h"
#include "host/tool/validate/operation.h"

struct Finding {
    FindingKind kind = FindingKind::Crash;
    bool failure = true;
    std::string key;  // one finding however often it is seen
    // What showed, with the values that make it this finding and no other
    // (the parameter and its values, the frame, the call and its operands,
    // the place in the code); not the addresses the loader happened to
    // choose. A replay must show these again.
    std::string seen;
    std::string reason;  // one line for people: what showed, and where
    // Where in the list it showed: an operation's index, -1 for the entry,
    // the list's length for the closing of the instance.
    int32_t operation = -1;
};

std::vector<Finding> findingsOf(const ChildOutcome& outcome, const OperationList& operations,
                                const std::string& pluginPath);

// Whether the finding showed during an operation whose second thread sets
// parameters while the blocks play: the numbers in what it saw (a frame, a
// level, the block under way) then depend on where the changes landed.
bool showedDuringThread(const Finding& finding, const OperationList& operations);

// Whether `found` is the finding `expected` itself: its kind, its key and
// what it saw. For a measured kind only the kind and key count; with
// numbersMayDiffer the numbers in what it saw may differ, its words not.
bool sameFinding(const Finding& expected, const Finding& found, bool numbersMayDiffer);
