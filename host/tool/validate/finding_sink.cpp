#include "host/tool/validate/finding_sink.h"

#include <cstring>

std::string findingKey(FindingKind kind, const std::string& distinction) {
    return distinction.empty() ? kindWord(kind) : kindWord(kind) + (":" + distinction);
}

void FindingSink::add(bool failure, FindingKind kind, const std::string& distinction,
                      const std::string& seen) {
    const std::string key = findingKey(kind, distinction);
    for (int i = 0; i < report.findingCount; ++i)
        if (key.compare(0, sizeof report.findings[i].key - 1, report.findings[i].key) == 0) return;
    if (report.findingCount >= kMaxChildFindings) return;
    ChildFinding& finding = report.findings[report.findingCount++];
    finding.failure = failure ? 1 : 0;
    finding.operation = progress.operation.load(std::memory_order_relaxed);
    finding.kind = static_cast<int32_t>(kind);
    copyField(finding.key, key.c_str());
    copyField(finding.seen, seen.c_str());
}
