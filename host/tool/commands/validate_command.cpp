#include <cstdio>

#include "host/library/plugin_formats.h"
#include "host/tool/argument_list.h"
#include "host/tool/number_text.h"
#include "host/tool/tool_options.h"
#include "host/tool/validate/child_runner.h"
#include "host/tool/validate/validation_report.h"
#include "host/tool/validate/validation_run.h"

namespace {
// The validator plays the VST 2.4 record's calls; other formats it refuses.
bool refuseOtherFormats(const std::string& path, std::string& error) {
    const std::string format = pluginFormatOf(path);
    if (format == "VST 2.4") return true;
    error = "validate is for VST 2.4 plug-ins: " + path + " is a " + format + " plug-in";
    return false;
}

bool takeSeconds(ArgumentList& arguments, const char* name, double least, double most,
                 double& seconds, std::string& error) {
    std::string text;
    if (arguments.value(name, text) && (!parseDecimal(text, seconds) || seconds < least || seconds > most)) {
        char range[96];
        std::snprintf(range, sizeof range, " needs seconds from %g to %g", least, most);
        error = name + std::string(range);
        return false;
    }
    return true;
}

int replay(ArgumentList& arguments, const std::string& file, bool json, const ToolOptions& options) {
    std::string error;
    ReplaySettings settings;
    settings.log = options.log;
    std::vector<std::string> positional;
    if (!takeSeconds(arguments, "--timeout", 0.1, 600.0, settings.timeout, error) ||
        !arguments.positionals(0, 1, positional, error))
        return usageFailure("validate", error);
    if (!positional.empty() && !refuseOtherFormats(positional[0], error)) return failure(error);
    if (!positional.empty()) settings.pluginOverride = positional[0];
    ReplayOutcome outcome;
    if (!replayReproducer(file, settings, outcome, error)) return failure(error);
    const std::string report = json ? jsonReplayReport(file, outcome) : humanReplayReport(file, outcome);
    std::fputs(report.c_str(), stdout);
    if (outcome.result.interruption) passOnInterruption(outcome.result.interruption);
    return outcome.result.failures() > 0 ? kFailure : kSuccess;
}
}  // namespace

int runValidate(ArgumentList& arguments, const ToolOptions& options) {
    const bool json = arguments.flag("--json");
    std::string file;
    if (arguments.value("--replay", file)) return replay(arguments, file, json, options);

    ValidationSettings settings;
    settings.log = options.log;
    std::string error, text;
    if (arguments.value("--strictness", text)) {
        if (text != "polite" && text != "hostile")
            return usageFailure("validate", "--strictness is polite or hostile, not '" + text + "'");
        settings.strictness = text == "hostile" ? Strictness::Hostile : Strictness::Polite;
    }
    int64_t number = 0;
    if (arguments.value("--seed", text)) {
        if (!parseWholeNumber(text, number) || number < 0)
            return usageFailure("validate", "--seed needs a whole number from 0");
        settings.seed = static_cast<uint64_t>(number);
    }
    if (arguments.value("--sequences", text)) {
        if (!parseWholeNumber(text, number) || number < 1)
            return usageFailure("validate", "--sequences needs a count from 1");
        settings.sequenceLimit = static_cast<uint64_t>(number);
    }
    if (arguments.value("--max-level", text) &&
        (!parseDecimal(text, settings.maxLevelDb) || settings.maxLevelDb < -200.0 || settings.maxLevelDb > 400.0))
        return usageFailure("validate", "--max-level needs dB full scale from -200 to 400");
    arguments.value("--out", settings.outDirectory);
    std::vector<std::string> positional;
    if (!takeSeconds(arguments, "--time", 0.1, 86400.0, settings.seconds, error) ||
        !takeSeconds(arguments, "--timeout", 0.1, 600.0, settings.timeout, error) ||
        !arguments.positionals(1, 1, positional, error))
        return usageFailure("validate", error);
    settings.pluginPath = positional[0];
    if (!refuseOtherFormats(settings.pluginPath, error)) return failure(error);

    ValidationResult result;
    if (!runValidation(settings, result, error)) return failure(error);
    ReportHeading heading;
    heading.pluginPath = settings.pluginPath;
    heading.pluginName = result.facts.name.empty() ? settings.pluginPath : result.facts.name;
    heading.strictness = strictnessWord(settings.strictness);
    heading.seed = settings.seed;
    const std::string report = json ? jsonReport(heading, result) : humanReport(heading, result);
    std::fputs(report.c_str(), stdout);
    if (result.interruption) passOnInterruption(result.interruption);
    return result.failures() > 0 ? kFailure : kSuccess;
}
