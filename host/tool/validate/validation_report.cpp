#include "host/tool/validate/validation_report.h"

#include <cstdio>

#include "host/tool/reports/json_writer.h"

namespace {
std::string plural(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string findingLines(const ReportedFinding& reported, uint64_t seed, bool replay) {
    const Finding& finding = reported.finding;
    std::string text = std::string(finding.failure ? "FAIL " : "warn ") + finding.kind + ": " +
                       finding.reason + "\n";
    if (!replay) {
        text += "     seen in " + plural(reported.count, "sequence", "sequences") + ", first in sequence " +
                std::to_string(reported.sequence) + " of seed " + std::to_string(seed) +
                "; reproducer of " + plural(reported.reproducer.size(), "operation", "operations") +
                " (shortened from " + std::to_string(reported.originalLength) + ")";
        text += reported.replayPath.empty() ? " not written\n"
                                            : ":\n     vst2host validate --replay " + reported.replayPath + "\n";
    }
    return text;
}

std::string summary(const ValidationResult& result) {
    return plural(result.failures(), "failure", "failures") + ", " +
           plural(result.warnings(), "warning", "warnings");
}

// Failures first, each in the order found.
template <typename Visit>
void inReportOrder(const ValidationResult& result, Visit visit) {
    for (bool failures : {true, false})
        for (const ReportedFinding& reported : result.findings)
            if (reported.finding.failure == failures) visit(reported);
}

void writeFindings(JsonWriter& json, const ValidationResult& result, uint64_t seed) {
    json.key("failures").integer(static_cast<int64_t>(result.failures()));
    json.key("warnings").integer(static_cast<int64_t>(result.warnings()));
    json.key("findings").beginArray();
    inReportOrder(result, [&](const ReportedFinding& reported) {
        json.beginObject();
        json.key("severity").string(reported.finding.failure ? "failure" : "warning");
        json.key("kind").string(reported.finding.kind);
        json.key("key").string(reported.finding.key);
        json.key("reason").string(reported.finding.reason);
        json.key("count").integer(static_cast<int64_t>(reported.count));
        json.key("seed").integer(static_cast<int64_t>(seed));
        json.key("sequence").integer(static_cast<int64_t>(reported.sequence));
        json.key("operations").integer(static_cast<int64_t>(reported.reproducer.size()));
        json.key("originalOperations").integer(static_cast<int64_t>(reported.originalLength));
        json.key("replay").string(reported.replayPath);
        json.key("reproducer").beginArray();
        for (const Operation& op : reported.reproducer) json.string(formatOperation(op));
        json.endArray();
        json.endObject();
    });
    json.endArray();
}
}  // namespace

std::string humanReport(const ReportHeading& heading, const ValidationResult& result) {
    char line[256];
    std::snprintf(line, sizeof line, "%llu sequences in %.1f s: ",
                  static_cast<unsigned long long>(result.sequences), result.seconds);
    std::string text = "validate " + heading.pluginName + " (" + heading.pluginPath + "), " +
                       heading.strictness + ", seed " + std::to_string(heading.seed) + "\n" + line +
                       summary(result) + "\n";
    inReportOrder(result, [&](const ReportedFinding& reported) {
        text += "\n" + findingLines(reported, heading.seed, false);
    });
    if (!result.writeError.empty()) text += "\nthe reproducers could not all be written: " + result.writeError + "\n";
    text += result.failures() == 0 ? "\npassed\n" : "\nFAILED\n";
    return text;
}

std::string jsonReport(const ReportHeading& heading, const ValidationResult& result) {
    JsonWriter json;
    json.beginObject();
    json.key("plugin").beginObject();
    json.key("path").string(heading.pluginPath);
    json.key("name").string(heading.pluginName);
    json.endObject();
    json.key("strictness").string(heading.strictness);
    json.key("seed").integer(static_cast<int64_t>(heading.seed));
    json.key("sequences").integer(static_cast<int64_t>(result.sequences));
    json.key("seconds").number(result.seconds);
    json.key("passed").boolean(result.failures() == 0);
    writeFindings(json, result, heading.seed);
    json.endObject();
    return json.text() + "\n";
}

std::string humanReplayReport(const std::string& file, const ReplayOutcome& outcome) {
    std::string text = "replay " + file + ": " + summary(outcome.result) + "\n";
    inReportOrder(outcome.result, [&](const ReportedFinding& reported) {
        text += "\n" + findingLines(reported, outcome.seed, true);
    });
    if (!outcome.expectedKey.empty())
        text += outcome.reproduced ? "\nreproduced: " + outcome.expectedKey + "\n"
                                   : "\nnot reproduced: " + outcome.expectedKey + "\n";
    return text;
}

std::string jsonReplayReport(const std::string& file, const ReplayOutcome& outcome) {
    JsonWriter json;
    json.beginObject();
    json.key("replay").string(file);
    json.key("plugin").beginObject();
    json.key("path").string(outcome.pluginPath);
    json.endObject();
    json.key("strictness").string(strictnessWord(outcome.strictness));
    json.key("seed").integer(static_cast<int64_t>(outcome.seed));
    json.key("sequences").integer(static_cast<int64_t>(outcome.result.sequences));
    json.key("expected").string(outcome.expectedKey);
    json.key("reproduced").boolean(outcome.reproduced);
    json.key("seconds").number(outcome.result.seconds);
    json.key("passed").boolean(outcome.result.failures() == 0);
    writeFindings(json, outcome.result, outcome.seed);
    json.endObject();
    return json.text() + "\n";
}
