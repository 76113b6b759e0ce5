#include <cmath>
#include <cstdio>
#include <limits>

#include "host/tool/audio_files/audio_difference.h"
#include "host/tool/audio_files/audio_file.h"
#include "host/tool/command_line/command_table.h"
#include "host/tool/command_line/common_options.h"
#include "host/tool/command_line/number_text.h"
#include "host/tool/files/standard_output.h"
#include "host/tool/reports/json_writer.h"
#include "host/tool/reports/wording.h"

namespace {
struct DiffOptions {
    double tolerance = -std::numeric_limits<double>::infinity();
    bool ignoreLength = false;
    bool json = false;

    void declare(OptionSet& set) {
        set.heading("options:");
        set.value("--tolerance", "DB", "the peak difference allowed, in dB full scale",
                  [this](const std::string& text, std::string& error) {
                      if (parseDecimal(text, tolerance)) return true;
                      error = "--tolerance needs a level in dB, such as -90, not '" + text + "'";
                      return false;
                  });
        set.flag("--ignore-length", "compare the part both have; the lengths may differ",
                 ignoreLength);
        declareJson(set, json);
    }
};

struct Verdict {
    bool samplesWithin = false;
    bool lengthsDiffer = false;
    bool same() const { return samplesWithin && !lengthsDiffer; }
};

std::string lengthText(const AudioDifference& d) {
    const bool longer = d.framesB > d.framesA;
    const size_t by = longer ? d.framesB - d.framesA : d.framesA - d.framesB;
    return "B is " + counted(by, "frame") + (longer ? " longer" : " shorter");
}

std::string verdictText(const AudioDifference& d, const Verdict& v) {
    std::string text = d.samplesEqual() ? "identical" : v.samplesWithin ? "within tolerance"
                                                                        : "different beyond tolerance";
    if (v.lengthsDiffer) text = (v.samplesWithin ? "different: " : text + "; ") + lengthText(d);
    return text;
}

std::string textReport(const AudioDifference& d, const Verdict& v) {
    char line[160];
    std::string text;
    std::snprintf(line, sizeof line, "frames:                %zu and %zu\n", d.framesA, d.framesB);
    text += line;
    if (d.framesA != d.framesB) text += "length difference:     " + lengthText(d) + "\n";
    text += "peak difference:       " + formatDecibels(amplitudeToDecibels(d.peak));
    if (!d.samplesEqual()) {
        std::snprintf(line, sizeof line, " (frame %zu, channel %zu)", d.peakFrame, d.peakChannel);
        text += line;
    }
    text += "\nrms difference:        " + formatDecibels(amplitudeToDecibels(d.rms)) + "\n";
    text += "first differing frame: " +
            (d.samplesEqual() ? std::string("none") : std::to_string(d.firstDifferentFrame)) + "\n";
    return text + verdictText(d, v) + "\n";
}

std::string jsonReport(const std::string& a, const std::string& b, const AudioDifference& d,
                       const Verdict& v, const DiffOptions& choices) {
    JsonWriter json;
    json.beginObject();
    json.key("a").path(a);
    json.key("b").path(b);
    json.key("framesA").integer(static_cast<int64_t>(d.framesA));
    json.key("framesB").integer(static_cast<int64_t>(d.framesB));
    json.key("framesCompared").integer(static_cast<int64_t>(d.framesCompared));
    json.key("ignoreLength").boolean(choices.ignoreLength);
    json.key("peak").number(d.peak);
    json.key("peakDecibels").number(amplitudeToDecibels(d.peak));  // null for no difference
    // Where the peak lies, and where the first difference: nowhere when
    // every sample is the same.
    json.key("peakFrame");
    if (d.samplesEqual()) json.null();
    else json.integer(static_cast<int64_t>(d.peakFrame));
    json.key("peakChannel");
    if (d.samplesEqual()) json.null();
    else json.integer(static_cast<int64_t>(d.peakChannel));
    json.key("rms").number(d.rms);
    json.key("rmsDecibels").number(amplitudeToDecibels(d.rms));
    json.key("firstDifferentFrame");
    if (d.samplesEqual()) json.null();
    else json.integer(d.firstDifferentFrame);
    json.key("toleranceDecibels").number(choices.tolerance);  // null without one
    json.key("same").boolean(v.same());
    json.key("verdict").string(verdictText(d, v));
    json.endObject();
    return json.text() + "\n";
}

int runDiff(ArgumentList& arguments, const ToolOptions&) {
    DiffOptions choices;
    OptionSet set;
    choices.declare(set);
    std::vector<std::string> positional;
    std::string error;
    if (!set.take(arguments, error) || !arguments.positionals(2, 2, positional, error))
        return usageFailure("diff", error);
    if (positional[0] == positional[1] && isStandardStream(positional[0]))
        return usageFailure("diff", "standard input can be only one of the two files");

    // A file that cannot be read is trouble, as for cmp and diff: 2, where
    // files that differ give 1.
    AudioFileReader a, b;
    if (!a.open(positional[0], error) || !b.open(positional[1], error)) {
        failure(error);
        return kTrouble;
    }
    if (a.channelCount() != b.channelCount())
        return failure("cannot compare " + counted(a.channelCount(), "channel") + " with " +
                       std::to_string(b.channelCount()));
    if (a.sampleRate() != b.sampleRate())
        return failure("cannot compare audio at " + hertzText(a.sampleRate()) + " with audio at " +
                       hertzText(b.sampleRate()));

    AudioDifference d;
    if (!compareAudio(a, b, choices.ignoreLength, d, error)) {
        failure(error);
        return kTrouble;
    }
    Verdict verdict;
    verdict.samplesWithin = d.samplesEqual() || amplitudeToDecibels(d.peak) <= choices.tolerance;
    verdict.lengthsDiffer = !choices.ignoreLength && d.framesA != d.framesB;
    const std::string text = choices.json ? jsonReport(positional[0], positional[1], d, verdict, choices)
                                          : textReport(d, verdict);
    if (!writeStandardOutput(text, error)) {
        failure(error);
        return kTrouble;
    }
    return verdict.same() ? kSuccess : kFailure;
}
}  // namespace

Command diffCommand() {
    return {"diff", "A B [options]",
            "Compares two audio files.\n"
            "Reports the peak and RMS difference in dB full scale and the first differing\n"
            "frame; frames past the end of the shorter count as silence. Exits 0 when the\n"
            "files are the same within the tolerance, 1 when the peak difference is above\n"
            "it (default: any difference) or the lengths differ, or they cannot be compared\n"
            "(other channels or rates), and 2 when a file cannot be read. Either may be -,\n"
            "standard input.\n",
            declaredOptions<DiffOptions>, runDiff};
}
