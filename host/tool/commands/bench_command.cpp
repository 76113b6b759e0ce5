#include <algorithm>
#include <cstdio>
#include <memory>

#include "host/tool/json_writer.h"
#include "host/tool/number_text.h"
#include "host/tool/plugin_session.h"
#include "host/tool/process_benchmark.h"
#include "host/tool/progress_bar.h"

namespace {
struct BenchOptions {
    BenchmarkSettings settings;
    std::vector<int64_t> blocks = {64, 512, 4096};
    PluginSettings pluginSettings;
    bool json = false;
};

struct BlockResults {
    int64_t block;
    std::vector<BenchmarkResult> results;
};

bool takeSeconds(ArgumentList& arguments, const char* name, double& seconds, bool zeroAllowed,
                 std::string& error) {
    std::string text;
    if (arguments.value(name, text) &&
        (!parseDecimal(text, seconds) || seconds < 0.0 || (seconds == 0.0 && !zeroAllowed) ||
         seconds > 600.0)) {
        error = std::string(name) + " needs seconds " + (zeroAllowed ? "from 0" : "above 0") +
                " up to 600";
        return false;
    }
    return true;
}

bool takeBenchOptions(ArgumentList& arguments, BenchOptions& choices, std::string& error) {
    BenchmarkSettings& settings = choices.settings;
    std::string text;
    if (arguments.value("--rate", text) &&
        (!parseDecimal(text, settings.sampleRate) || settings.sampleRate < 1000.0 ||
         settings.sampleRate > 768000.0)) {
        error = "--rate needs a sample rate from 1000 to 768000 Hz";
        return false;
    }
    if (arguments.value("--block", text)) {
        if (!parseWholeNumberList(text, choices.blocks)) {
            error = "--block needs sizes such as 64,512,4096";
            return false;
        }
        for (int64_t block : choices.blocks) {
            if (block < 1 || block > 1 << 20) {
                error = "block sizes run from 1 to 1048576";
                return false;
            }
        }
    }
    int64_t rounds = settings.rounds;
    if (arguments.value("--rounds", text) &&
        (!parseWholeNumber(text, rounds) || rounds < 1 || rounds > 1000)) {
        error = "--rounds needs a count from 1 to 1000";
        return false;
    }
    settings.rounds = static_cast<int>(rounds);
    choices.json = arguments.flag("--json");
    return takeSeconds(arguments, "--seconds", settings.roundSeconds, false, error) &&
           takeSeconds(arguments, "--warm-up", settings.warmUpSeconds, true, error) &&
           choices.pluginSettings.take(arguments, error);
}

// "3718x", "41.5x", "0.523x": slow plug-ins, below real time, need the digits.
std::string factorText(double factor) {
    char text[32];
    if (factor >= 100.0) std::snprintf(text, sizeof text, "%.0fx", factor);
    else if (factor >= 10.0) std::snprintf(text, sizeof text, "%.1fx", factor);
    else std::snprintf(text, sizeof text, "%.3gx", factor);
    return text;
}

double ratio(double second, double first) { return first > 0.0 ? second / first : 0.0; }

void printTable(const std::vector<BlockResults>& all, const BenchmarkSettings& settings,
                const std::vector<std::string>& names) {
    std::printf("processReplacing at %g Hz: median of %d rounds of %g s per phase, after %g s "
                "of warm-up\n",
                settings.sampleRate, settings.rounds, settings.roundSeconds,
                settings.warmUpSeconds);
    std::printf("%6s  %-28s %14s %12s %14s %12s\n", "block", "plug-in", "noise ns/frame",
                "noise RTF", "tail ns/frame", "tail RTF");
    for (const BlockResults& block : all) {
        for (size_t p = 0; p < block.results.size(); ++p) {
            const BenchmarkResult& r = block.results[p];
            const double rate = settings.sampleRate;
            std::printf("%6lld  %-28.28s %14.2f %12s %14.2f %12s\n",
                        static_cast<long long>(block.block), names[p].c_str(),
                        r.noiseNanosecondsPerFrame,
                        factorText(realTimeFactor(r.noiseNanosecondsPerFrame, rate)).c_str(),
                        r.silenceNanosecondsPerFrame,
                        factorText(realTimeFactor(r.silenceNanosecondsPerFrame, rate)).c_str());
        }
        if (block.results.size() == 2) {
            const BenchmarkResult &first = block.results[0], &second = block.results[1];
            std::printf("%6lld  %-28s %14.3f %12s %14.3f\n", static_cast<long long>(block.block),
                        "ratio second/first",
                        ratio(second.noiseNanosecondsPerFrame, first.noiseNanosecondsPerFrame), "",
                        ratio(second.silenceNanosecondsPerFrame, first.silenceNanosecondsPerFrame));
        }
    }
}

void printJson(const std::vector<BlockResults>& all, const BenchmarkSettings& settings,
               const std::vector<std::unique_ptr<PluginSession>>& sessions,
               const std::vector<std::string>& names) {
    JsonWriter json;
    json.beginObject();
    json.key("sampleRate").number(settings.sampleRate);
    json.key("rounds").integer(settings.rounds);
    json.key("roundSeconds").number(settings.roundSeconds);
    json.key("warmUpSeconds").number(settings.warmUpSeconds);
    json.key("plugins").beginArray();
    for (size_t p = 0; p < sessions.size(); ++p) {
        json.beginObject();
        json.key("module").string(sessions[p]->path());
        json.key("name").string(names[p]);
        json.endObject();
    }
    json.endArray();
    json.key("blocks").beginArray();
    for (const BlockResults& block : all) {
        json.beginObject();
        json.key("block").integer(block.block);
        json.key("results").beginArray();
        for (const BenchmarkResult& r : block.results) {
            json.beginObject();
            json.key("noiseNanosecondsPerFrame").number(r.noiseNanosecondsPerFrame);
            json.key("noiseRealTimeFactor")
                .number(realTimeFactor(r.noiseNanosecondsPerFrame, settings.sampleRate));
            json.key("tailNanosecondsPerFrame").number(r.silenceNanosecondsPerFrame);
            json.key("tailRealTimeFactor")
                .number(realTimeFactor(r.silenceNanosecondsPerFrame, settings.sampleRate));
            json.endObject();
        }
        json.endArray();
        if (block.results.size() == 2) {
            const BenchmarkResult &first = block.results[0], &second = block.results[1];
            json.key("ratio").beginObject();
            json.key("noise").number(
                ratio(second.noiseNanosecondsPerFrame, first.noiseNanosecondsPerFrame));
            json.key("tail").number(
                ratio(second.silenceNanosecondsPerFrame, first.silenceNanosecondsPerFrame));
            json.endObject();
        }
        json.endObject();
    }
    json.endArray();
    json.endObject();
    std::printf("%s\n", json.text().c_str());
}
}  // namespace

int runBench(ArgumentList& arguments, const ToolOptions& options) {
    BenchOptions choices;
    std::vector<std::string> positional;
    std::string error;
    if (!takeBenchOptions(arguments, choices, error) ||
        !arguments.positionals(1, 2, positional, error))
        return usageFailure("bench", error);
    BenchmarkSettings& settings = choices.settings;

    PluginUse use;
    use.sampleRate = settings.sampleRate;
    use.largestBlock =
        static_cast<int32_t>(*std::max_element(choices.blocks.begin(), choices.blocks.end()));
    std::vector<std::unique_ptr<PluginSession>> sessions;
    std::vector<PluginInstance*> plugins;
    std::vector<std::string> names;
    for (const std::string& path : positional) {
        // The settings go to each plug-in: two builds of one plug-in compare alike.
        sessions.push_back(openPreparedPlugin(path, choices.pluginSettings, use, options, error));
        if (!sessions.back()) return failure(error);
        plugins.push_back(&sessions.back()->plugin());
        names.push_back(sessions.back()->displayName());
    }

    ProgressBar bar("timing", settings.sampleRate);
    size_t done = 0;
    size_t total = 0;
    for (int64_t block : choices.blocks) {
        settings.blockSize = static_cast<int32_t>(block);
        total += benchmarkFrames(plugins.size(), settings);
    }
    std::vector<BlockResults> all;
    for (int64_t block : choices.blocks) {
        settings.blockSize = static_cast<int32_t>(block);
        all.push_back({block, benchmarkProcessing(plugins, settings, [&](size_t frames) {
                           done += frames;
                           bar.update(done, total);
                       })});
    }
    bar.finish();
    if (choices.json) printJson(all, settings, sessions, names);
    else printTable(all, settings, names);
    return kSuccess;
}
