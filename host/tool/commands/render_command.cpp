#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include <sndfile.h>
#include <sys/stat.h>

#include "host/library/offline_renderer.h"
#include "host/library/silence.h"
#include "host/tool/audio_file.h"
#include "host/tool/audio_format.h"
#include "host/tool/midi_file.h"
#include "host/tool/number_text.h"
#include "host/tool/plugin_chain.h"
#include "host/tool/progress_bar.h"
#include "host/tool/render_warnings.h"
#include "host/tool/transport_options.h"

namespace {
constexpr int64_t kDefaultBlock = 512;
constexpr int64_t kLargestBlock = 1 << 20;

struct RenderOptions {
    bool randomBlocks = false;
    int64_t block = kDefaultBlock;
    int64_t seed = 1;
    TailLength tail;
    bool sameFormat = false;
    std::string format;  // --format TYPE[:ENCODING]
    bool compensateLatency = true;
    double midiRate = 44100.0;  // --rate, for MIDI files
    TransportOptions transport;
    int64_t automationStep = ParameterAutomation::kDefaultStep;
    std::string outDir;
};

bool takeRenderOnlyOptions(ArgumentList& arguments, RenderOptions& choices, std::string& error) {
    std::string text;
    if (arguments.value("--automation-block", text) &&
        (!parseWholeNumber(text, choices.automationStep) || choices.automationStep < 1 ||
         choices.automationStep > 65536)) {
        error = "--automation-block needs frames from 1 to 65536, not '" + text + "'";
        return false;
    }
    if (arguments.value("--rate", text) && (!parseDecimal(text, choices.midiRate) ||
                                            choices.midiRate < 1000.0 || choices.midiRate > 768000.0)) {
        error = "--rate needs a sample rate from 1000 to 768000 Hz";
        return false;
    }
    return choices.transport.take(arguments, error);
}

bool takeRenderOptions(ArgumentList& arguments, RenderOptions& choices, std::string& error) {
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
    if (arguments.value("--out-dir", choices.outDir) && choices.outDir.empty()) {
        error = "--out-dir needs a directory";
        return false;
    }
    return takeRenderOnlyOptions(arguments, choices, error);
}

std::string baseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where a batch writes an input's result: the same name in the directory;
// a MIDI file's under the name of the format it is written in.
std::string outputFor(const std::string& input, const RenderOptions& choices) {
    std::string name = baseName(input);
    if (looksLikeMidiFile(input)) {
        const size_t dot = name.rfind('.');
        const std::string type = choices.format.substr(0, choices.format.find(':'));
        name = (dot == std::string::npos ? name : name.substr(0, dot)) + "." +
               (type.empty() ? "wav" : type);
    }
    return choices.outDir + "/" + name;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool prepareOutputDirectory(const std::string& path, std::string& error) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return true;
        error = "--out-dir " + path + " is not a directory";
        return false;
    }
    if (mkdir(path.c_str(), 0777) == 0) return true;
    error = "cannot make the directory " + path + ": " + std::strerror(errno);
    return false;
}

// Renders one input into one output through the chain; the exit status.
int renderOne(std::vector<ChainLink> links, const RenderOptions& choices, const std::string& inPath,
              const std::string& outPath, int outputFormat, const ToolOptions& options) {
    std::string error;
    const BlockSchedule schedule =
        choices.randomBlocks ? BlockSchedule::random(static_cast<uint32_t>(choices.seed))
                             : BlockSchedule::fixed(static_cast<int32_t>(choices.block));
    ChainUse use;
    use.largestBlock = schedule.largest();
    use.inputName = inPath;
    use.refusal = "cannot render " + inPath;
    use.automationStep = choices.automationStep;
    use.compensateLatency = choices.compensateLatency;

    // The input: a MIDI file plays the first plug-in for its length, with
    // silence into any inputs it has; audio feeds it.
    std::unique_ptr<AudioSource> source;
    AudioFileReader* audio = nullptr;
    if (looksLikeMidiFile(inPath)) {
        MidiSong song;
        if (!readMidiFile(inPath, song, error)) return failure(error);
        if (choices.sameFormat) return failure(inPath + " is a MIDI file: it has no audio format to keep");
        use.sampleRate = choices.midiRate;
        use.midiInput = true;
        use.events = song.framesAt(use.sampleRate);
        use.transport = choices.transport.transport(song.hasTempoMap ? &song.transport : nullptr);
        source = std::make_unique<Silence>(use.sampleRate, 0,
                                           static_cast<size_t>(song.lengthFrames(use.sampleRate)));
    } else {
        auto reader = std::make_unique<AudioFileReader>();
        if (!reader->open(inPath, error)) return failure(error);
        use.sampleRate = reader->sampleRate();
        use.inputChannels = reader->channelCount();
        audio = reader.get();
        source = std::move(reader);
    }
    if (!use.midiInput) use.transport = choices.transport.transport();

    const auto chain = PluginChain::open(links, use, options, error);
    if (!chain) return failure(error);
    const size_t outputs = chain->outputChannels();
    if (choices.sameFormat) {
        outputFormat = audio->format();
        const int named = typeOfExtension(outPath);
        if (named > 0 && named != (outputFormat & SF_FORMAT_TYPEMASK))
            warning(outPath + " is written as " + formatName(outputFormat) +
                    ", the input's format, which its name does not say");
    }
    if (!canWriteAudioFormat(outputFormat, outputs, use.sampleRate))
        return failure("cannot write the " + std::to_string(outputs) + " outputs of " +
                       chain->displayName() + " at " + std::to_string(std::lround(use.sampleRate)) +
                       " Hz as " + formatName(outputFormat));
    AudioFileWriter output;
    if (!output.open(outPath, outputFormat, outputs, use.sampleRate, error)) return failure(error);

    RenderReport report;
    InputThenSilence input(*source);
    AudioStream& last = chain->connect(input);
    if (!chain->start(error)) return failure(error);
    OfflineRenderer renderer(schedule, tailOf(*chain, choices.tail, use.sampleRate));
    ProgressBar bar("rendering", use.sampleRate);
    renderer.progress = [&bar](size_t done, size_t total) { bar.update(done, total); };
    const bool rendered = renderer.run(input, last, output, report, error);
    chain->stop();
    bar.finish();
    report.latency = chain->latency();
    report.longestReportedLatency = chain->longestReportedLatency();
    if (!rendered || !output.finish(error)) return failure(error);
    warnAboutRender(report, "--tail SECONDS");
    warnAboutFile(output, outPath);

    std::printf("%s: %zu frames (%zu of input, %zu of tail) at %g Hz through %s\n",
                outPath.c_str(), report.outputFrames, report.inputFrames,
                report.outputFrames - std::min(report.outputFrames, report.inputFrames),
                use.sampleRate, chain->displayName().c_str());
    return kSuccess;
}
}  // namespace

int runRender(ArgumentList& arguments, const ToolOptions& options) {
    RenderOptions choices;
    std::vector<ChainLink> links;
    std::vector<std::string> positional;
    std::string error;
    if (!takeChainLinks(arguments, links, error) || !takeRenderOptions(arguments, choices, error))
        return usageFailure("render", error);
    const bool batch = !choices.outDir.empty();
    if (!arguments.positionals(batch ? 2 : 3, batch ? SIZE_MAX : 3, positional, error))
        return usageFailure("render", error + (batch ? "" : " (several inputs need --out-dir DIR)"));
    links[0].path = positional[0];
    std::vector<std::pair<std::string, std::string>> jobs;  // input, output
    if (batch) {
        for (size_t i = 1; i < positional.size(); ++i)
            jobs.push_back({positional[i], outputFor(positional[i], choices)});
    } else {
        jobs.push_back({positional[1], positional[2]});
    }
    std::vector<int> formats;
    for (const auto& job : jobs) {
        int format = 0;
        if (!choices.sameFormat && !chooseOutputFormat(job.second, choices.format, format, error))
            return usageFailure("render", error);
        formats.push_back(format);
    }
    if (!batch) return renderOne(links, choices, jobs[0].first, jobs[0].second, formats[0], options);

    if (!prepareOutputDirectory(choices.outDir, error)) return failure(error);
    // Each input on its own: one that fails leaves the others to be done.
    size_t failed = 0;
    std::set<std::string> written;
    for (size_t j = 0; j < jobs.size(); ++j) {
        const std::string &in = jobs[j].first, &out = jobs[j].second;
        bool clash = !written.insert(out).second;
        for (const auto& other : jobs) clash = clash || sameFile(other.first, out);
        if (clash) {
            failure(in + ": its output " + out + " would write over " +
                    (sameFile(in, out) ? "the input itself" : "another input or output") +
                    "; choose another --out-dir");
            ++failed;
            continue;
        }
        if (renderOne(links, choices, in, out, formats[j], options) != kSuccess) ++failed;
    }
    if (failed > 0)
        return failure(std::to_string(failed) + " of " + std::to_string(jobs.size()) +
                       " inputs failed");
    return kSuccess;
}
