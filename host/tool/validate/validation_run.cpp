#include "host/tool/validate/validation_run.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "host/tool/files/output_file.h"
#include "host/tool/reports/request_log.h"
#include "host/tool/validate/child_runner.h"
#include "host/tool/validate/host_rules.h"
#include "host/tool/validate/progress_line.h"
#include "host/tool/validate/replay_file.h"
#include "host/tool/validate/sequence_generator.h"
#include "host/tool/validate/sequence_player.h"
#include "host/tool/validate/shrinker.h"

namespace {
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A reproducer names the plug-in so that it plays from any directory.
std::string absolutePath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    const std::string absolute = resolved;
    std::free(resolved);
    return absolute;
}

double linearLevel(double decibels) { return std::pow(10.0, decibels / 20.0); }

// Shortening a hang costs a timeout for every shorter list that still
// hangs; a call that went on for the full timeout once is not waited for
// as long again, and the shortened list is tried once with the full one.
double shrinkTimeout(const Finding& finding, double timeout) {
    return finding.kind == FindingKind::Hang ? std::min(timeout, 0.5) : timeout;
}

// A list whose second thread may meet the first otherwise each time
// shows a finding when it does in two of three tries: a shortened list
// that showed it once in a while would seldom show it in a replay.
constexpr int kTimingTries = 3, kTimingShows = 2;

class Validation {
public:
    Validation(const ValidationSettings& runSettings, ValidationResult& runResult)
        : settings(runSettings),
          result(runResult),
          maxLevel(linearLevel(runSettings.maxLevelDb)),
          runner(runSettings.log) {}

    bool run(std::string& error);

private:
    ChildOutcome play(const OperationList& operations, double timeout, const std::string& what) {
        if (settings.log) logLine("# " + what);
        const std::string& path = settings.pluginPath;
        PlayOptions options;
        options.maxLevel = maxLevel;
        options.logFd = runner.logDescriptor();
        return runner.run(
            [&operations, &path, options](ChildReport& childReport, ChildProgress& childProgress) {
                playSequence(path, operations, options, childReport, childProgress);
            },
            timeout);
    }
    // Whether the list shows the finding itself, not only its key.
    bool shows(const OperationList& operations, const Finding& finding, double timeout, const std::string& what) {
        const bool timing = dependsOnThreadTiming(operations);
        const int tries = timing ? kTimingTries : 1, needed = timing ? kTimingShows : 1;
        int shown = 0;
        for (int attempt = 0; attempt < tries && !interrupted(); ++attempt) {
            if (shown + (tries - attempt) < needed) break;
            for (const Finding& found : findingsOf(play(operations, timeout, what), operations, settings.pluginPath))
                if (sameFinding(finding, found, showedDuringThread(found, operations))) {
                    ++shown;
                    break;
                }
            if (shown >= needed) return true;
        }
        return false;
    }
    bool interrupted() { return runner.interruption() != 0; }
    void take(const std::vector<Finding>& found, const OperationList& operations, uint64_t sequence);
    OperationList shorten(const Finding& finding, const OperationList& operations);
    void writeReproducer(ReportedFinding& reported);
    bool makeOutDirectory();
    void showProgress();

    const ValidationSettings& settings;
    ValidationResult& result;
    const double maxLevel;
    ChildRunner runner;
    ProgressLine progress;
    Clock::time_point start = Clock::now();
    std::string outDirectory;
};

bool Validation::makeOutDirectory() {
    if (!outDirectory.empty()) return true;
    if (!settings.outDirectory.empty()) {
        struct stat info;
        if (mkdir(settings.outDirectory.c_str(), 0777) != 0 &&
            !(stat(settings.outDirectory.c_str(), &info) == 0 && S_ISDIR(info.st_mode))) {
            result.writeError = "cannot make the directory " + settings.outDirectory;
            return false;
        }
        outDirectory = settings.outDirectory;
        return true;
    }
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/vst2host-validate-XXXXXX";
    if (!mkdtemp(&pattern[0])) {
        result.writeError = "cannot make a directory for the reproducers in " + pattern;
        return false;
    }
    outDirectory = pattern;
    return true;
}

void Validation::writeReproducer(ReportedFinding& reported) {
    if (!makeOutDirectory()) return;
    ReplayFile replay;
    replay.pluginPath = absolutePath(settings.pluginPath);
    replay.strictness = settings.strictness;
    replay.seed = settings.seed;
    replay.sequence = reported.sequence;
    replay.maxLevelDb = settings.maxLevelDb;
    replay.kind = reported.finding.kind;
    replay.findingKey = reported.finding.key;
    replay.seen = reported.finding.seen;
    replay.reason = reported.finding.reason;
    replay.operations = reported.reproducer;
    const std::string path = outDirectory + "/finding-" + std::to_string(result.findings.size() + 1) + ".replay";
    const std::string text = formatReplay(replay);
    std::string error;
    if (writeWholeFile(path, std::vector<uint8_t>(text.begin(), text.end()), error)) reported.replayPath = path;
    else result.writeError = error;
}

OperationList Validation::shorten(const Finding& finding, const OperationList& operations) {
    ShrinkLimits limits;
    // A tenth of the run for each finding, and not much past its end.
    const double left = settings.seconds * 1.1 - secondsSince(start);
    limits.seconds = std::max(1.0, std::min({8.0, settings.seconds * 0.1, left}));
    limits.stopped = [this] { return interrupted(); };
    const PluginFacts& facts = result.facts;
    const bool polite = settings.strictness == Strictness::Polite;
    const double timeout = shrinkTimeout(finding, settings.timeout);
    if (timeout < settings.timeout) limits.seconds = std::max(limits.seconds, 10 * timeout);
    const std::string name = "finding-" + std::to_string(result.findings.size() + 1);
    int attempt = 0;
    const OperationList shortened = shrinkOperations(
        operations, finding.operation,
        [&facts, polite](const OperationList& candidate) { return !polite || isPolite(candidate, facts); },
        [&](const OperationList& candidate) {
            return shows(candidate, finding, timeout,
                         "shortening " + name + ": attempt " + std::to_string(++attempt) + ", " +
                             std::to_string(candidate.size()) + " operations");
        },
        limits);
    if (timeout < settings.timeout && shortened.size() < operations.size() &&
        !shows(shortened, finding, settings.timeout, "shortening " + name + ": the shortest list, with the full timeout"))
        return operations;
    return shortened;
}

void Validation::take(const std::vector<Finding>& found, const OperationList& operations,
                      uint64_t sequence) {
    std::set<std::string> seenHere;
    for (const Finding& finding : found) {
        if (!seenHere.insert(finding.key).second) continue;
        auto known = std::find_if(result.findings.begin(), result.findings.end(),
                                  [&](const ReportedFinding& r) { return r.finding.key == finding.key; });
        if (known != result.findings.end()) {
            ++known->count;
            continue;
        }
        // A measurement is kept only when the list gives it again.
        if (kindFacts(finding.kind).measured &&
            !shows(operations, finding, settings.timeout, "sequence " + std::to_string(sequence) + " again, to confirm"))
            continue;
        ReportedFinding reported;
        reported.finding = finding;
        reported.count = 1;
        reported.sequence = sequence;
        reported.originalLength = operations.size();
        progress.show(std::string("validate: shortening the list of ") + kindWord(finding.kind) + " (" +
                      std::to_string(operations.size()) + " operations)");
        reported.reproducer = shorten(finding, operations);
        reported.timingDependent = dependsOnThreadTiming(reported.reproducer);
        writeReproducer(reported);
        result.findings.push_back(reported);
    }
}

void Validation::showProgress() {
    char text[160];
    std::snprintf(text, sizeof text, "validate: %.0f s of %.0f, %llu sequences, %zu failures, %zu warnings",
                  secondsSince(start), settings.seconds,
                  static_cast<unsigned long long>(result.sequences), result.failures(), result.warnings());
    progress.show(text);
}

bool Validation::run(std::string& error) {
    const std::string& path = settings.pluginPath;
    if (settings.log) logLine("# reading the plug-in's facts");
    const int logFd = runner.logDescriptor();
    const ChildOutcome first = runner.run(
        [&path, logFd](ChildReport& report, ChildProgress& shared) { readPluginFacts(path, report, shared, logFd); },
        settings.timeout);
    if (first.end == ChildOutcome::End::Interrupted) {
        result.interruption = runner.interruption();
        return true;
    }
    if (first.end == ChildOutcome::End::Finished) {
        const FactsRecord& facts = first.report.facts;
        if (!facts.valid) {
            error = facts.error;
            return false;
        }
        result.facts.numParams = facts.numParams;
        result.facts.numPrograms = facts.numPrograms;
        result.facts.numInputs = facts.numInputs;
        result.facts.numOutputs = facts.numOutputs;
        result.facts.flags = facts.flags;
        result.facts.uniqueId = facts.uniqueId;
        result.facts.name = facts.name;
        result.facts.takesNotes = facts.takesNotes != 0;
    } else {
        // Loading or making an instance already fails: that is the finding,
        // and the empty list, which loads and makes one, reproduces it.
        result.sequences = 1;
        take(findingsOf(first, {}, path), {}, 0);
        result.seconds = secondsSince(start);
        result.interruption = runner.interruption();
        return true;
    }
    for (uint64_t sequence = 0; !interrupted(); ++sequence) {
        if (settings.sequenceLimit > 0 && sequence >= settings.sequenceLimit) break;
        if (sequence > 0 && secondsSince(start) >= settings.seconds) break;
        const OperationList operations =
            generateSequence(result.facts, settings.strictness, settings.seed, sequence);
        const ChildOutcome outcome = play(operations, settings.timeout, "sequence " + std::to_string(sequence));
        if (outcome.end == ChildOutcome::End::Interrupted) break;
        ++result.sequences;
        take(findingsOf(outcome, operations, path), operations, sequence);
        showProgress();
    }
    progress.clear();
    result.seconds = secondsSince(start);
    result.interruption = runner.interruption();
    return true;
}
}  // namespace

size_t ValidationResult::failures() const {
    return static_cast<size_t>(std::count_if(findings.begin(), findings.end(),
                                             [](const ReportedFinding& r) { return r.finding.failure; }));
}

size_t ValidationResult::warnings() const { return findings.size() - failures(); }

bool runValidation(const ValidationSettings& settings, ValidationResult& result, std::string& error) {
    Validation validation(settings, result);
    return validation.run(error);
}

bool replayReproducer(const std::string& file, const ReplaySettings& settings, ReplayOutcome& outcome,
                      std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(file, bytes, error)) return false;
    ReplayFile replay;
    if (!parseReplay(std::string(bytes.begin(), bytes.end()), replay, error)) {
        error = file + ": " + error;
        return false;
    }
    const std::string plugin = settings.pluginOverride.empty() ? replay.pluginPath : settings.pluginOverride;
    outcome.pluginPath = plugin;
    outcome.strictness = replay.strictness;
    outcome.seed = replay.seed;
    outcome.expected.kind = replay.kind;
    outcome.expected.key = replay.findingKey;
    outcome.expected.seen = replay.seen;
    outcome.expected.reason = replay.reason;
    const OperationList& operations = replay.operations;
    outcome.timingDependent = dependsOnThreadTiming(operations);
    outcome.planned = outcome.timingDependent ? kTimingReplays : 1;
    // A reproducer written before findings kept what they saw names only its kind and key.
    const bool valuesKept = !replay.seen.empty();

    const Clock::time_point start = Clock::now();
    ChildRunner runner(settings.log);
    PlayOptions options;
    options.maxLevel = linearLevel(replay.maxLevelDb);
    options.logFd = runner.logDescriptor();
    std::vector<ReportedFinding>& findings = outcome.result.findings;
    for (int play = 0; play < outcome.planned; ++play) {
        if (settings.log)
            logLine("# replay " + std::to_string(play + 1) + " of " + std::to_string(outcome.planned));
        const ChildOutcome played = runner.run(
            [&](ChildReport& report, ChildProgress& progress) {
                playSequence(plugin, operations, options, report, progress);
            },
            settings.timeout);
        if (played.end == ChildOutcome::End::Interrupted) break;
        ++outcome.plays;
        bool came = false, otherValues = false;
        for (const Finding& finding : findingsOf(played, operations, plugin)) {
            // Findings that differ only in where the threads met are one.
            auto known = std::find_if(findings.begin(), findings.end(), [&](const ReportedFinding& r) {
                return sameFinding(r.finding, finding, showedDuringThread(finding, operations));
            });
            if (known == findings.end()) {
                ReportedFinding reported;
                reported.finding = finding;
                reported.sequence = replay.sequence;
                reported.reproducer = operations;
                reported.originalLength = operations.size();
                reported.replayPath = file;
                reported.timingDependent = outcome.timingDependent;
                findings.push_back(reported);
                known = findings.end() - 1;
            }
            ++known->count;
            if (finding.key != outcome.expected.key) continue;
            if (!valuesKept || sameFinding(outcome.expected, finding, showedDuringThread(finding, operations))) {
                came = true;
            } else {
                otherValues = true;
                if (outcome.instead.empty()) outcome.instead = finding.seen;
            }
        }
        if (came) ++outcome.reproducedIn;
        else if (otherValues) ++outcome.otherValuesIn;
    }
    outcome.result.sequences = static_cast<uint64_t>(outcome.plays);
    outcome.result.seconds = secondsSince(start);
    outcome.result.interruption = runner.interruption();
    return true;
}
