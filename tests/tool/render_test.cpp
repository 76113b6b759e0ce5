// Rendering files through the plug-ins, checked against what the delay and
// the file formats must give, computed here independently.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <chrono>
#include <ctime>
#include <set>
#include <thread>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

// 0.2 through the line's cubic clipper with no drive: 0.2 - (4/27)·0.2³.
const float kShapedClick = 0.198815f;
// Below -90 dB full scale counts as silence for the automatic tail.
const float kQuiet = 3.1622776e-5f;

class RenderTest : public ::testing::Test {
protected:
    // Renders the sound through the plug-in and reads the result back.
    Sound render(const Sound& input, const std::vector<std::string>& options,
                 const std::string& plugin = VARNOLET_MODULE_PATH) {
        const std::string in = dir.file("in.wav"), out = dir.file("out.wav");
        EXPECT_TRUE(writeSound(in, input));
        std::vector<std::string> arguments = {"render", plugin, in, out};
        arguments.insert(arguments.end(), options.begin(), options.end());
        last = runTool(arguments);
        EXPECT_EQ(last.status, 0) << last.err;
        return readSound(out);
    }

    ScratchDirectory dir;
    ToolResult last;
};

TEST_F(RenderTest, ClickAtTheDefaultsGivesTheTapPattern) {
    const Sound out = render(clickSound(44100, 2, 44100, 0.2f), {"--tail", "1"});
    ASSERT_EQ(out.channels.size(), 2u);
    EXPECT_EQ(out.rate, 44100);
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(out.frames(), 44100u + 44100u);
    const auto& left = out.channels[0];
    const auto& right = out.channels[1];
    EXPECT_EQ(firstNonZero(left), 8820u);
    EXPECT_EQ(firstNonZero(right), 17640u);
    EXPECT_NEAR(left[8820], kShapedClick, 5e-7);
    EXPECT_EQ(right[8820], 0.0f);
    // Tap 2 at pan -1/3 splits two thirds left, one third right; tap 3 mirrors it.
    EXPECT_NEAR(left[17640], kShapedClick * 2 / 3, 5e-7);
    EXPECT_NEAR(right[17640], kShapedClick / 3, 5e-7);
    EXPECT_NEAR(left[26460], kShapedClick / 3, 5e-7);
    EXPECT_NEAR(right[26460], kShapedClick * 2 / 3, 5e-7);
    EXPECT_NEAR(right[35280], kShapedClick, 5e-7);
    EXPECT_EQ(left[35280], 0.0f);
    // Tap 4 feeds 40 % back: the line holds about 0.0795, and tap 1 plays it.
    EXPECT_NEAR(left[44100], 0.0794514f, 5e-7);
}

TEST_F(RenderTest, AutomaticTailEndsWhereTheEchoesFallBelowMinus90Decibels) {
    const Sound out = render(clickSound(44100, 2, 4410, 0.2f), {});
    ASSERT_EQ(out.channels.size(), 2u);
    ASSERT_GT(out.frames(), 44100u * 3);
    // The last frame kept is still audible, and nothing stayed audible for
    // 2.5 s of the quiet part that was cut; echoes come every 0.2 s at the
    // defaults, so the end lies on an echo of the 0.2 s grid.
    const size_t lastFrame = out.frames() - 1;
    EXPECT_GE(std::max(std::fabs(out.channels[0][lastFrame]), std::fabs(out.channels[1][lastFrame])), kQuiet);
    EXPECT_EQ(lastFrame % 8820, 0u);
    // Echoes of 0.2 decay by 0.4 per 0.8 s: ten rounds bring them near -90 dB.
    EXPECT_GT(lastFrame, 35280u * 8);
    EXPECT_LT(lastFrame, 35280u * 13);
}

TEST_F(RenderTest, AnAutomaticTailThatItsCapCutsWhileSoundingSaysSo) {
    // Tap 4 feeding all of itself back rings on for ever.
    const Sound out = render(clickSound(44100, 2, 4410, 0.2f), {"--set", "Tap 4 feedback=@100"});
    EXPECT_GT(out.frames(), 4410u + 59u * 44100u);
    EXPECT_LE(out.frames(), 4410u + 60u * 44100u);
    const std::string said = "stopped at its 60 s cap with the output still at ";
    const size_t at = last.err.find(said);
    ASSERT_NE(at, std::string::npos) << last.err;
    const double level = std::stod(last.err.substr(at + said.size()));
    // The level is that of the last half second to second of the tail.
    const auto peakOfLast = [&out](size_t frames) {
        float peak = 0.0f;
        for (const auto& channel : out.channels)
            for (size_t i = channel.size() - frames; i < channel.size(); ++i)
                peak = std::max(peak, std::fabs(channel[i]));
        return 20 * std::log10(peak);
    };
    EXPECT_GE(level, peakOfLast(22050) - 0.05);
    EXPECT_LE(level, peakOfLast(44100) + 0.05);
    EXPECT_GT(level, -30.0);

    render(clickSound(44100, 2, 4410, 0.2f), {});
    EXPECT_EQ(toolMessages(last), "") << "a tail that fell quiet is no news";
}

TEST_F(RenderTest, FixedTailAddsExactlyThatMuchSilence) {
    EXPECT_EQ(render(clickSound(44100, 2, 1000, 0.2f), {"--tail", "0.5"}).frames(), 1000u + 22050u);
    EXPECT_EQ(render(clickSound(44100, 2, 1000, 0.2f), {"--tail", "0"}).frames(), 1000u);
}

TEST_F(RenderTest, MonoFileFeedsBothInputs) {
    const Sound mono = render(clickSound(44100, 1, 44100, 0.2f), {"--tail", "0"});
    const Sound stereo = render(clickSound(44100, 2, 44100, 0.2f), {"--tail", "0"});
    ASSERT_EQ(mono.channels.size(), 2u);
    EXPECT_EQ(mono.channels, stereo.channels);
    EXPECT_NEAR(mono.channels[0][8820], kShapedClick, 5e-7);
}

TEST_F(RenderTest, RenderRunsAtTheFilesSampleRate) {
    const Sound out = render(clickSound(48000, 2, 48000, 0.2f), {"--tail", "0"});
    EXPECT_EQ(out.rate, 48000);
    EXPECT_EQ(firstNonZero(out.channels[0]), 9600u);  // 200 ms at 48 kHz
    EXPECT_NEAR(out.channels[0][9600], kShapedClick, 5e-7);
}

TEST_F(RenderTest, RandomAndFixedBlocksGiveTheSameSound) {
    const Sound input = noiseSound(44100, 2, 30000, 0.5f, 7);
    const Sound fixed = render(input, {"--tail", "1", "--block", "333"});
    const Sound random = render(input, {"--tail", "1", "--block", "random", "--seed", "99", "--log"});
    EXPECT_EQ(fixed.channels, random.channels);
    std::set<long> sizes;
    for (const std::string& line : linesStartingWith(last.err, "-> processReplacing frames="))
        sizes.insert(std::stol(line.substr(line.find('=') + 1)));
    ASSERT_GT(sizes.size(), 10u);
    EXPECT_GE(*sizes.begin(), 0);
    EXPECT_LE(*sizes.rbegin(), 4096);
    EXPECT_EQ(linesStartingWith(last.err, "-> effSetBlockSize index=0 value=4096 ").size(), 1u);
}

TEST_F(RenderTest, DisplayedTimesLandOnTheTimeItself) {
    // 300 ms is 13230 frames, not one less; 2000 ms is the whole line. The
    // taps that would sound on the left before tap 1 are muted.
    for (const auto& [time, frame] : {std::pair<std::string, size_t>{"@300", 13230}, {"@2000", 88200}}) {
        const Sound out = render(clickSound(44100, 2, 1000, 0.2f),
                                 {"--tail", "2.1", "--set", "Tap 1 time=" + time, "--set",
                                  "Tap 2 level=0", "--set", "Tap 3 level=0"});
        EXPECT_EQ(firstNonZero(out.channels[0]), frame) << time;
    }
}

TEST_F(RenderTest, SameFormatKeepsTheInputsEncoding) {
    Sound input = clickSound(44100, 2, 20000, 0.5f);
    for (int format : {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_AIFF | SF_FORMAT_PCM_24,
                       SF_FORMAT_FLAC | SF_FORMAT_PCM_16}) {
        input.format = format;
        const Sound same = render(input, {"--tail", "0", "--same-format"});
        EXPECT_EQ(same.format, format);
        const Sound plain = render(input, {"--tail", "0"});
        EXPECT_EQ(plain.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        // The click read from 16 or 24 bits comes out shaped near 0.4815.
        EXPECT_NEAR(plain.channels[0][8820], 0.5f - 4.0f / 27.0f * 0.125f, 1e-3);
        EXPECT_NEAR(same.channels[0][8820], plain.channels[0][8820], 1e-4);
    }
}

TEST_F(RenderTest, TheSameRenderGivesTheSameBytes) {
    // libsndfile stamps WAV and AIFF with the time of writing and numbers
    // Ogg streams at random: renders in different seconds tell them apart.
    const int formats[] = {SF_FORMAT_WAV | SF_FORMAT_FLOAT, SF_FORMAT_AIFF | SF_FORMAT_FLOAT,
                           SF_FORMAT_OGG | SF_FORMAT_VORBIS};
    std::vector<std::string> first;
    for (int format : formats) {
        Sound input = noiseSound(44100, 2, 20000, 0.3f, 4);
        input.format = format;
        render(input, {"--tail", "0.2", "--same-format"});
        first.push_back(readText(dir.file("out.wav")));
    }
    const std::time_t then = std::time(nullptr);
    while (std::time(nullptr) == then) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (size_t i = 0; i < std::size(formats); ++i) {
        Sound input = noiseSound(44100, 2, 20000, 0.3f, 4);
        input.format = formats[i];
        render(input, {"--tail", "0.2", "--same-format"});
        EXPECT_EQ(readText(dir.file("out.wav")), first[i]) << "format " << std::hex << formats[i];
    }
}

TEST_F(RenderTest, TheOutputsExtensionOrFormatOptionChoosesItsFormat) {
    const std::string in = dir.file("in.wav");
    ASSERT_TRUE(writeSound(in, clickSound(44100, 2, 4410, 0.2f)));
    const struct {
        const char* name;
        std::vector<std::string> options;
        int format;
    } cases[] = {
        {"x.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {"x.AIFF", {}, SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
        {"x.oga", {}, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
        {"x", {}, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
        {"x.out", {"--format", "wav:pcm16"}, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        {"x.flac", {"--format", "au"}, SF_FORMAT_AU | SF_FORMAT_FLOAT},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"render", VARNOLET_MODULE_PATH, in, dir.file(c.name),
                                              "--tail", "0"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const ToolResult result = runTool(arguments);
        ASSERT_EQ(result.status, 0) << c.name << ": " << result.err;
        EXPECT_EQ(soundShape(dir.file(c.name)).format, c.format) << c.name;
        EXPECT_EQ(soundShape(dir.file(c.name)).frames, 4410) << c.name;
    }
    const ToolResult unknown = runTool({"render", VARNOLET_MODULE_PATH, in, dir.file("x.wvx")});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("no audio file format is known by the extension .wvx"), std::string::npos)
        << unknown.err;
    EXPECT_FALSE(fileExists(dir.file("x.wvx")));
}

TEST_F(RenderTest, ClippingAndSamplesThatAreNoNumbersAreCounted) {
    // 0.9 held, and its echo on top of it from 200 ms on: dry and wet at full.
    Sound held = clickSound(44100, 2, 44100, 0.9f);
    for (auto& channel : held.channels) std::fill(channel.begin(), channel.end(), 0.9f);
    held.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const std::vector<std::string> mix = {"--tail", "0", "--set", "Wet/Dry mix=0.5"};
    Sound exact = held;
    exact.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    const Sound floats = render(exact, mix);
    EXPECT_EQ(toolMessages(last), "");
    size_t beyond = 0;
    for (const auto& channel : floats.channels)
        for (float sample : channel) beyond += std::fabs(sample) > 1.0f;
    ASSERT_GT(beyond, 0u);
    std::vector<std::string> same = mix;
    same.push_back("--same-format");
    render(held, same);
    EXPECT_NE(last.err.find(std::to_string(beyond) + " samples beyond full scale were clipped"),
              std::string::npos)
        << beyond << ": " << last.err;

    // One sample in a hundred that is not a number, on each output.
    render(clickSound(44100, 2, 4410, 0.2f), {"--tail", "0"}, ROUGH_PLUGIN_PATH);
    EXPECT_NE(last.err.find("the plug-in wrote 90 samples that are not numbers"), std::string::npos)
        << last.err;
}

TEST_F(RenderTest, ReadsOggVorbis) {
    Sound input = noiseSound(44100, 2, 44100, 0.3f, 3);
    input.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    const Sound out = render(input, {"--tail", "0"});
    EXPECT_EQ(out.frames(), 44100u);
    EXPECT_EQ(firstNonZero(out.channels[0]), 8820u);
}

TEST_F(RenderTest, ThirdPartyEqualiserAtItsDefaultsPassesTheSoundThrough) {
    DEBIAN_PLUGIN_OR_SKIP(eq, "3BandEQ-vst.so");
    const Sound input = noiseSound(44100, 2, 44100, 0.5f, 11);
    const Sound out = render(input, {"--tail", "0"}, eq);
    ASSERT_EQ(out.channels.size(), 2u);
    ASSERT_EQ(out.frames(), input.frames());
    for (size_t c = 0; c < 2; ++c)
        for (size_t i = 0; i < input.frames(); i += 97)
            ASSERT_NEAR(out.channels[c][i], input.channels[c][i], 1e-5) << c << " " << i;
}

TEST_F(RenderTest, ThirdPartyMasterGainByItsDisplay) {
    DEBIAN_PLUGIN_OR_SKIP(eq, "3BandEQ-vst.so");
    const Sound input = noiseSound(44100, 2, 44100, 0.5f, 12);
    const Sound out = render(input, {"--tail", "0", "--set", "Master=@-6"},
                             eq);
    // Past any smoothing at the start the equaliser is one gain of about
    // -6 dB (its own dB law decides the last digits).
    double inOut = 0.0, inIn = 0.0;
    for (size_t i = 22050; i < input.frames(); ++i) {
        inOut += double{input.channels[0][i]} * out.channels[0][i];
        inIn += double{input.channels[0][i]} * input.channels[0][i];
    }
    const double gain = inOut / inIn;
    EXPECT_NEAR(20 * std::log10(gain), -6.0, 0.1);
    for (size_t i = 22050; i < input.frames(); i += 101)
        ASSERT_NEAR(out.channels[0][i], input.channels[0][i] * gain, 1e-5) << i;
}

TEST_F(RenderTest, ThirdPartyMonoPlugin) {
    DEBIAN_PLUGIN_OR_SKIP(reverb, "MaFreeverb-vst.so");
    const Sound out = render(noiseSound(44100, 1, 22050, 0.5f, 5), {"--tail", "0.1"},
                             reverb);
    ASSERT_EQ(out.channels.size(), 1u);
    EXPECT_EQ(out.frames(), 22050u + 4410u);
    float peak = 0.0f;
    for (float sample : out.channels[0]) peak = std::max(peak, std::fabs(sample));
    EXPECT_GT(peak, 0.01f);
}

TEST_F(RenderTest, ThirdPartySplitterWritesEveryOutput) {
    DEBIAN_PLUGIN_OR_SKIP(splitter, "3BandSplitter-vst.so");
    const Sound input = noiseSound(44100, 2, 4410, 0.5f, 8);
    const Sound out = render(input, {"--tail", "0"}, splitter);
    ASSERT_EQ(out.channels.size(), 6u);
    // Its three bands of each side add up to that side again.
    for (size_t i = 2205; i < input.frames(); i += 53) {
        const float left = out.channels[0][i] + out.channels[2][i] + out.channels[4][i];
        ASSERT_NEAR(left, input.channels[0][i], 1e-3) << i;
    }
}

}  // namespace
