#include <cstdio>

#include "host/library/audio_buffer.h"
#include "host/library/offline_renderer.h"
#include "host/tool/audio_files/test_signals.h"
#include "host/tool/command_line/command_table.h"
#include "host/tool/command_line/common_options.h"
#include "host/tool/plot/impulse_plot.h"
#include "host/tool/reports/render_warnings.h"
#include "host/tool/reports/wording.h"
#include "host/tool/sessions/plugin_chain.h"
#include "host/tool/sessions/transport_options.h"

namespace {
constexpr int32_t kPlotBlock = 512;
constexpr double kPlotCapSeconds = 30.0;

struct PlotOptions {
    double rate = kDefaultSampleRate;
    double amplitude = 0.2;
    double seconds = 0.0;
    bool automaticLength = true;
    bool decibels = false;
    bool keepLatency = false;
    TransportOptions transport;

    void declare(OptionSet& set) {
        set.heading("options of the whole plot:");
        declareRate(set, rate);
        set.decimal("--amplitude", "A", "height of the impulse (default 0.2)", amplitude,
                    {0.0, 1000.0, "a height", "", true});
        declareSeconds(set, "length after the impulse (default auto, at most 30 s)", 600.0, seconds,
                       &automaticLength);
        set.value("--scale", "linear|db", "the response's amplitude, or its level in dBFS",
                  [this](const std::string& text, std::string& error) {
                      if (text != "linear" && text != "db") {
                          error = "--scale is linear or db, not '" + text + "'";
                          return false;
                      }
                      decibels = text == "db";
                      return true;
                  });
        transport.declare(set);
        declareKeepLatency(set, keepLatency, "the response");
    }
};

int runPlot(ArgumentList& arguments, const ToolOptions& options) {
    PlotOptions choices;
    OptionSet set;
    choices.declare(set);
    std::vector<ChainLink> links;
    std::vector<std::string> positional;
    std::string error;
    if (!takeChainLinks(arguments, links, error) || !set.take(arguments, error) ||
        !arguments.positionals(2, 2, positional, error))
        return usageFailure("plot", error);
    links[0].path = positional[0];
    warnAboutPictureName(positional[1]);

    ChainUse use;
    use.sampleRate = choices.rate;
    use.largestBlock = kPlotBlock;
    use.feedEveryInput = true;
    use.inputName = "the impulse";
    use.refusal = "cannot send an impulse";
    use.transport = choices.transport.transport();
    use.compensateLatency = !choices.keepLatency;
    const auto chain = PluginChain::open(links, use, options, error);
    if (!chain) return failure(error);

    ImpulsePlotRequest request;
    request.decibels = choices.decibels;
    request.impulseHeight = static_cast<float>(choices.amplitude);
    TestSignal source = TestSignal::click(choices.rate, chain->inputChannels(), 1, request.impulseHeight);
    InputThenSilence input(source);
    AudioStream& last = chain->connect(input);
    AudioBufferSink sink(choices.rate, chain->outputChannels());
    RenderReport report;
    if (!chain->start(error)) return failure(error);
    TailLength tail = choices.automaticLength ? TailLength() : TailLength::fixed(choices.seconds);
    tail.capSeconds = kPlotCapSeconds;
    OfflineRenderer renderer(BlockSchedule::fixed(kPlotBlock), tailOf(*chain, tail, choices.rate));
    const bool rendered = renderer.run(input, last, sink, report, error);
    chain->stop();
    if (!rendered) return failure(error);
    report.longestReportedLatency = chain->longestReportedLatency();
    warnAboutRender(report, "--seconds S");
    request.response = std::move(sink.audio);
    char amplitude[32];
    std::snprintf(amplitude, sizeof amplitude, "%g", choices.amplitude);
    request.title = chain->displayName() + ": impulse of " + amplitude + " at " + hertzText(choices.rate);
    std::string drawn, written;
    if (!writeImpulsePlot(positional[1], request, drawn, written, error)) return failure(error);
    status(written + ": impulse response of " + chain->displayName() + ", " +
           counted(request.response.frames(), "frame") + "; " + drawn);
    return kSuccess;
}
}  // namespace

Command plotCommand() {
    return {"plot", "PLUGIN OUT.png [options] [--then PLUGIN2 [options] ...]",
            "Draws the impulse response and its magnitude response.\n"
            "Renders a one-frame impulse on every input of a plug-in or a chain and draws,\n"
            "with gnuplot, each output's impulse response and the magnitude response of the\n"
            "first echo (of a delay) or of the whole response (of anything else); more than\n"
            "8 outputs are drawn as an overview, one row per output. The picture is a PNG\n"
            "whatever its name; - writes it to standard output.\n",
            chainCommandOptions<PlotOptions>, runPlot};
}
