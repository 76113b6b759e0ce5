#include <algorithm>
#include <cmath>
#include <cstdio>

#include <sndfile.h>

#include "host/library/offline_renderer.h"
#include "host/tool/audio_file.h"
#include "host/tool/audio_format.h"
#include "host/tool/number_text.h"
#include "host/tool/plugin_session.h"
#include "host/tool/progress_bar.h"
#include "host/tool/render_warnings.h"

namespace {
constexpr int64_t kDefaultBlock = 512;
constexpr int64_t kLargestBlock = 1 << 20;

struct RenderOptions {
    PluginSettings settings;
    bool randomBlocks = false;
    int64_t block = kDefaultBlock;
    int64_t seed = 1;
    TailLength tail;
    bool sameFormat = false;
    std::string format;  // --format TYPE[:ENCODING]
    bool compensateLatency = true;
};

bool takeRenderOptions(ArgumentList& arguments, RenderOptions& choices, std::string& error) {
    if (!choices.settings.take(arguments, error)) return false;
    std::string text;
    if (arguments.value("--block", text)) {
        if (text == "random") {
            choices.randomBlocks = true;
        } else if (!parseWholeNumber(text, choices.block) || choices.block < 1 ||
                   choices.block > kLargestBlock) {
            error = "--block needs a size from 1 to " + std::to_string(kLargestBlock) +
                    " or 'random', not '" + text + "'";
            return false;
        }
    }
    if (arguments.value("--seed", text) &&
        (!parseWholeNumber(text, choices.seed) || choices.seed < 0 || choices.seed > 0xFFFFFFFFLL)) {
        error = "--seed needs a whole number from 0 to 4294967295";
        return false;
    }
    if (arguments.value("--tail", text) && text != "auto") {
        double seconds = 0.0;
        if (!parseDecimal(text, seconds) || seconds < 0.0 || seconds > 3600.0) {
            error = "--tail needs seconds from 0 to 3600 or 'auto', not '" + text + "'";
            return false;
        }
        choices.tail = TailLength::fixed(seconds);
    }
    choices.sameFormat = arguments.flag("--same-format");
    arguments.value("--format", choices.format);
    if (choices.sameFormat && !choices.format.empty()) {
        error = "--same-format and --format cannot both choose the format";
        return false;
    }
    choices.compensateLatency = !arguments.flag("--no-latency-compensation");
    return true;
}
}  // namespace

int runRender(ArgumentList& arguments, const ToolOptions& options) {
    RenderOptions choices;
    std::vector<std::string> positional;
    std::string error;
    if (!takeRenderOptions(arguments, choices, error) ||
        !arguments.positionals(3, 3, positional, error))
        return usageFailure("render", error);
    const std::string &pluginPath = positional[0], &inPath = positional[1], &outPath = positional[2];
    int outputFormat = 0;
    if (!choices.sameFormat && !chooseOutputFormat(outPath, choices.format, outputFormat, error))
        return usageFailure("render", error);

    AudioFileReader input;
    if (!input.open(inPath, error)) return failure(error);
    const BlockSchedule schedule =
        choices.randomBlocks ? BlockSchedule::random(static_cast<uint32_t>(choices.seed))
                             : BlockSchedule::fixed(static_cast<int32_t>(choices.block));

    PluginUse use;
    use.sampleRate = input.sampleRate();
    use.largestBlock = schedule.largest();
    use.inputChannels = input.channelCount();
    use.refusal = "cannot render " + inPath;
    use.needsOutputs = true;
    const auto session = openPreparedPlugin(pluginPath, choices.settings, use, options, error);
    if (!session) return failure(error);
    PluginInstance& plugin = session->plugin();
    const size_t outputs = static_cast<size_t>(plugin.numOutputs());
    if (choices.sameFormat) {
        outputFormat = input.format();
        const int named = typeOfExtension(outPath);
        if (named > 0 && named != (outputFormat & SF_FORMAT_TYPEMASK))
            warning(outPath + " is written as " + formatName(outputFormat) +
                    ", the input's format, which its name does not say");
    }
    if (!canWriteAudioFormat(outputFormat, outputs, input.sampleRate()))
        return failure("cannot write the plug-in's " + std::to_string(outputs) + " outputs at " +
                       std::to_string(std::lround(input.sampleRate())) + " Hz as " +
                       formatName(outputFormat));
    AudioFileWriter output;
    if (!output.open(outPath, outputFormat, outputs, input.sampleRate(), error)) return failure(error);

    OfflineRenderer renderer(schedule, choices.tail);
    renderer.compensateLatency = choices.compensateLatency;
    ProgressBar bar("rendering", input.sampleRate());
    renderer.progress = [&bar](size_t done, size_t total) { bar.update(done, total); };
    RenderReport report;
    const bool rendered = renderer.render(plugin, input, output, report, error);
    bar.finish();
    if (!rendered || !output.finish(error)) return failure(error);
    warnAboutRender(report, "--tail SECONDS");
    warnAboutFile(output, outPath);

    std::printf("%s: %zu frames (%zu of input, %zu of tail) at %g Hz through %s\n",
                outPath.c_str(), report.outputFrames, report.inputFrames,
                report.outputFrames - std::min(report.outputFrames, report.inputFrames),
                input.sampleRate(), session->displayName().c_str());
    return kSuccess;
}
