#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <set>

#include <sndfile.h>
#include <sys/stat.h>

#include "host/library/offline_renderer.h"
#include "host/library/silence.h"
#include "host/tool/audio_files/audio_file.h"
#include "host/tool/audio_files/audio_format.h"
#include "host/tool/command_line/command_table.h"
#include "host/tool/command_line/common_options.h"
#include "host/tool/command_line/number_text.h"
#include "host/tool/files/standard_output.h"
#include "host/tool/midi/midi_file.h"
#include "host/tool/reports/progress_bar.h"
#include "host/tool/reports/render_warnings.h"
#include "host/tool/reports/wording.h"
#include "host/tool/sessions/plugin_chain.h"
#include "host/tool/sessions/transport_options.h"

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
    bool keepLatency = false;
    double midiRate = 0.0;  // --rate, for MIDI files; 0 when not given
    TransportOptions transport;
    int64_t automationStep = ParameterAutomation::kDefaultStep;
    std::string outDir;

    void declare(OptionSet& set) {
        set.heading("options of the whole render, anywhere:");
        set.value("--block", "N | random", "block size (default 512); random: 0 to 4096 each block",
                  [this](const std::string& text, std::string& error) {
                      randomBlocks = text == "random";
                      if (randomBlocks || (parseWholeNumber(text, block) && block >= 1 &&
                                           block <= kLargestBlock))
                          return true;
                      error = "--block needs a size from 1 to " + std::to_string(kLargestBlock) +
                              " or 'random', not '" + text + "'";
                      return false;
                  });
        set.whole("--seed", "N", "seed of the random block sizes (default 1)", seed,
                  {0, 4294967295.0, "a whole number", "", false});
        set.value("--tail", "SECONDS | auto",
                  "silence after the input (default auto: as long as the\n"
                  "plug-ins say they ring, where every one says (CLAP's tail);\n"
                  "else until the output and the whole chain have stayed\n"
                  "below -90 dBFS for 2.5 s, at most 60 s, the quiet end cut)",
                  [this](const std::string& text, std::string& error) {
                      const NumberRange range{0.0, 3600.0, "seconds", "", false};
                      double seconds = 0.0;
                      if (text == "auto") {
                          tail = TailLength();
                      } else if (withinRange(text, range, seconds)) {
                          tail = TailLength::fixed(seconds);
                      } else {
                          error = rangeMessage("--tail", range, text) + " or 'auto'";
                          return false;
                      }
                      return true;
                  });
        set.whole("--automation-block", "N", "frames between automation values (default 64)",
                  automationStep, {1, 65536, "frames", "", false});
        transport.declare(set);
        declareRate(set, midiRate, "sample rate of a MIDI file's render (default 44100)");
        set.text("--out-dir", "DIR",
                 "render every IN (PLUGIN IN... --out-dir DIR) into DIR\n"
                 "under its own name (a MIDI file's as .wav); goes on past\n"
                 "a failed one and exits 1 when any failed",
                 outDir);
        declareFormat(set, format,
                      "OUT's format whatever its name: wav, w64, rf64, aiff,\n"
                      "au, caf, flac, ogg, opus, mp3; ENC one of pcm16,\n"
                      "pcm24, pcm32, float, double, ulaw, alaw (wav:pcm16)");
        set.flag("--same-format", "write OUT in the format of IN", sameFormat);
        declareKeepLatency(set, keepLatency, "the output");
    }
};

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
// outputFormat is 0 where the input's own format is to be kept.
int renderOne(std::vector<ChainLink> links, const RenderOptions& choices, const std::string& inPath,
              const std::string& outPath, int outputFormat, const ToolOptions& options) {
    std::string error;
    const BlockSchedule schedule =
        choices.randomBlocks ? BlockSchedule::random(static_cast<uint32_t>(choices.seed))
                             : BlockSchedule::fixed(static_cast<int32_t>(choices.block));
    ChainUse use;
    use.largestBlock = schedule.largest();
    use.inputName = isStandardStream(inPath) ? "standard input" : inPath;
    use.refusal = "cannot render " + use.inputName;
    use.automationStep = choices.automationStep;
    use.compensateLatency = !choices.keepLatency;

    // The input: a MIDI file plays the first plug-in for its length, with
    // silence into any inputs it has; audio feeds it.
    std::unique_ptr<AudioSource> source;
    if (!isStandardStream(inPath) && looksLikeMidiFile(inPath)) {
        MidiSong song;
        if (!readMidiFile(inPath, song, error)) return failure(error);
        if (outputFormat == 0) return failure(inPath + " is a MIDI file: it has no audio format to keep");
        if (!links[0].midiPath.empty())
            return usageFailure("render", inPath + " is a MIDI file that plays " + links[0].path +
                                              " already: --midi adds events to an audio render");
        use.sampleRate = choices.midiRate > 0.0 ? choices.midiRate : kDefaultSampleRate;
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
        use.transport = choices.transport.transport();
        if (choices.midiRate > 0.0)
            warning("--rate sets only a MIDI file's rate: " + use.inputName + " plays at its own " +
                    hertzText(use.sampleRate));
        if (outputFormat == 0) {
            outputFormat = reader->format();
            const int named = typeOfExtension(outPath);
            if (named > 0 && named != (outputFormat & SF_FORMAT_TYPEMASK))
                warning(outPath + " is written as " + formatName(outputFormat) +
                        ", the input's format, which its name does not say");
        }
        source = std::move(reader);
    }
    // A rate the output's format cannot hold is said before anything runs.
    if (!formatTakesRate(outputFormat, use.sampleRate, error))
        return failure("cannot write " + outPath + ": " + error);

    const auto chain = PluginChain::open(links, use, options, error);
    if (!chain) return failure(error);
    const size_t outputs = chain->outputChannels();
    if (!canWriteAudioFormat(outputFormat, outputs, use.sampleRate))
        return failure("cannot write the " + counted(outputs, "output") + " of " +
                       chain->displayName() + " at " + hertzText(use.sampleRate) + " as " +
                       formatName(outputFormat));
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
    status(output.name() + ": " + counted(report.outputFrames, "frame") + " (" +
           std::to_string(report.inputFrames) + " of input, " +
           std::to_string(report.outputFrames - std::min(report.outputFrames, report.inputFrames)) +
           " of tail) at " + hertzText(use.sampleRate) + " through " + chain->displayName());
    return kSuccess;
}

int runRender(ArgumentList& arguments, const ToolOptions& options) {
    RenderOptions choices;
    OptionSet set;
    choices.declare(set);
    std::vector<ChainLink> links;
    std::vector<std::string> positional;
    std::string error;
    if (!takeChainLinks(arguments, links, error) || !set.take(arguments, error) ||
        !arguments.positionals(2, SIZE_MAX, positional, error))
        return usageFailure("render", error);
    if (choices.sameFormat && !choices.format.empty())
        return usageFailure("render", "--same-format and --format cannot both choose the format");
    const bool batch = !choices.outDir.empty();
    if (!batch && positional.size() != 3)
        return usageFailure("render", positional.size() < 3
                                          ? "too few arguments: PLUGIN IN OUT"
                                          : "too many arguments: " + positional[3] +
                                                " (several inputs need --out-dir DIR)");
    links[0].path = positional[0];
    std::vector<std::pair<std::string, std::string>> jobs;  // input, output
    if (batch) {
        for (size_t i = 1; i < positional.size(); ++i) {
            if (isStandardStream(positional[i]))
                return usageFailure("render", "a batch renders named files: - is for a single render");
            jobs.push_back({positional[i], outputFor(positional[i], choices)});
        }
    } else {
        jobs.push_back({positional[1], positional[2]});
    }
    std::vector<int> formats;
    for (const auto& job : jobs) {
        // Standard output has no name to tell a format: --format says it,
        // else the input's own.
        const bool keep = choices.sameFormat || (isStandardStream(job.second) && choices.format.empty());
        int format = 0;
        if (!keep && !chooseOutputFormat(job.second, choices.format, format, error))
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
}  // namespace

Command renderCommand() {
    return {"render", "PLUGIN IN OUT [options] [--then PLUGIN2 [options] ...]",
            "Renders an audio or MIDI file through a plug-in or a chain of them.\n"
            "IN is any file libsndfile reads, rendered at its own sample rate, or a\n"
            "Standard MIDI File (.mid, types 0 and 1) that plays the first plug-in for its\n"
            "length; - reads audio from standard input. Each --then adds a plug-in, fed the\n"
            "one before it, with options of its own. A mono stream feeds both inputs of a\n"
            "pair, fewer channels than inputs leave the rest silent (and it says so),\n"
            "several channels into a mono plug-in run one instance per channel. OUT's\n"
            "extension says its format (32-bit float for WAV, AIFF, AU, CAF, W64, RF64;\n"
            "24-bit FLAC; Ogg Vorbis; Opus; MP3), WAV without one; OUT - writes standard\n"
            "output in the --format given, else in IN's. The delay each plug-in reports is\n"
            "taken out: OUT starts where IN does. What was written, clipped samples and\n"
            "samples that are not numbers are said on standard error.\n",
            chainCommandOptions<RenderOptions>, runRender};
}
