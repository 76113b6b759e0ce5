#include <cmath>
#include <cstdio>
#include <limits>

#include "host/tool/command_line/argument_list.h"
#include "host/tool/audio_files/audio_difference.h"
#include "host/tool/audio_files/audio_file.h"
#include "host/tool/reports/json_writer.h"
#include "host/tool/command_line/number_text.h"
#include "host/tool/command_line/tool_options.h"

namespace {
struct Verdict {
    bool samplesWithin = false;
    bool lengthsDiffer = false;
    bool same() const { return samplesWithin && !lengthsDiffer; }
};

std::string lengthText(const AudioDifference& d) {
    const bool longer = d.framesB > d.framesA;
    const size_t by = longer ? d.framesB - d.framesA : d.framesA - d.framesB;
    return "B is " + std::to_string(by) + " frame" + (by == 1 ? "" : "s") +
           (longer ? " longer" : " shorter");
}

std::string verdictText(const AudioDifference& d, const Verdict& v) {
    std::string text = d.samplesEqual() ? "identical" : v.samplesWithin ? "within tolerance"
                                                                        : "different beyond tolerance";
    if (v.lengthsDiffer) text = (v.samplesWithin ? "different: " : text + "; ") + lengthText(d);
    return text;
}

void printText(const AudioDifference& d, const Verdict& v) {
    std::printf("frames:                %zu and %zu\n", d.framesA, d.framesB);
    if (d.framesA != d.framesB) std::printf("length difference:     %s\n", lengthText(d).c_str());
    std::printf("peak difference:       %s", formatDecibels(amplitudeToDecibels(d.peak)).c_str());
    if (!d.samplesEqual()) std::printf(" (frame %zu, channel %zu)", d.peakFrame, d.peakChannel);
    std::printf("\nrms difference:        %s\n", formatDecibels(amplitudeToDecibels(d.rms)).c_str());
    if (d.samplesEqual()) std::printf("first differing frame: none\n");
    else std::printf("first differing frame: %lld\n", static_cast<long long>(d.firstDifferentFrame));
    std::printf("%s\n", verdictText(d, v).c_str());
}

void printJson(const std::string& a, const std::string& b, const AudioDifference& d,
               const Verdict& v, double tolerance, bool ignoreLength) {
    JsonWriter json;
    json.beginObject();
    json.key("a").string(a);
    json.key("b").string(b);
    json.key("framesA").integer(static_cast<int64_t>(d.framesA));
    json.key("framesB").integer(static_cast<int64_t>(d.framesB));
    json.key("framesCompared").integer(static_cast<int64_t>(d.framesCompared));
    json.key("ignoreLength").boolean(ignoreLength);
    json.key("peak").number(d.peak);
    json.key("peakDecibels").number(amplitudeToDecibels(d.peak));  // null for no difference
    json.key("peakFrame").integer(static_cast<int64_t>(d.peakFrame));
    json.key("peakChannel").integer(static_cast<int64_t>(d.peakChannel));
    json.key("rms").number(d.rms);
    json.key("rmsDecibels").number(amplitudeToDecibels(d.rms));
    json.key("firstDifferentFrame");
    if (d.samplesEqual()) json.null();
    else json.integer(d.firstDifferentFrame);
    json.key("toleranceDecibels").number(tolerance);  // null without one
    json.key("same").boolean(v.same());
    json.key("verdict").string(verdictText(d, v));
    json.endObject();
    std::printf("%s\n", json.text().c_str());
}
}  // namespace

int runDiff(ArgumentList& arguments, const ToolOptions&) {
    std::vector<std::string> positional;
    std::string error, text;
    double tolerance = -std::numeric_limits<double>::infinity();
    if (arguments.value("--tolerance", text) && !parseDecimal(text, tolerance))
        return usageFailure("diff", "--tolerance needs a level in dB, such as -90");
    const bool ignoreLength = arguments.flag("--ignore-length");
    const bool json = arguments.flag("--json");
    if (!arguments.positionals(2, 2, positional, error)) return usageFailure("diff", error);

    AudioFileReader a, b;
    if (!a.open(positional[0], error) || !b.open(positional[1], error)) return failure(error);
    if (a.channelCount() != b.channelCount())
        return failure("cannot compare " + std::to_string(a.channelCount()) + " channels with " +
                       std::to_string(b.channelCount()));
    if (a.sampleRate() != b.sampleRate())
        return failure("cannot compare audio at " + std::to_string(std::lround(a.sampleRate())) +
                       " Hz with audio at " + std::to_string(std::lround(b.sampleRate())) + " Hz");

    AudioDifference d;
    if (!compareAudio(a, b, ignoreLength, d, error)) return failure(error);
    Verdict verdict;
    verdict.samplesWithin = d.samplesEqual() || amplitudeToDecibels(d.peak) <= tolerance;
    verdict.lengthsDiffer = !ignoreLength && d.framesA != d.framesB;
    if (json) printJson(positional[0], positional[1], d, verdict, tolerance, ignoreLength);
    else printText(d, verdict);
    return verdict.same() ? kSuccess : kFailure;
}
