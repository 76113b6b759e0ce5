// Every way render must refuse: a clear message, a non-zero exit, and no
// output file, not even a partial one.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

class RenderErrors : public ::testing::Test {
protected:
    void SetUp() override {
        input = dir.file("in.wav");
        output = dir.file("out.wav");
        ASSERT_TRUE(writeSound(input, clickSound(44100, 2, 4410, 0.2f)));
    }

    // Runs render and checks the refusal; the message must contain the words.
    void expectRefusal(const std::vector<std::string>& arguments, const std::string& words) {
        const ToolResult result = runTool(arguments);
        EXPECT_EQ(result.status, 1) << result.err;
        EXPECT_NE(result.err.find(words), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty()) << result.out;
        EXPECT_FALSE(fileExists(output));
        for (const std::string& name : dir.names())
            EXPECT_EQ(name.find("partial"), std::string::npos) << name;
    }

    ScratchDirectory dir;
    std::string input, output;
};

TEST_F(RenderErrors, MissingOrUnreadableInput) {
    expectRefusal({"render", VARNOLET_MODULE_PATH, dir.file("absent.wav"), output},
                  "cannot read audio from " + dir.file("absent.wav"));
    const std::string text = dir.file("text.wav");
    std::ofstream(text) << "this is no audio file\n";
    expectRefusal({"render", VARNOLET_MODULE_PATH, text, output}, "cannot read audio from");
}

TEST_F(RenderErrors, ModulesThatAreNoPlugins) {
    expectRefusal({"render", NO_ENTRY_MODULE_PATH, input, output},
                  "exports neither VSTPluginMain nor main");
    expectRefusal({"render", NULL_ENTRY_MODULE_PATH, input, output}, "entry returned no instance");
    expectRefusal({"render", BAD_MAGIC_MODULE_PATH, input, output}, "without the VST magic number");
    expectRefusal({"render", input, input, output}, "cannot load the plug-in");
    expectRefusal({"render", dir.file("absent.so"), input, output}, "cannot load the plug-in");
}

TEST_F(RenderErrors, UnknownParametersAndPrograms) {
    expectRefusal({"render", VARNOLET_MODULE_PATH, input, output, "--program", "8"},
                  "there is no program 8: the plug-in has 8");
    expectRefusal({"render", VARNOLET_MODULE_PATH, input, output, "--set", "Tap 9 time=0.5"},
                  "unknown parameter 'Tap 9 time'");
    expectRefusal({"render", VARNOLET_MODULE_PATH, input, output, "--set", "23=0.5"},
                  "there is no parameter 23");
}

TEST_F(RenderErrors, ValuesOutsideTheRange) {
    for (const char* value : {"1.5", "-0.1", "loud", "nan"})
        expectRefusal({"render", VARNOLET_MODULE_PATH, input, output, "--set",
                       std::string("Tap 1 time=") + value},
                      "is not a normalised value from 0 to 1");
    expectRefusal({"render", VARNOLET_MODULE_PATH, input, output, "--set", "Tap 1 time=@2500"},
                  "runs from 0 to 2000");
    expectRefusal({"render", VARNOLET_MODULE_PATH, input, output, "--set", "Filter Type=@Notch"},
                  "shows as 'Notch'");
}

TEST_F(RenderErrors, ChannelCountsThePluginCannotTake) {
    const std::string three = dir.file("three.wav");
    ASSERT_TRUE(writeSound(three, clickSound(44100, 3, 100, 0.2f)));
    expectRefusal({"render", VARNOLET_MODULE_PATH, three, output},
                  "the plug-in takes 2 input channels; the input has 3");
}

TEST_F(RenderErrors, ThirdPartyPluginsRefuseWhatTheyDoNotHave) {
    DEBIAN_PLUGIN_OR_SKIP(eq, "3BandEQ-vst.so");
    DEBIAN_PLUGIN_OR_SKIP(synth, "Kars-vst.so");
    expectRefusal({"render", eq, input, output, "--set", "Tap 1 time=0.5"}, "unknown parameter");
    expectRefusal({"render", eq, input, output, "--set", "Low=@40"}, "runs from -24 to 24");
    expectRefusal({"render", synth, input, output}, "the plug-in takes no audio input");
}

TEST_F(RenderErrors, MalformedCommandLines) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"render", VARNOLET_MODULE_PATH, input},
          {"render", VARNOLET_MODULE_PATH, input, output, "--block", "0"},
          {"render", VARNOLET_MODULE_PATH, input, output, "--block", "often"},
          {"render", VARNOLET_MODULE_PATH, input, output, "--tail", "-1"},
          {"render", VARNOLET_MODULE_PATH, input, output, "--wet"},
          {"render", VARNOLET_MODULE_PATH, input, output, "--set"},
          {"render", VARNOLET_MODULE_PATH, input, output, "--set", "Tap 1 time"},
          {"render", VARNOLET_MODULE_PATH, input, output, "--format", "wav:pcm12"},
          {"render", VARNOLET_MODULE_PATH, input, output, "--format", "au", "--same-format"},
          {"frobnicate", VARNOLET_MODULE_PATH}}) {
        const ToolResult result = runTool(arguments);
        EXPECT_EQ(result.status, 2) << arguments.back() << ": " << result.err;
        EXPECT_FALSE(result.err.empty());
        EXPECT_FALSE(fileExists(output));
    }
}

TEST(CommandLine, MistakesAreUsageErrorsThatSayWhatIsAllowed) {
    const ToolResult none = runTool({});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("usage: vst2host"), std::string::npos) << none.err;
    const ToolResult help = runTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: vst2host"), std::string::npos);

    ScratchDirectory dir;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"generate", dir.file("x.wav"), "--seconds", "0"},
          {"plot", VARNOLET_MODULE_PATH, dir.file("x.png"), "--seconds", "0"},
          {"bench", VARNOLET_MODULE_PATH, "--seconds", "0"}}) {
        const ToolResult result = runTool(arguments);
        EXPECT_EQ(result.status, 2) << arguments[0];
        EXPECT_EQ(result.err.find("from 0"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("above 0"), std::string::npos) << result.err;
    }
    EXPECT_TRUE(dir.names().empty());
}

}  // namespace
