// Where a child puts what it finds: into the shared report, once per key,
// with the operation it came from.
#pragma once

#include <string>

#include "host/tool/validate/child_report.h"

class FindingSink {
public:
    FindingSink(ChildReport& childReport, ChildProgress& childProgress)
        : report(childReport), progress(childProgress) {}

    void failure(const std::string& kind, const std::string& key, const std::string& reason) {
        add(true, kind, key, reason);
    }
    void warning(const std::string& kind, const std::string& key, const std::string& reason) {
        add(false, kind, key, reason);
    }
    bool any() const { return report.findingCount > 0; }

private:
    void add(bool failure, const std::string& kind, const std::string& key, const std::string& reason);

    ChildReport& report;
    ChildProgress& progress;
};
