#include <cstdio>

#include "host/library/channel_blocks.h"
#include "host/tool/audio_files/audio_file.h"
#include "host/tool/audio_files/audio_format.h"
#include "host/tool/audio_files/test_signals.h"
#include "host/tool/command_line/argument_list.h"
#include "host/tool/command_line/tool_options.h"
#include "host/tool/command_line/number_text.h"

int runGenerate(ArgumentList& arguments, const ToolOptions&) {
    std::vector<std::string> positional;
    std::string error, text, signal = "demo";
    double rate = 44100.0, seconds = 4.0, amplitude = 0.5;
    int64_t channels = 2;
    arguments.value("--signal", signal);
    if (signal != "demo" && signal != "click" && signal != "noise")
        return usageFailure("generate", "--signal is demo, click or noise");
    if (arguments.value("--rate", text) && (!parseDecimal(text, rate) || rate < 1000.0 ||
                                            rate > 768000.0))
        return usageFailure("generate", "--rate needs a sample rate from 1000 to 768000 Hz");
    if (arguments.value("--seconds", text) && (!parseDecimal(text, seconds) || seconds <= 0.0 ||
                                               seconds > 3600.0))
        return usageFailure("generate", "--seconds needs a length above 0, up to 3600");
    const bool channelsGiven = arguments.value("--channels", text);
    if (channelsGiven && (!parseWholeNumber(text, channels) || channels < 1 || channels > 64))
        return usageFailure("generate", "--channels needs a count from 1 to 64");
    const bool amplitudeGiven = arguments.value("--amplitude", text);
    if (amplitudeGiven && (!parseDecimal(text, amplitude) || amplitude < 0.0 || amplitude > 1.0))
        return usageFailure("generate", "--amplitude needs a height from 0 to 1");
    // The demo is a stereo piece with levels of its own: asked for one
    // channel, it must not quietly give two.
    if (signal == "demo" && (channelsGiven || amplitudeGiven))
        return usageFailure("generate",
                            "--channels and --amplitude shape the click and the noise; "
                            "the demo is always stereo at its own levels");
    std::string formatOption;
    arguments.value("--format", formatOption);
    if (!arguments.positionals(1, 1, positional, error)) return usageFailure("generate", error);
    int format = 0;
    if (!chooseOutputFormat(positional[0], formatOption, format, error))
        return usageFailure("generate", error);

    const size_t count = static_cast<size_t>(channels);
    const size_t frames = static_cast<size_t>(seconds * rate);
    const float height = static_cast<float>(amplitude);
    TestSignal source = signal == "demo"    ? TestSignal::clicksAndChord(rate, frames)
                        : signal == "click" ? TestSignal::click(rate, count, frames, height)
                                            : TestSignal::noise(rate, count, frames, height, 1);
    AudioFileWriter writer;
    if (!writer.open(positional[0], format, source.channelCount(), rate, error))
        return failure(error);
    constexpr size_t kBlock = 4096;
    ChannelBlocks block(source.channelCount(), kBlock);
    size_t written = 0;
    while (const size_t got = source.read(block.data(), kBlock)) {
        if (!writer.write(block.from(0), got, error)) return failure(error);
        written += got;
    }
    if (!writer.finish(error)) return failure(error);
    std::printf("%s: %s, %zu channels, %zu frames at %g Hz\n", positional[0].c_str(),
                signal.c_str(), source.channelCount(), written, rate);
    return kSuccess;
}
