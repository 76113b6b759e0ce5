#include "host/library/channel_blocks.h"
#include "host/tool/audio_files/audio_file.h"
#include "host/tool/audio_files/audio_format.h"
#include "host/tool/audio_files/test_signals.h"
#include "host/tool/command_line/command_table.h"
#include "host/tool/command_line/common_options.h"
#include "host/tool/command_line/number_text.h"
#include "host/tool/reports/wording.h"

namespace {
struct GenerateOptions {
    std::string signal = "demo";
    double rate = kDefaultSampleRate;
    double seconds = 4.0;
    int64_t channels = 2;
    double amplitude = 0.5;
    bool shaped = false;  // --channels or --amplitude given
    std::string format;

    void declare(OptionSet& set) {
        set.heading("options:");
        set.value("--signal", "demo|click|noise", "clicks and a chord (default), one click, or noise",
                  [this](const std::string& text, std::string& error) {
                      if (text != "demo" && text != "click" && text != "noise") {
                          error = "--signal is demo, click or noise, not '" + text + "'";
                          return false;
                      }
                      signal = text;
                      return true;
                  });
        declareRate(set, rate);
        declareSeconds(set, "length (default 4)", 3600.0, seconds);
        set.value("--channels", "N", "click and noise only (default 2)",
                  [this](const std::string& text, std::string& error) {
                      const NumberRange range{1, 64, "a count", "", false};
                      double count = 0.0;
                      if (!parseWholeNumber(text, channels) || !withinRange(text, range, count)) {
                          error = rangeMessage("--channels", range, text);
                          return false;
                      }
                      shaped = true;
                      return true;
                  });
        set.value("--amplitude", "A", "click and noise only (default 0.5)",
                  [this](const std::string& text, std::string& error) {
                      const NumberRange range{0.0, 1.0, "a height", "", false};
                      if (!withinRange(text, range, amplitude)) {
                          error = rangeMessage("--amplitude", range, text);
                          return false;
                      }
                      shaped = true;
                      return true;
                  });
        declareFormat(set, format, "the format whatever OUT's name (as for render)");
    }
};

int runGenerate(ArgumentList& arguments, const ToolOptions&) {
    GenerateOptions choices;
    OptionSet set;
    choices.declare(set);
    std::vector<std::string> positional;
    std::string error;
    if (!set.take(arguments, error) || !arguments.positionals(1, 1, positional, error))
        return usageFailure("generate", error);
    // The demo is a stereo piece with levels of its own: asked for one
    // channel, it must not quietly give two.
    if (choices.signal == "demo" && choices.shaped)
        return usageFailure("generate",
                            "--channels and --amplitude shape the click and the noise; "
                            "the demo is always stereo at its own levels");
    int format = 0;
    if (!chooseOutputFormat(positional[0], choices.format, format, error))
        return usageFailure("generate", error);
    if (!formatTakesRate(format, choices.rate, error))
        return usageFailure("generate", "cannot write " + positional[0] + ": " + error);

    const size_t count = static_cast<size_t>(choices.channels);
    const size_t frames = static_cast<size_t>(choices.seconds * choices.rate);
    const float height = static_cast<float>(choices.amplitude);
    TestSignal source = choices.signal == "demo"  ? TestSignal::clicksAndChord(choices.rate, frames)
                        : choices.signal == "click" ? TestSignal::click(choices.rate, count, frames, height)
                                                    : TestSignal::noise(choices.rate, count, frames, height, 1);
    AudioFileWriter writer;
    if (!writer.open(positional[0], format, source.channelCount(), choices.rate, error))
        return failure(error);
    constexpr size_t kBlock = 4096;
    ChannelBlocks block(source.channelCount(), kBlock);
    size_t written = 0;
    while (const size_t got = source.read(block.data(), kBlock)) {
        if (!writer.write(block.from(0), got, error)) return failure(error);
        written += got;
    }
    if (!writer.finish(error)) return failure(error);
    status((positional[0] == "-" ? std::string("standard output") : positional[0]) + ": " +
           choices.signal + ", " + counted(source.channelCount(), "channel") + ", " +
           counted(written, "frame") + " at " + hertzText(choices.rate));
    return kSuccess;
}
}  // namespace

Command generateCommand() {
    return {"generate", "OUT [options]",
            "Writes a test signal (demo, click, noise).\n"
            "Writes a test signal in the format OUT's extension says (as for render); - writes\n"
            "it to standard output, as --format says (default WAV, which a pipe cannot take).\n",
            declaredOptions<GenerateOptions>, runGenerate};
}
