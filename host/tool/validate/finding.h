// A finding as the run keeps it, and the findings of one child's outcome:
// what it reported itself, and, when it died or hung, that too, with the
// signal, the place and the request under way.
#pragma once

#include <string>
#include <vector>

#include "host/tool/validate/child_runner.h"
#include "host/tool/validate/operation.h"

struct Finding {
    bool failure = true;
    std::string kind;    // "crash", "hang", "outside-buffer", ...
    std::string key;     // one finding however often it is seen
    std::string reason;  // one line
    // Where in the list it showed: an operation's index, -1 for the entry,
    // the list's length for the closing of the instance.
    int32_t operation = -1;
};

std::vector<Finding> findingsOf(const ChildOutcome& outcome, const OperationList& operations,
                                const std::string& pluginPath);

// "during effGetParamName (index 3, no buffer), operation 5 (text ...)".
std::string describeStep(const ChildOutcome& outcome, const OperationList& operations);
