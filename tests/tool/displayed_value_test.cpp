// A value given as the display shows it (--set NAME=@VALUE, and in
// --automate) sounds exactly as the value that shows it: a word lands on
// the default where the default shows it, else on the roundest value that
// does; a number is found between the words a display shows.
#include <gtest/gtest.h>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

class DisplayedValues : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeSound(input, clickSound(44100, 2, 22050, 0.5f))); }

    // The render's samples with these options.
    std::vector<std::vector<float>> render(const std::vector<std::string>& options) {
        std::vector<std::string> arguments = {"render", VARNOLET_MODULE_PATH, input, output, "--tail", "0"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const ToolResult result = runTool(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        return readSound(output).channels;
    }

    ScratchDirectory dir;
    const std::string input = dir.file("in.wav"), output = dir.file("out.wav");
};

TEST_F(DisplayedValues, FilterTypesWordsAndNumbersSoundAsTheirExactValues) {
    // Filter Type runs from 0 to 4 and shows "Thru" at 0 (its default) and
    // at 4, "Low", "Band", "High" at 1, 2, 3, and numbers between.
    const auto byDefault = render({});
    EXPECT_EQ(render({"--set", "Filter Type=@Thru"}), byDefault) << "not a little low-pass";
    EXPECT_EQ(render({"--automate", "Filter Type=0:@Thru,0.3:@Thru"}), byDefault);
    const auto low = render({"--set", "Filter Type=0.25"});
    EXPECT_NE(low, byDefault);
    EXPECT_EQ(render({"--set", "Filter Type=@Low"}), low);
    EXPECT_EQ(render({"--set", "Filter Type=@2.5"}), render({"--set", "Filter Type=0.625"}));
    EXPECT_EQ(render({"--set", "Filter Type=@0.7"}), render({"--set", "Filter Type=0.175"}));
    // Beyond the numbers it shows, it says which it shows.
    const ToolResult beyond =
        runTool({"render", VARNOLET_MODULE_PATH, input, output, "--set", "Filter Type=@4.5"});
    EXPECT_EQ(beyond.status, 1);
    EXPECT_NE(beyond.err.find("runs from 0.005 to 3.995"), std::string::npos) << beyond.err;
}

}  // namespace
