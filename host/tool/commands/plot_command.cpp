#include <cstdio>

#include "host/library/audio_buffer.h"
#include "host/library/offline_renderer.h"
#include "host/tool/number_text.h"
#include "host/tool/plot/impulse_plot.h"
#include "host/tool/plugin_chain.h"
#include "host/tool/render_warnings.h"
#include "host/tool/test_signals.h"
#include "host/tool/transport_options.h"

namespace {
constexpr int32_t kPlotBlock = 512;
constexpr double kPlotCapSeconds = 30.0;
}  // namespace

int runPlot(ArgumentList& arguments, const ToolOptions& options) {
    std::vector<ChainLink> links;
    TransportOptions transport;
    std::vector<std::string> positional;
    std::string error, text;
    double rate = 44100.0, amplitude = 0.2;
    TailLength tail;
    tail.capSeconds = kPlotCapSeconds;
    ImpulsePlotRequest request;
    if (!takeChainLinks(arguments, links, error) || !transport.take(arguments, error))
        return usageFailure("plot", error);
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
    if (arguments.value("--scale", text)) {
        if (text != "linear" && text != "db") return usageFailure("plot", "--scale is linear or db");
        request.decibels = text == "db";
    }
    const bool compensateLatency = !arguments.flag("--no-latency-compensation");
    if (!arguments.positionals(2, 2, positional, error)) return usageFailure("plot", error);
    links[0].path = positional[0];

    ChainUse use;
    use.sampleRate = rate;
    use.largestBlock = kPlotBlock;
    use.feedEveryInput = true;
    use.inputName = "the impulse";
    use.refusal = "cannot send an impulse";
    use.transport = transport.transport();
    use.compensateLatency = compensateLatency;
    const auto chain = PluginChain::open(links, use, options, error);
    if (!chain) return failure(error);

    request.impulseHeight = static_cast<float>(amplitude);
    TestSignal source = TestSignal::click(rate, chain->inputChannels(), 1, request.impulseHeight);
    InputThenSilence input(source);
    AudioStream& last = chain->connect(input);
    AudioBufferSink sink(rate, chain->outputChannels());
    RenderReport report;
    if (!chain->start(error)) return failure(error);
    OfflineRenderer renderer(BlockSchedule::fixed(kPlotBlock), tailOf(*chain, tail, rate));
    const bool rendered = renderer.run(input, last, sink, report, error);
    chain->stop();
    if (!rendered) return failure(error);
    report.longestReportedLatency = chain->longestReportedLatency();
    warnAboutRender(report, "--seconds S");
    request.response = std::move(sink.audio);
    char title[256];
    std::snprintf(title, sizeof title, "%s: impulse of %g at %g Hz", chain->displayName().c_str(),
                  amplitude, rate);
    request.title = title;
    std::string drawn;
    if (!writeImpulsePlot(positional[1], request, drawn, error)) return failure(error);
    std::printf("%s: impulse response of %s, %zu frames; %s\n", positional[1].c_str(),
                chain->displayName().c_str(), request.response.frames(), drawn.c_str());
    return kSuccess;
}
