#include <cstdio>

#include "host/library/plugin_formats.h"
#include "host/tool/command_line/command_table.h"
#include "host/tool/command_line/common_options.h"
#include "host/tool/command_line/number_text.h"
#include "host/tool/files/standard_output.h"
#include "host/tool/validate/child_runner.h"
#include "host/tool/validate/validation_report.h"
#include "host/tool/validate/validation_run.h"

namespace {
struct ValidateOptions {
    ValidationSettings settings;
    bool json = false;
    std::string replayFile;

    void declare(OptionSet& set) {
        set.heading("options:");
        set.value("--strictness", "polite|hostile",
                  "what hosts do (default), or also what they should not",
                  [this](const std::string& text, std::string& error) {
                      if (text != "polite" && text != "hostile") {
                          error = "--strictness is polite or hostile, not '" + text + "'";
                          return false;
                      }
                      settings.strictness = text == "hostile" ? Strictness::Hostile : Strictness::Polite;
                      return true;
                  });
        set.value("--seed", "N", "the run's seed (default 1)",
                  [this](const std::string& text, std::string& error) {
                      int64_t number = 0;
                      if (!parseWholeNumber(text, number) || number < 0) {
                          error = "--seed needs a whole number from 0, not '" + text + "'";
                          return false;
                      }
                      settings.seed = static_cast<uint64_t>(number);
                      return true;
                  });
        set.decimal("--time", "SECONDS", "how long to go on (default 60)", settings.seconds,
                    {0.1, 86400.0, "seconds", "", false});
        set.value("--sequences", "N", "stop after N sequences",
                  [this](const std::string& text, std::string& error) {
                      int64_t number = 0;
                      if (!parseWholeNumber(text, number) || number < 1) {
                          error = "--sequences needs a count from 1, not '" + text + "'";
                          return false;
                      }
                      settings.sequenceLimit = static_cast<uint64_t>(number);
                      return true;
                  });
        set.decimal("--timeout", "SECONDS", "a call that takes longer hangs (default 5)",
                    settings.timeout, {0.1, 600.0, "seconds", "", false});
        set.decimal("--max-level", "DB", "loudest output from input within 0 dBFS (default 40)",
                    settings.maxLevelDb, {-200.0, 400.0, "dB full scale", "", false});
        set.text("--out", "DIR", "where reproducers go (default: a new temporary directory)",
                 settings.outDirectory);
        declareJson(set, json, "the report as JSON");
        set.text("--replay", "FILE", "play a reproducer again, on its plug-in or PLUGIN", replayFile);
    }
};

// The validator plays the VST 2.4 record's calls; other formats it refuses.
bool refuseOtherFormats(const std::string& path, std::string& error) {
    const std::string format = pluginFormatOf(path);
    if (format == "VST 2.4") return true;
    error = "validate is for VST 2.4 plug-ins: " + path + " is a " + format + " plug-in";
    return false;
}

int replay(const ValidateOptions& choices, const std::vector<std::string>& positional,
           const ToolOptions& options) {
    std::string error;
    if (!positional.empty() && !refuseOtherFormats(positional[0], error)) return failure(error);
    ReplaySettings settings;
    settings.log = options.log;
    settings.timeout = choices.settings.timeout;
    if (!positional.empty()) settings.pluginOverride = positional[0];
    ReplayOutcome outcome;
    if (!replayReproducer(choices.replayFile, settings, outcome, error)) return failure(error);
    const std::string report = choices.json ? jsonReplayReport(choices.replayFile, outcome)
                                            : humanReplayReport(choices.replayFile, outcome);
    const bool written = writeStandardOutput(report, error);
    if (outcome.result.interruption) passOnInterruption(outcome.result.interruption);
    if (!written) return failure(error);
    return outcome.result.failures() > 0 ? kFailure : kSuccess;
}

int runValidate(ArgumentList& arguments, const ToolOptions& options) {
    ValidateOptions choices;
    OptionSet set;
    choices.declare(set);
    std::vector<std::string> positional;
    std::string error;
    if (!set.take(arguments, error)) return usageFailure("validate", error);
    const bool replaying = !choices.replayFile.empty();
    if (!arguments.positionals(replaying ? 0 : 1, 1, positional, error))
        return usageFailure("validate", error);
    if (replaying) return replay(choices, positional, options);

    ValidationSettings& settings = choices.settings;
    settings.log = options.log;
    settings.pluginPath = positional[0];
    if (!refuseOtherFormats(settings.pluginPath, error)) return failure(error);

    ValidationResult result;
    if (!runValidation(settings, result, error)) return failure(error);
    ReportHeading heading;
    heading.pluginPath = settings.pluginPath;
    heading.pluginName = result.facts.name.empty() ? settings.pluginPath : result.facts.name;
    heading.strictness = strictnessWord(settings.strictness);
    heading.seed = settings.seed;
    const std::string report = choices.json ? jsonReport(heading, result) : humanReport(heading, result);
    const bool written = writeStandardOutput(report, error);
    if (result.interruption) passOnInterruption(result.interruption);
    if (!written) return failure(error);
    return result.failures() > 0 ? kFailure : kSuccess;
}
}  // namespace

Command validateCommand() {
    return {"validate", "PLUGIN [options] | --replay FILE [PLUGIN]",
            "Finds the faults of a VST 2.4 plug-in: crashes, hangs, overruns, NaN, lost state.\n"
            "Plays seeded sequences of host operations, each in a child process with a\n"
            "timeout, and reports every distinct finding once, with a shortened reproducer\n"
            "written to a file. Exits 1 when anything failed (warnings alone exit 0).\n",
            declaredOptions<ValidateOptions>, runValidate};
}
