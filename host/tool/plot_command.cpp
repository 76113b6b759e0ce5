#include <cstdio>

#include "host/impulse_plot.h"
#include "host/offline_renderer.h"
#include "host/test_signals.h"
#include "host/tool/commands.h"
#include "host/tool/number_text.h"
#include "host/tool/plugin_session.h"

namespace {
constexpr int32_t kPlotBlock = 512;
constexpr double kPlotCapSeconds = 30.0;
}  // namespace

int plotCommand(ArgumentList& arguments, const ToolOptions& options) {
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
            return usageFailure("plot", "--seconds needs a length from 0 to 600 or 'auto'");
        tail = TailLength::fixed(seconds);
    }
    if (!arguments.positionals(2, 2, positional, error)) return usageFailure("plot", error);

    PluginSession session(options.log);
    if (!session.load(positional[0], rate, kPlotBlock, error)) return failure(error);
    PluginInstance& plugin = session.plugin();
    if (!checkInputRouting(1, plugin.effect()->numInputs, error))
        return failure("cannot send an impulse: " + error);
    if (plugin.effect()->numOutputs <= 0) return failure("the plug-in has no audio outputs");
    session.prepare(rate, kPlotBlock);
    if (!session.apply(settings, error)) return failure(error);

    ImpulsePlotRequest request;
    request.impulseHeight = static_cast<float>(amplitude);
    OfflineRenderer renderer(plugin, BlockSchedule::fixed(kPlotBlock), tail);
    request.response = renderer.render(makeClick(rate, 1, 0.0, request.impulseHeight));
    char title[256];
    std::snprintf(title, sizeof title, "%s: impulse of %g at %g Hz",
                  session.displayName().c_str(), amplitude, rate);
    request.title = title;
    if (!writeImpulsePlot(positional[1], request, error)) return failure(error);
    std::printf("%s: impulse response of %s, %zu frames\n", positional[1].c_str(),
                session.displayName().c_str(), request.response.frames());
    return kSuccess;
}
