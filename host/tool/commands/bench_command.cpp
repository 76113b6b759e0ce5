#include <algorithm>
#include <cstdio>
#include <memory>

#include "host/tool/command_line/command_table.h"
#include "host/tool/command_line/common_options.h"
#include "host/tool/files/standard_output.h"
#include "host/tool/reports/json_writer.h"
#include "host/tool/command_line/number_text.h"
#include "host/tool/sessions/plugin_session.h"
#include "host/tool/benchmark/process_benchmark.h"
#include "host/tool/reports/progress_bar.h"
#include "host/tool/reports/wording.h"
#include "host/tool/sessions/transport_options.h"

namespace {
struct BenchOptions {
    BenchmarkSettings settings;
    std::vector<int64_t> blocks = {64, 512, 4096};
    TransportOptions transport;
    bool json = false;

    void declare(OptionSet& set) {
        set.heading("options of the whole run:");
        declareRate(set, settings.sampleRate);
        set.value("--block", "N[,N...]", "block sizes (default 64,512,4096)",
                  [this](const std::string& text, std::string& error) {
                      bool ok = parseWholeNumberList(text, blocks);
                      for (int64_t block : blocks) ok = ok && block >= 1 && block <= 1 << 20;
                      if (!ok) error = "--block needs sizes from 1 to 1048576, such as 64,512,4096, "
                                       "not '" + text + "'";
                      return ok;
                  });
        declareSeconds(set, "audio per plug-in, round and phase (default 1)", 600.0,
                       settings.roundSeconds);
        set.value("--rounds", "N", "rounds; the median counts (default 5)",
                  [this](const std::string& text, std::string& error) {
                      int64_t rounds = 0;
                      if (!parseWholeNumber(text, rounds) || rounds < 1 || rounds > 1000) {
                          error = "--rounds needs a count from 1 to 1000, not '" + text + "'";
                          return false;
                      }
                      settings.rounds = static_cast<int>(rounds);
                      return true;
                  });
        set.decimal("--warm-up", "S", "untimed noise first (default 1)", settings.warmUpSeconds,
                    {0.0, 600.0, "seconds", "", false});
        transport.declare(set);
        declareJson(set, json, "the figures as JSON");
    }
};

struct BlockResults {
    int64_t block;
    std::vector<ChainTiming> results;
};

// What one chain is called, and each of its plug-ins.
struct ChainNames {
    std::string module, whole;
    std::vector<std::string> modules, stages;
};

template <class... Values>
void appendFormatted(std::string& text, const char* format, Values... values) {
    char line[256];
    std::snprintf(line, sizeof line, format, values...);
    text += line;
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

void appendRow(std::string& text, long long block, const std::string& name, const BenchmarkResult& r,
              double rate) {
    appendFormatted(text, "%6lld  %-28.28s %14.2f %12s %14.2f %12s\n", block, name.c_str(),
                    r.noiseNanosecondsPerFrame,
                    factorText(realTimeFactor(r.noiseNanosecondsPerFrame, rate)).c_str(),
                    r.silenceNanosecondsPerFrame,
                    factorText(realTimeFactor(r.silenceNanosecondsPerFrame, rate)).c_str());
}

std::string tableReport(const std::vector<BlockResults>& all, const BenchmarkSettings& settings,
                        const std::vector<ChainNames>& names) {
    std::string text;
    appendFormatted(text, "processing at %s: median of %s of %g s per phase, after %g s of warm-up\n",
                    hertzText(settings.sampleRate).c_str(),
                    counted(static_cast<size_t>(settings.rounds), "round").c_str(), settings.roundSeconds,
                    settings.warmUpSeconds);
    appendFormatted(text, "%6s  %-28s %14s %12s %14s %12s\n", "block", "plug-in", "noise ns/frame",
                    "noise RTF", "tail ns/frame", "tail RTF");
    for (const BlockResults& block : all) {
        const long long size = static_cast<long long>(block.block);
        for (size_t p = 0; p < block.results.size(); ++p) {
            const ChainTiming& timing = block.results[p];
            if (timing.stages.size() > 1) {
                for (size_t s = 0; s < timing.stages.size(); ++s)
                    appendRow(text, size, names[p].stages[s], timing.stages[s], settings.sampleRate);
                appendRow(text, size, "whole chain", timing.whole, settings.sampleRate);
            } else {
                appendRow(text, size, names[p].whole, timing.whole, settings.sampleRate);
            }
        }
        if (block.results.size() == 2) {
            const BenchmarkResult &first = block.results[0].whole, &second = block.results[1].whole;
            appendFormatted(text, "%6lld  %-28s %14.3f %12s %14.3f\n", size, "ratio second/first",
                            ratio(second.noiseNanosecondsPerFrame, first.noiseNanosecondsPerFrame), "",
                            ratio(second.silenceNanosecondsPerFrame, first.silenceNanosecondsPerFrame));
        }
    }
    return text;
}

void figures(JsonWriter& json, const BenchmarkResult& r, double rate) {
    json.key("noiseNanosecondsPerFrame").number(r.noiseNanosecondsPerFrame);
    json.key("noiseRealTimeFactor").number(realTimeFactor(r.noiseNanosecondsPerFrame, rate));
    json.key("tailNanosecondsPerFrame").number(r.silenceNanosecondsPerFrame);
    json.key("tailRealTimeFactor").number(realTimeFactor(r.silenceNanosecondsPerFrame, rate));
}

std::string jsonReport(const std::vector<BlockResults>& all, const BenchmarkSettings& settings,
                       const std::vector<ChainNames>& names) {
    JsonWriter json;
    json.beginObject();
    json.key("sampleRate").number(settings.sampleRate);
    json.key("rounds").integer(settings.rounds);
    json.key("roundSeconds").number(settings.roundSeconds);
    json.key("warmUpSeconds").number(settings.warmUpSeconds);
    json.key("plugins").beginArray();
    for (const ChainNames& chain : names) {
        json.beginObject();
        json.key("module").path(chain.module);
        json.key("name").string(chain.whole);
        if (chain.stages.size() > 1) {
            json.key("chain").beginArray();
            for (size_t s = 0; s < chain.stages.size(); ++s) {
                json.beginObject();
                json.key("module").path(chain.modules[s]);
                json.key("name").string(chain.stages[s]);
                json.endObject();
            }
            json.endArray();
        }
        json.endObject();
    }
    json.endArray();
    json.key("blocks").beginArray();
    for (const BlockResults& block : all) {
        json.beginObject();
        json.key("block").integer(block.block);
        json.key("results").beginArray();
        for (const ChainTiming& timing : block.results) {
            json.beginObject();
            figures(json, timing.whole, settings.sampleRate);
            if (timing.stages.size() > 1) {
                json.key("stages").beginArray();
                for (const BenchmarkResult& stage : timing.stages) {
                    json.beginObject();
                    figures(json, stage, settings.sampleRate);
                    json.endObject();
                }
                json.endArray();
            }
            json.endObject();
        }
        json.endArray();
        if (block.results.size() == 2) {
            const BenchmarkResult &first = block.results[0].whole, &second = block.results[1].whole;
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
    return json.text() + "\n";
}

int runBench(ArgumentList& arguments, const ToolOptions& options) {
    BenchOptions choices;
    OptionSet set;
    choices.declare(set);
    std::vector<ChainLink> links;
    std::vector<std::string> positional;
    std::string error;
    if (!takeChainLinks(arguments, links, error) || !set.take(arguments, error) ||
        !arguments.positionals(1, 2, positional, error))
        return usageFailure("bench", error);
    if (positional.size() == 2 && links.size() > 1)
        return usageFailure("bench", "compare two plug-ins, or time one chain, not both");
    BenchmarkSettings& settings = choices.settings;
    // Two plug-ins compare with the same settings each: two builds of one
    // plug-in compare alike.
    std::vector<std::vector<ChainLink>> compared;
    for (const std::string& path : positional) {
        compared.push_back(links);
        compared.back()[0].path = path;
    }

    ChainUse use;
    use.sampleRate = settings.sampleRate;
    use.feedEveryInput = true;
    use.inputName = "the noise";
    use.refusal = "cannot time it on noise";
    use.transport = choices.transport.transport();
    use.timed = true;
    ProgressBar bar("timing", settings.sampleRate);
    size_t done = 0;
    const size_t total = choices.blocks.size() * benchmarkFrames(compared.size(), settings);
    use.largestBlock =
        static_cast<int32_t>(*std::max_element(choices.blocks.begin(), choices.blocks.end()));
    std::vector<std::unique_ptr<PluginChain>> chains;
    std::vector<PluginChain*> timed;
    std::vector<ChainNames> names;
    for (const auto& chainLinks : compared) {
        chains.push_back(PluginChain::open(chainLinks, use, options, error));
        if (!chains.back()) return failure(error);
        const PluginChain& chain = *chains.back();
        timed.push_back(chains.back().get());
        ChainNames name{chain.path(0), chain.displayName(), {}, {}};
        for (size_t s = 0; s < chain.size(); ++s) {
            name.modules.push_back(chain.path(s));
            name.stages.push_back(chain.name(s));
        }
        names.push_back(name);
    }
    std::vector<BlockResults> all;
    for (int64_t block : choices.blocks) {
        settings.blockSize = static_cast<int32_t>(block);
        for (PluginChain* chain : timed) chain->setBlockSize(settings.blockSize);
        BlockResults results{block, {}};
        if (!benchmarkChains(
                timed, settings,
                [&](size_t frames) {
                    done += frames;
                    bar.update(done, total);
                },
                results.results, error))
            return failure(error);
        all.push_back(results);
    }
    bar.finish();
    const std::string text =
        choices.json ? jsonReport(all, settings, names) : tableReport(all, settings, names);
    if (!writeStandardOutput(text, error)) return failure(error);
    return kSuccess;
}
}  // namespace

Command benchCommand() {
    return {"bench", "PLUGIN [PLUGIN2] [options] | PLUGIN [options] --then PLUGIN2 ...",
            "Times the plug-in's processing.\n"
            "Nanoseconds per frame and real-time factor, for noise and for the silence\n"
            "after it, after a warm-up; two plug-ins take turns, each with the settings; a\n"
            "chain is timed plug-in by plug-in and whole. A progress bar shows on a terminal.\n",
            chainCommandOptions<BenchOptions>, runBench};
}
