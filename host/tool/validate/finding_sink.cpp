#include "host/tool/validate/finding_sink.h"

#include <cstring>

void FindingSink::add(bool failure, const std::string& kind, const std::string& key,
                      const std::string& reason) {
    for (int i = 0; i < report.findingCount; ++i)
        if (key.compare(0, sizeof report.findings[i].key - 1, report.findings[i].key) == 0) return;
    if (report.findingCount >= kMaxChildFindings) return;
    ChildFinding& finding = report.findings[report.findingCount++];
    finding.failure = failure ? 1 : 0;
    finding.operation = progress.operation.load(std::memory_order_relaxed);
    copyField(finding.kind, kind.c_str());
    copyField(finding.key, key.c_str());
    copyField(finding.reason, reason.c_str());
}
