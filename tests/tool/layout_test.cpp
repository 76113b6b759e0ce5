// Channel layouts: a file with fewer channels than the inputs (and saying
// so), a stereo file into a mono plug-in as one instance per channel, a
// sidechain into a plug-in's extra inputs, picked outputs, 64 channels.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

class LayoutTest : public ::testing::Test {
protected:
    ToolResult render(const std::string& plugin, const Sound& input,
                      const std::vector<std::string>& options) {
        EXPECT_TRUE(writeSound(in, input));
        std::vector<std::string> arguments = {"render", plugin, in, out, "--tail", "0"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runTool(arguments);
    }

    ScratchDirectory dir;
    const std::string in = dir.file("in.wav"), out = dir.file("out.wav");
    const Sound stereo = noiseSound(44100, 2, 5000, 0.25f, 21);
};

std::vector<float> scaled(const std::vector<float>& channel, float gain, size_t delay = 0) {
    std::vector<float> result(channel.size(), 0.0f);
    for (size_t i = delay; i < channel.size(); ++i) result[i] = gain * channel[i - delay];
    return result;
}

TEST_F(LayoutTest, FewerChannelsThanInputsLeaveTheRestSilentAndSaySo) {
    ToolResult result = render(MANY_CHANNEL_PLUGIN_PATH, stereo, {});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find(in + " has 2 channels for the 64 inputs of Many Channel Fixture: "
                                   "inputs 3 to 64 get silence"),
              std::string::npos)
        << result.err;
    Sound sound = readSound(out);
    ASSERT_EQ(sound.channels.size(), 64u);
    EXPECT_EQ(sound.channels[0], stereo.channels[0]);
    EXPECT_EQ(sound.channels[1], stereo.channels[1]);
    for (size_t c = 2; c < 64; ++c) EXPECT_EQ(firstNonZero(sound.channels[c]), 5000u) << c;

    // The outputs asked for, in the order asked.
    result = render(MANY_CHANNEL_PLUGIN_PATH, stereo, {"--outputs", "2,1,63-64"});
    ASSERT_EQ(result.status, 0) << result.err;
    sound = readSound(out);
    ASSERT_EQ(sound.channels.size(), 4u);
    EXPECT_EQ(sound.channels[0], stereo.channels[1]);
    EXPECT_EQ(sound.channels[1], stereo.channels[0]);
    EXPECT_EQ(firstNonZero(sound.channels[3]), 5000u);
    result = render(MANY_CHANNEL_PLUGIN_PATH, stereo, {"--outputs", "65"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("there is no output 65: Many Channel Fixture gives 64"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(render(MANY_CHANNEL_PLUGIN_PATH, stereo, {"--outputs", "0"}).status, 2);
}

TEST_F(LayoutTest, AStereoFileIntoAMonoPluginRunsOneInstancePerChannelSetAlike) {
    // A delay of one frame would carry the left channel's last frame into
    // the right one if one instance served both.
    const ToolResult result =
        render(MONO_PLUGIN_PATH, stereo, {"--set", "Delay=@1", "--set", "Gain=@0.5", "--block", "333"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(toolMessages(result), "");
    const Sound sound = readSound(out);
    ASSERT_EQ(sound.channels.size(), 2u);
    EXPECT_EQ(sound.channels[0], scaled(stereo.channels[0], 0.5f, 1));
    EXPECT_EQ(sound.channels[1], scaled(stereo.channels[1], 0.5f, 1));
}

TEST_F(LayoutTest, ASidechainFeedsTheLastHalfOfTheInputs) {
    const std::string side = dir.file("side.wav");
    // A mono sidechain feeds both sidechain inputs; one shorter than the
    // input is followed by silence.
    ASSERT_TRUE(writeSound(side, noiseSound(44100, 1, 3000, 0.5f, 22)));
    const Sound key = readSound(side);
    ToolResult result = render(SIDECHAIN_PLUGIN_PATH, stereo, {"--sidechain", side});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(toolMessages(result), "");
    Sound sound = readSound(out);
    ASSERT_EQ(sound.channels.size(), 4u);
    EXPECT_EQ(sound.channels[0], stereo.channels[0]);
    EXPECT_EQ(sound.channels[1], stereo.channels[1]);
    for (size_t c : {2, 3}) {
        ASSERT_EQ(sound.channels[c].size(), 5000u);
        EXPECT_TRUE(std::equal(key.channels[0].begin(), key.channels[0].end(), sound.channels[c].begin()));
        EXPECT_EQ(firstNonZero(sound.channels[c], 3000), 5000u);
    }

    // A mono main input into a stereo pair, a stereo sidechain one to one.
    ASSERT_TRUE(writeSound(side, stereo));
    result = render(SIDECHAIN_PLUGIN_PATH, noiseSound(44100, 1, 5000, 0.5f, 23), {"--sidechain", side});
    ASSERT_EQ(result.status, 0) << result.err;
    sound = readSound(out);
    EXPECT_EQ(sound.channels[0], sound.channels[1]);
    EXPECT_EQ(sound.channels[2], stereo.channels[0]);
    EXPECT_EQ(sound.channels[3], stereo.channels[1]);

    std::remove(out.c_str());
    ASSERT_TRUE(writeSound(side, noiseSound(44100, 3, 100, 0.5f, 24)));
    result = render(SIDECHAIN_PLUGIN_PATH, stereo, {"--sidechain", side});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("the plug-in's sidechain takes 2 input channels; the sidechain has 3"),
              std::string::npos)
        << result.err;
    ASSERT_TRUE(writeSound(side, noiseSound(48000, 1, 100, 0.5f, 24)));
    result = render(SIDECHAIN_PLUGIN_PATH, stereo, {"--sidechain", side});
    EXPECT_NE(result.err.find("runs at 48000 Hz, the render at 44100 Hz"), std::string::npos)
        << result.err;
    EXPECT_FALSE(fileExists(out));
}

}  // namespace
