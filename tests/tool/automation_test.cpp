// --automate: straight lines between points, normalised or displayed
// values, applied on a grid of --automation-block frames whatever the
// blocks, and refusals of malformed points.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

class AutomationTest : public ::testing::Test {
protected:
    void SetUp() override {
        Sound held = clickSound(44100, 1, 66150, 0.5f);
        std::fill(held.channels[0].begin(), held.channels[0].end(), 0.5f);
        ASSERT_TRUE(writeSound(in, held));
    }

    // The mono plug-in's output: 0.5 times its gain, which is twice the
    // normalised value.
    std::vector<float> render(const std::vector<std::string>& options) {
        std::vector<std::string> arguments = {"render", MONO_PLUGIN_PATH, in, out, "--tail", "0"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        last = runTool(arguments);
        EXPECT_EQ(last.status, 0) << last.err;
        return readSound(out).channels.at(0);
    }

    ScratchDirectory dir;
    const std::string in = dir.file("in.wav"), out = dir.file("out.wav");
    ToolResult last;
};

// What the plug-in makes of a value reached by a straight line from one
// point to another, applied at the frame.
float output(double from, double to, size_t fromFrame, size_t toFrame, size_t frame) {
    const double share = static_cast<double>(frame - fromFrame) / static_cast<double>(toFrame - fromFrame);
    return 2.0f * static_cast<float>(from + (to - from) * share) * 0.5f;
}

TEST_F(AutomationTest, ARampMovesOnTheGridOfItsStepWhateverTheBlocks) {
    const std::vector<float> fixed = render({"--automate", "Gain=0:0,1:1", "--block", "1000"});
    ASSERT_EQ(fixed.size(), 66150u);
    for (size_t frame : {size_t{0}, size_t{63}, size_t{64}, size_t{1000}, size_t{30001}, size_t{44099}})
        EXPECT_EQ(fixed[frame], output(0.0, 1.0, 0, 44100, frame / 64 * 64)) << frame;
    EXPECT_EQ(fixed[44159], output(0.0, 1.0, 0, 44100, 44096)) << "1 is reached on the grid";
    EXPECT_EQ(fixed[44160], 1.0f);
    EXPECT_EQ(fixed[66149], 1.0f) << "the last point's value holds";
    EXPECT_EQ(render({"--automate", "Gain=0:0,1:1", "--block", "random"}), fixed);

    const std::vector<float> everyFrame =
        render({"--automate", "Gain=0:0,1:1", "--automation-block", "1"});
    for (size_t frame : {size_t{1}, size_t{63}, size_t{30001}})
        EXPECT_EQ(everyFrame[frame], output(0.0, 1.0, 0, 44100, frame)) << frame;
}

TEST_F(AutomationTest, DisplayedValuesAndTheValueBeforeTheFirstPoint) {
    // From gain 2 at 0.5 s down to gain 0 at 1 s, as the display shows them.
    const std::vector<float> sweep = render({"--automate", "Gain=0.5:@2,1:@0.000"});
    EXPECT_EQ(sweep[0], 1.0f);
    EXPECT_EQ(sweep[22049], 1.0f);
    EXPECT_EQ(sweep[33075 / 64 * 64 + 10], output(1.0, 0.0, 22050, 44100, 33075 / 64 * 64));
    EXPECT_EQ(sweep[50000], 0.0f);

    std::remove(out.c_str());
    for (const char* bad : {"Gain=1:0.5,0.5:0", "Gain=0:2", "Gain=soon:0.5", "Gain"}) {
        const ToolResult result = runTool({"render", MONO_PLUGIN_PATH, in, out, "--automate", bad});
        EXPECT_NE(result.status, 0) << bad;
        EXPECT_NE(result.err.find("--automate"), std::string::npos) << bad << ": " << result.err;
    }
    EXPECT_FALSE(fileExists(out));
}

}  // namespace
