// Shortens a failing operation list while it still fails the same way:
// first everything after the failing operation goes, then runs of
// operations ever shorter (halves, quarters, ... single ones), then the
// blocks of each process operation; only lists the strictness allows are
// tried, and it stops when its attempts or its time run out, or it is told
// to stop (the run was interrupted).
#pragma once

#include <functional>

#include "host/tool/validate/operation.h"

struct ShrinkLimits {
    int attempts = 150;
    double seconds = 5.0;
    std::function<bool()> stopped;  // may be empty
};

OperationList shrinkOperations(const OperationList& failing, int32_t failingOperation,
                               const std::function<bool(const OperationList&)>& allowed,
                               const std::function<bool(const OperationList&)>& stillFails,
                               const ShrinkLimits& limits);
