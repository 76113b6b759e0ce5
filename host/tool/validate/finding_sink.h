// Where a child puts what it finds: into the shared report, once per key,
// with the operation it came from. A finding's key is its kind's word and
// what tells it apart from others of its kind ("outside-buffer:output:past");
// what it says it saw carries the values a replay must show again.
#pragma once

#include <string>

#include "host/tool/validate/child_report.h"
#include "host/tool/validate/finding_kind.h"

class FindingSink {
public:
    FindingSink(ChildReport& childReport, ChildProgress& childProgress)
        : report(childReport), progress(childProgress) {}

    // distinction: empty when the kind is the whole key.
    void failure(FindingKind kind, const std::string& distinction, const std::string& seen) {
        add(true, kind, distinction, seen);
    }
    void warning(FindingKind kind, const std::string& distinction, const std::string& seen) {
        add(false, kind, distinction, seen);
    }
    bool any() const { return report.findingCount > 0; }

private:
    void add(bool failure, FindingKind kind, const std::string& distinction, const std::string& seen);

    ChildReport& report;
    ChildProgress& progress;
};

// "kind" or "kind:distinction".
std::string findingKey(FindingKind kind, const std::string& distinction);
