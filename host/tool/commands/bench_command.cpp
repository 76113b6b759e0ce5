#include <cstdio>
#include <memory>

#include "host/tool/number_text.h"
#include "host/tool/plugin_session.h"
#include "host/tool/process_benchmark.h"

namespace {
bool takeSeconds(ArgumentList& arguments, const char* name, double& seconds, double least,
                 std::string& error) {
    std::string text;
    if (arguments.value(name, text) &&
        (!parseDecimal(text, seconds) || seconds < least || seconds > 600.0)) {
        error = std::string(name) + " needs seconds from " + std::to_string(least) + " to 600";
        return false;
    }
    return true;
}
}  // namespace

int runBench(ArgumentList& arguments, const ToolOptions& options) {
    BenchmarkSettings settings;
    std::vector<int64_t> blocks = {64, 512, 4096};
    std::vector<std::string> positional;
    std::string error, text;
    if (arguments.value("--rate", text) &&
        (!parseDecimal(text, settings.sampleRate) || settings.sampleRate < 1000.0 ||
         settings.sampleRate > 768000.0))
        return usageFailure("bench", "--rate needs a sample rate from 1000 to 768000 Hz");
    if (arguments.value("--block", text)) {
        if (!parseWholeNumberList(text, blocks))
            return usageFailure("bench", "--block needs sizes such as 64,512,4096");
        for (int64_t block : blocks)
            if (block < 1 || block > 1 << 20)
                return usageFailure("bench", "block sizes run from 1 to 1048576");
    }
    int64_t rounds = settings.rounds;
    if (arguments.value("--rounds", text) && (!parseWholeNumber(text, rounds) || rounds < 1 ||
                                              rounds > 1000))
        return usageFailure("bench", "--rounds needs a count from 1 to 1000");
    settings.rounds = static_cast<int>(rounds);
    if (!takeSeconds(arguments, "--seconds", settings.roundSeconds, 0.001, error) ||
        !takeSeconds(arguments, "--warm-up", settings.warmUpSeconds, 0.0, error) ||
        !arguments.positionals(1, 2, positional, error))
        return usageFailure("bench", error);

    std::vector<std::unique_ptr<PluginSession>> sessions;
    std::vector<PluginInstance*> plugins;
    int64_t largest = 0;
    for (int64_t block : blocks) largest = std::max(largest, block);
    PluginUse use;
    use.sampleRate = settings.sampleRate;
    use.largestBlock = static_cast<int32_t>(largest);
    for (const std::string& path : positional) {
        sessions.push_back(openPreparedPlugin(path, PluginSettings(), use, options, error));
        if (!sessions.back()) return failure(error);
        plugins.push_back(&sessions.back()->plugin());
    }

    std::printf("processReplacing at %g Hz: median of %d rounds of %g s per phase, after %g s "
                "of warm-up\n",
                settings.sampleRate, settings.rounds, settings.roundSeconds,
                settings.warmUpSeconds);
    std::printf("%6s  %-28s %14s %12s %14s %12s\n", "block", "plug-in", "noise ns/frame",
                "noise RTF", "tail ns/frame", "tail RTF");
    for (int64_t block : blocks) {
        settings.blockSize = static_cast<int32_t>(block);
        const std::vector<BenchmarkResult> results = benchmarkProcessing(plugins, settings);
        for (size_t p = 0; p < results.size(); ++p) {
            const BenchmarkResult& r = results[p];
            std::printf("%6lld  %-28.28s %14.2f %11.0fx %14.2f %11.0fx\n",
                        static_cast<long long>(block), sessions[p]->displayName().c_str(),
                        r.noiseNanosecondsPerFrame,
                        realTimeFactor(r.noiseNanosecondsPerFrame, settings.sampleRate),
                        r.silenceNanosecondsPerFrame,
                        realTimeFactor(r.silenceNanosecondsPerFrame, settings.sampleRate));
        }
        if (results.size() == 2) {
            const auto ratio = [](double second, double first) {
                return first > 0.0 ? second / first : 0.0;
            };
            std::printf("%6lld  %-28s %14.3f %12s %14.3f\n", static_cast<long long>(block),
                        "ratio second/first",
                        ratio(results[1].noiseNanosecondsPerFrame, results[0].noiseNanosecondsPerFrame),
                        "",
                        ratio(results[1].silenceNanosecondsPerFrame,
                              results[0].silenceNanosecondsPerFrame));
        }
    }
    return kSuccess;
}
