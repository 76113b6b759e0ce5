#include <cstdio>

#include "host/library/audio_buffer.h"
#include "host/library/offline_renderer.h"
#include "host/tool/number_text.h"
#include "host/tool/plot/impulse_plot.h"
#include "host/tool/render_warnings.h"
#include "host/tool/test_signals.h"
#include "host/tool/plugin_session.h"

namespace {
constexpr int32_t kPlotBlock = 512;
constexpr double kPlotCapSeconds = 30.0;
}  // namespace

int runPlot(ArgumentList& arguments, const ToolOptions& options) {
    PluginSettings settings;
    std::vector<std::string> positional;
    std::string error, text;
    double rate = 44100.0, amplitude = 0.2;
    TailLength tail;
    tail.capSeconds = kPlotCapSeconds;
    if (!settings.take(arguments, error)) return usageFailure("plot", error);
    if (arguments.value("--rate", text) && (!parseDecimal(text, rate) || rate < 1000.0 ||
                                            rate > 768000.0))
        return usageFailure("plot", "--rate needs a sample rate from 1000 to 768000 Hz");
    if (arguments.value("--amplitude", text) &&
        (!parseDecimal(text, amplitude) || amplitude <= 0.0 || amplitude > 1000.0))
        return usageFailure("plot", "--amplitude needs a height above 0");
    if (arguments.value("--seconds", text) && text != "auto") {
        double seconds = 0.0;
        if (!parseDecimal(text, seconds) || seconds <= 0.0 || seconds > 600.0)
            return usageFailure("plot", "--seconds needs a length above 0, up to 600, or 'auto'");
        tail = TailLength::fixed(seconds);
    }
    const bool compensateLatency = !arguments.flag("--no-latency-compensation");
    if (!arguments.positionals(2, 2, positional, error)) return usageFailure("plot", error);

    PluginUse use;
    use.sampleRate = rate;
    use.largestBlock = kPlotBlock;
    use.inputChannels = 1;
    use.refusal = "cannot send an impulse";
    use.needsOutputs = true;
    const auto session = openPreparedPlugin(positional[0], settings, use, options, error);
    if (!session) return failure(error);
    PluginInstance& plugin = session->plugin();

    ImpulsePlotRequest request;
    request.impulseHeight = static_cast<float>(amplitude);
    OfflineRenderer renderer(BlockSchedule::fixed(kPlotBlock), tail);
    renderer.compensateLatency = compensateLatency;
    TestSignal source = TestSignal::click(rate, 1, 1, request.impulseHeight);
    AudioBufferSink sink(rate, static_cast<size_t>(plugin.numOutputs()));
    RenderReport report;
    if (!renderer.render(plugin, source, sink, report, error)) return failure(error);
    warnAboutRender(report, "--seconds S");
    request.response = std::move(sink.audio);
    char title[256];
    std::snprintf(title, sizeof title, "%s: impulse of %g at %g Hz",
                  session->displayName().c_str(), amplitude, rate);
    request.title = title;
    if (!writeImpulsePlot(positional[1], request, error)) return failure(error);
    std::printf("%s: impulse response of %s, %zu frames\n", positional[1].c_str(),
                session->displayName().c_str(), request.response.frames());
    return kSuccess;
}
