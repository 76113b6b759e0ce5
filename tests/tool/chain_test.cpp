// Chains with --then: each plug-in with its own options and its delay taken
// out, the same sound as rendering one after the other, a tail that lasts
// until the whole chain is quiet; plot and bench take chains too.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/tool/json_value.h"
#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

class ChainTest : public ::testing::Test {
protected:
    ToolResult run(std::vector<std::string> arguments) {
        last = runTool(arguments);
        EXPECT_EQ(last.status, 0) << last.err;
        return last;
    }

    ScratchDirectory dir;
    ToolResult last;
};

TEST_F(ChainTest, AChainSoundsAsRenderingOnePluginAfterTheOther) {
    const std::string in = dir.file("in.wav");
    ASSERT_TRUE(writeSound(in, noiseSound(44100, 2, 20000, 0.4f, 31)));
    // A delay announced in the first block, the delay line, and a mono
    // plug-in run once per channel; random blocks throughout.
    const std::vector<std::string> first = {LATENCY_PLUGIN_PATH, "--set", "Delay=@250", "--set",
                                            "Announce late=1"};
    const std::vector<std::string> second = {VARNOLET_MODULE_PATH, "--set", "Tap 1 time=@50",
                                             "--program", "0"};
    const std::vector<std::string> third = {MONO_PLUGIN_PATH, "--set", "Gain=@0.75"};
    const std::vector<std::string> render = {"--tail", "1", "--block", "random", "--seed", "3"};

    std::vector<std::string> chain = {"render", first[0], in, dir.file("chain.wav")};
    chain.insert(chain.end(), first.begin() + 1, first.end());
    chain.insert(chain.end(), render.begin(), render.end());
    for (const auto* link : {&second, &third}) {
        chain.push_back("--then");
        chain.insert(chain.end(), link->begin(), link->end());
    }
    run(chain);
    EXPECT_NE(last.err.find("through Latency Fixture, then Varnolet Delay, then Mono Fixture"),
              std::string::npos)
        << last.err;

    // One after the other: the first with the tail, the others over it.
    std::string from = in;
    int step = 0;
    for (const auto* link : {&first, &second, &third}) {
        const std::string to = dir.file("step" + std::to_string(++step) + ".wav");
        std::vector<std::string> one = {"render", (*link)[0], from, to};
        one.insert(one.end(), link->begin() + 1, link->end());
        one.insert(one.end(), {"--block", "random", "--seed", "3", "--tail", step == 1 ? "1" : "0"});
        run(one);
        from = to;
    }
    const Sound together = readSound(dir.file("chain.wav"));
    ASSERT_EQ(together.frames(), 20000u + 44100u);
    EXPECT_EQ(together.channels, readSound(from).channels);
    // Only the wet echoes sound: the first at tap 1's 50 ms, as set after --then.
    EXPECT_EQ(firstNonZero(together.channels[0]), 2205u);
}

TEST_F(ChainTest, EachPluginsDelayIsTakenOut) {
    const std::string in = dir.file("in.wav");
    const Sound clicks = clickSound(44100, 2, 4410, 0.5f);
    ASSERT_TRUE(writeSound(in, clicks));
    run({"render", LATENCY_PLUGIN_PATH, in, dir.file("out.wav"), "--tail", "0", "--set",
         "Delay=@250", "--then", LATENCY_PLUGIN_PATH, "--set", "Delay=@100", "--set",
         "Announce late=1"});
    EXPECT_EQ(readSound(dir.file("out.wav")).channels, clicks.channels);
}

TEST_F(ChainTest, TheTailLastsUntilTheWholeChainIsQuiet) {
    // The mono plug-in mutes the delay's echoes for three seconds and then
    // lets them through again: its own output is quiet for longer than an
    // automatic tail waits, while the delay before it still sounds.
    const std::string in = dir.file("in.wav");
    ASSERT_TRUE(writeSound(in, clickSound(44100, 2, 4410, 0.5f)));
    run({"render", VARNOLET_MODULE_PATH, in, dir.file("out.wav"), "--then", MONO_PLUGIN_PATH,
         "--automate", "Gain=0:0.5,0.05:0.5,0.06:0,3.5:0,3.51:0.5"});
    const Sound out = readSound(dir.file("out.wav"));
    ASSERT_GT(out.frames(), 4u * 44100u);
    float after = 0.0f;
    for (size_t i = static_cast<size_t>(3.6 * 44100); i < out.frames(); ++i)
        after = std::max(after, std::fabs(out.channels[0][i]));
    EXPECT_GT(after, 1e-3f) << "the echoes after the muted stretch";
}

TEST_F(ChainTest, PlotAndBenchTakeChains) {
    const std::string in = dir.file("in.wav");
    ASSERT_TRUE(writeSound(in, clickSound(44100, 2, 4410, 0.5f)));
    const std::string png = dir.file("chain.png");
    run({"plot", LATENCY_PLUGIN_PATH, png, "--set", "Delay=@300", "--then", MONO_PLUGIN_PATH,
         "--set", "Delay=@20"});
    // The impulse comes out where the mono plug-in's own delay puts it, the
    // first plug-in's taken out: a one-frame "echo" after 20 frames.
    EXPECT_NE(last.err.find("impulse response of Latency Fixture, then Mono Fixture, 21 frames"),
              std::string::npos)
        << last.err;

    run({"bench", SLOW_PLUGIN_PATH, "--set", "Slowness=0.5", "--block", "441", "--seconds",
         "0.02", "--rounds", "1", "--warm-up", "0", "--json", "--then", MONO_PLUGIN_PATH});
    JsonValue report;
    ASSERT_TRUE(parseJson(last.out, report)) << last.out;
    EXPECT_EQ(report["plugins"][0]["chain"][1]["name"].text, "Mono Fixture");
    const JsonValue& result = report["blocks"][0]["results"][0];
    const double slow = result["stages"][0]["noiseNanosecondsPerFrame"].number;
    const double mono = result["stages"][1]["noiseNanosecondsPerFrame"].number;
    // The slow plug-in waits three times the audio's length at Slowness 0.5.
    EXPECT_GT(slow, 3.0 * 1e9 / 44100.0);
    EXPECT_LT(mono, slow / 10.0);
    EXPECT_NEAR(result["noiseNanosecondsPerFrame"].number, slow + mono, 1e-6 * slow);

    const ToolResult both = runTool({"bench", SLOW_PLUGIN_PATH, MONO_PLUGIN_PATH, "--then",
                                     MONO_PLUGIN_PATH});
    EXPECT_EQ(both.status, 2);
    // Options of the whole render may follow a plug-in after --then.
    run({"render", VARNOLET_MODULE_PATH, in, dir.file("y.wav"), "--then", MONO_PLUGIN_PATH,
         "--tail", "0"});
    EXPECT_EQ(soundShape(dir.file("y.wav")).frames, 4410);
    EXPECT_EQ(runTool({"render", VARNOLET_MODULE_PATH, in, dir.file("y.wav"), "--then"}).status, 2);
}

}  // namespace
