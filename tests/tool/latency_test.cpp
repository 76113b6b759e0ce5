// A plug-in's own delay is taken out: the output starts where the input
// does and is as long as asked, whether the plug-in reports its delay when
// switched on, announces it in its first block, or sets it there without a
// word; info shows it, and plot sees no echo in it.
#include <gtest/gtest.h>

#include "tests/tool/json_value.h"
#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

class LatencyTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Clicks on the first and on the last frame of the input.
        Sound clicks = clickSound(44100, 2, 4410, 0.5f);
        for (auto& channel : clicks.channels) channel.back() = 0.25f;
        ASSERT_TRUE(writeSound(input, clicks));
    }

    // leaky: the plug-in leaks when unloaded, which LeakSanitizer would
    // report; the other sanitizers still watch.
    Sound render(const std::string& plugin, const std::vector<std::string>& options,
                 bool leaky = false) {
        std::vector<std::string> arguments = {"render", plugin, input, output, "--tail", "0"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        std::vector<std::string> command = toolCommand(arguments);
        if (leaky) command.insert(command.begin(), {"env", "ASAN_OPTIONS=detect_leaks=0"});
        const ToolResult result = runProgram(command);
        EXPECT_EQ(result.status, 0) << result.err;
        return readSound(output);
    }

    ScratchDirectory dir;
    const std::string input = dir.file("in.wav"), output = dir.file("out.wav");
};

TEST_F(LatencyTest, TheFixturesDelayIsTakenOutHoweverItIsAnnounced) {
    for (const char* late : {"Announce late=0", "Announce late=1", "Announce late=@silently"}) {
        for (const char* block : {"512", "random", "64"}) {
            const Sound out = render(LATENCY_PLUGIN_PATH, {"--set", late, "--block", block});
            ASSERT_EQ(out.frames(), 4410u) << late << ", block " << block;
            for (const auto& channel : out.channels) {
                EXPECT_EQ(channel[0], 0.5f) << late << ", block " << block;
                EXPECT_EQ(firstNonZero(channel, 1), 4409u);
                EXPECT_EQ(channel[4409], 0.25f) << "the end is not cut off";
            }
        }
    }
    // Without compensation the delay stays, and the end falls off.
    const Sound late = render(LATENCY_PLUGIN_PATH, {"--no-latency-compensation", "--set", "Delay=@250"});
    ASSERT_EQ(late.frames(), 4410u);
    EXPECT_EQ(firstNonZero(late.channels[0]), 250u);
    EXPECT_EQ(firstNonZero(late.channels[0], 251), 4410u);
}

TEST_F(LatencyTest, PlotTakesOutADelaySetSilentlyInTheFirstBlock) {
    const ToolResult result = runTool({"plot", LATENCY_PLUGIN_PATH, dir.file("ir.png"), "--seconds",
                                       "0.1", "--set", "Announce late=@silently"});
    ASSERT_EQ(result.status, 0) << result.err;
    // The impulse comes back at once: a response of its own, no echo.
    EXPECT_NE(result.err.find("magnitude response of the whole response"), std::string::npos)
        << result.err;
}

TEST_F(LatencyTest, InfoShowsTheDelayOnceSwitchedOn) {
    const ToolResult result = runTool({"info", "--json", LATENCY_PLUGIN_PATH, "--set", "Delay=@250"});
    ASSERT_EQ(result.status, 0) << result.err;
    JsonValue info;
    ASSERT_TRUE(parseJson(result.out, info)) << result.out;
    EXPECT_EQ(info["initialDelay"].number, 250);
}

TEST_F(LatencyTest, LspLimiterComesOutInTime) {
    const std::string limiter = installedPlugin("lsp-plugins/limiter-stereo.so");
    if (limiter.empty()) GTEST_SKIP() << "Debian's lsp-plugins-vst is not installed";
    const Sound out = render(limiter, {}, true);
    ASSERT_EQ(out.frames(), 4410u);
    // Its lookahead lets the clicks through unchanged, below its threshold.
    for (const auto& channel : out.channels) {
        EXPECT_NEAR(channel[0], 0.5f, 1e-3);
        EXPECT_NEAR(channel[4409], 0.25f, 1e-3);
    }
}

}  // namespace
