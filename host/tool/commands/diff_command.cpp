#include <cmath>
#include <cstdio>
#include <limits>

#include "host/tool/argument_list.h"
#include "host/tool/audio_difference.h"
#include "host/tool/audio_file.h"
#include "host/tool/number_text.h"
#include "host/tool/tool_options.h"

int runDiff(ArgumentList& arguments, const ToolOptions&) {
    std::vector<std::string> positional;
    std::string error, text;
    double tolerance = -std::numeric_limits<double>::infinity();
    if (arguments.value("--tolerance", text) && !parseDecimal(text, tolerance))
        return usageFailure("diff", "--tolerance needs a level in dB, such as -90");
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
    if (!compareAudio(a, b, false, d, error)) return failure(error);
    const double peak = amplitudeToDecibels(d.peak);
    std::printf("frames:                %zu and %zu\n", d.framesA, d.framesB);
    std::printf("peak difference:       %s", formatDecibels(peak).c_str());
    if (!d.samplesEqual()) std::printf(" (frame %zu, channel %zu)", d.peakFrame, d.peakChannel);
    std::printf("\nrms difference:        %s\n", formatDecibels(amplitudeToDecibels(d.rms)).c_str());
    if (d.samplesEqual()) std::printf("first differing frame: none\n");
    else std::printf("first differing frame: %lld\n", static_cast<long long>(d.firstDifferentFrame));

    const bool within = d.samplesEqual() || peak <= tolerance;
    std::printf("%s\n", within ? (d.samplesEqual() ? "identical" : "within tolerance")
                               : "different beyond tolerance");
    return within ? kSuccess : kFailure;
}
