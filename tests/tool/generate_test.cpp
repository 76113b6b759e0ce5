// generate: the demo input and the simple test signals, as files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

TEST(Generate, DemoHasClicksThenAChord) {
    ScratchDirectory dir;
    const std::string path = dir.file("demo.wav");
    ASSERT_EQ(runTool({"generate", path}).status, 0);
    const Sound demo = readSound(path);
    ASSERT_EQ(demo.channels.size(), 2u);
    EXPECT_EQ(demo.rate, 44100);
    EXPECT_EQ(demo.frames(), 4u * 44100u);
    const auto& left = demo.channels[0];
    const auto& right = demo.channels[1];
    // Clicks: both sides at 0 s, left alone at 0.5 s, right alone at 1 s.
    EXPECT_EQ(left[0], 0.5f);
    EXPECT_EQ(right[0], 0.5f);
    EXPECT_EQ(left[22050], 0.5f);
    EXPECT_EQ(right[22050], 0.0f);
    EXPECT_EQ(left[44100], 0.0f);
    EXPECT_EQ(right[44100], 0.5f);
    EXPECT_EQ(firstNonZero(left, 1), 22050u);
    // The chord's sines start at phase 0 at 1.5 s, so its first sound is a frame later.
    EXPECT_EQ(firstNonZero(left, 22051), 66151u);
    float chordPeak = 0.0f;
    for (size_t i = 66150; i < 132300; ++i) chordPeak = std::max(chordPeak, std::fabs(left[i]));
    EXPECT_GT(chordPeak, 0.2f);
    EXPECT_LT(chordPeak, 0.46f);
    EXPECT_EQ(firstNonZero(left, 132300), left.size());  // silence for the echoes
}

TEST(Generate, ClickAndNoiseShapes) {
    ScratchDirectory dir;
    ASSERT_EQ(runTool({"generate", dir.file("c.wav"), "--signal", "click", "--channels", "1",
                       "--rate", "48000", "--seconds", "0.5", "--amplitude", "0.25"})
                  .status,
              0);
    const Sound click = readSound(dir.file("c.wav"));
    ASSERT_EQ(click.channels.size(), 1u);
    EXPECT_EQ(click.rate, 48000);
    EXPECT_EQ(click.frames(), 24000u);
    EXPECT_EQ(click.channels[0][0], 0.25f);
    EXPECT_EQ(firstNonZero(click.channels[0], 1), 24000u);

    ASSERT_EQ(runTool({"generate", dir.file("n.wav"), "--signal", "noise", "--seconds", "1"}).status, 0);
    const Sound noise = readSound(dir.file("n.wav"));
    double power = 0.0;
    for (float sample : noise.channels[1]) {
        ASSERT_LE(std::fabs(sample), 0.5f);
        power += double{sample} * sample;
    }
    // Uniform noise of height 0.5 has a mean square of 0.25 / 3.
    EXPECT_NEAR(power / noise.frames(), 0.25 / 3.0, 0.004);
    EXPECT_EQ(runTool({"generate", dir.file("x.wav"), "--signal", "tune"}).status, 2);
    // The demo is stereo at its own levels: a mono or quieter one is refused,
    // not quietly made stereo.
    for (const char* option : {"--channels", "--amplitude"}) {
        const ToolResult demo = runTool({"generate", dir.file("d.wav"), option, "1"});
        EXPECT_EQ(demo.status, 2) << option;
        EXPECT_NE(demo.err.find("the demo is always stereo"), std::string::npos) << demo.err;
        EXPECT_FALSE(fileExists(dir.file("d.wav")));
    }
}

}  // namespace
