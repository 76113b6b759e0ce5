// vst2host playing VST3 bundles: the project's bundle renders the VST 2.4
// module's bits through the tool, with settings, displayed values and
// automation, alone and in chains that mix formats; Debian's zam-plugins
// sound the same through their VST3 and their VST 2.4 builds; info, diff,
// plot and bench take a bundle.
#include <gtest/gtest.h>

#include "tests/tool/json_value.h"
#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

const std::string kZamDelayVst3 = "/usr/lib/vst3/ZamDelay.vst3";
const std::string kZamDelayVst = "/usr/lib/vst/ZamDelay-vst.so";

class Vst3ToolTest : public ::testing::Test {
protected:
    // Renders `from` through the words (a plug-in, its options) into `to`.
    ToolResult render(std::vector<std::string> words, const std::string& from, const std::string& to) {
        std::vector<std::string> arguments = {"render", words[0], from, to};
        arguments.insert(arguments.end(), words.begin() + 1, words.end());
        return runTool(arguments);
    }

    // Renders through the bundle and through the module with the same
    // options, and says whether every sample is the same; and, for options
    // that set something, that the settings were heard.
    void expectSameAsTheModule(const std::vector<std::string>& options, bool setsSomething = true) {
        std::vector<std::string> bundle = {VARNOLET_VST3_BUNDLE}, module = {VARNOLET_MODULE_PATH};
        bundle.insert(bundle.end(), options.begin(), options.end());
        module.insert(module.end(), options.begin(), options.end());
        const ToolResult viaVst3 = render(bundle, in, dir.file("vst3.wav"));
        ASSERT_EQ(viaVst3.status, 0) << viaVst3.err;
        ASSERT_EQ(render(module, in, dir.file("vst2.wav")).status, 0);
        const ToolResult diff = runTool({"diff", dir.file("vst3.wav"), dir.file("vst2.wav")});
        EXPECT_EQ(diff.status, 0) << options.size() << "\n" << diff.out;
        if (setsSomething) {
            ASSERT_EQ(render({VARNOLET_MODULE_PATH, "--tail", "1"}, in, dir.file("plain.wav")).status, 0);
            EXPECT_NE(runTool({"diff", dir.file("vst3.wav"), dir.file("plain.wav")}).status, 0);
        }
    }

    ScratchDirectory dir;
    const std::string in = dir.file("in.wav");
};

TEST_F(Vst3ToolTest, TheBundleRendersTheModulesBitsWithSettingsAndAutomation) {
    ASSERT_TRUE(writeSound(in, noiseSound(48000, 2, 60000, 0.5f, 3)));
    expectSameAsTheModule({"--tail", "1"}, false);
    expectSameAsTheModule({"--tail", "1", "--block", "random", "--set", "Tap 4 feedback=@60",
                           "--set", "Filter Type=@Band", "--set", "Tap 2 time=0.9"});
    // Automation lands at the frames the module's blocks are split at.
    expectSameAsTheModule({"--tail", "1", "--block", "512", "--automate",
                           "Filter Cutoff=0:@200,1:@4000", "--automate", "Tap 1 time=0:0.05,1.2:0.3"});
    // One plug-in after another, formats mixed.
    ASSERT_EQ(render({VARNOLET_VST3_BUNDLE, "--set", "Tap 1 time=@120", "--then", VARNOLET_MODULE_PATH,
                      "--set", "Wet/Dry mix=0.5", "--tail", "1"},
                     in, dir.file("mixed.wav"))
                  .status,
              0);
    ASSERT_EQ(render({VARNOLET_MODULE_PATH, "--set", "Tap 1 time=@120", "--then", VARNOLET_MODULE_PATH,
                      "--set", "Wet/Dry mix=0.5", "--tail", "1"},
                     in, dir.file("same.wav"))
                  .status,
              0);
    EXPECT_EQ(runTool({"diff", dir.file("mixed.wav"), dir.file("same.wav")}).status, 0);
}

TEST_F(Vst3ToolTest, InfoShowsTheBundleAsAHostSeesIt) {
    const ToolResult result = runTool({"info", "--json", VARNOLET_VST3_BUNDLE, "--set", "Tap 1 time=@300"});
    ASSERT_EQ(result.status, 0) << result.err;
    JsonValue info;
    ASSERT_TRUE(parseJson(result.out, info)) << result.out;
    EXPECT_EQ(info["format"].text, "VST3");
    EXPECT_EQ(info["name"].text, "Varnolet Delay");
    EXPECT_EQ(info["vendor"].text, "Tolmark");
    EXPECT_EQ(info["subCategories"].text, "Fx|Delay");
    EXPECT_EQ(info["inputs"].number, 2);
    EXPECT_EQ(info["outputs"].number, 2);
    EXPECT_EQ(info["latency"].number, 0);
    const JsonValue& parameters = info["parameters"];
    // The module's 23, then the bypass.
    ASSERT_EQ(parameters.items.size(), 24u);
    EXPECT_EQ(parameters[0]["name"].text, "Tap 1 time");
    EXPECT_EQ(parameters[0]["label"].text, "ms");
    EXPECT_EQ(parameters[0]["display"].text, "300.0");
    EXPECT_EQ(parameters[19]["display"].text, "Thru");
    EXPECT_EQ(parameters[23]["name"].text, "Bypass");
    EXPECT_EQ(parameters[23]["display"].text, "Off");
    // The commands that are VST 2.4's say so.
    const ToolResult validate = runTool({"validate", VARNOLET_VST3_BUNDLE, "--sequences", "1"});
    EXPECT_EQ(validate.status, 1);
    EXPECT_NE(validate.err.find("is a VST3 plug-in"), std::string::npos) << validate.err;
    const ToolResult save = runTool({"save-preset", VARNOLET_VST3_BUNDLE, dir.file("p.fxp")});
    EXPECT_EQ(save.status, 1);
    EXPECT_NE(save.err.find("is a VST3 plug-in"), std::string::npos) << save.err;
}

TEST_F(Vst3ToolTest, ZamDelayRendersTheSameThroughItsVst3AndItsVst24Build) {
    if (!fileExists(kZamDelayVst3) || !fileExists(kZamDelayVst))
        GTEST_SKIP() << "ZamDelay is not installed; Debian's zam-plugins has it";
    ASSERT_TRUE(writeSound(in, noiseSound(44100, 1, 30000, 0.5f, 7)));
    for (const std::vector<std::string>& setting :
         {std::vector<std::string>{}, {"--set", "Time=@300", "--set", "Feedback=0.5", "--block", "random"}}) {
        std::vector<std::string> vst = {kZamDelayVst, "--tail", "0.5"}, vst3 = {kZamDelayVst3, "--tail", "0.5"};
        vst.insert(vst.end(), setting.begin(), setting.end());
        vst3.insert(vst3.end(), setting.begin(), setting.end());
        ASSERT_EQ(render(vst, in, dir.file("vst.wav")).status, 0);
        const ToolResult result = render(vst3, in, dir.file("vst3.wav"));
        ASSERT_EQ(result.status, 0) << result.err;
        const Sound a = readSound(dir.file("vst.wav")), b = readSound(dir.file("vst3.wav"));
        ASSERT_EQ(b.frames(), 30000u + 22050u);
        EXPECT_EQ(a.channels, b.channels) << setting.size();
        EXPECT_NE(b.channels[0], readSound(in).channels[0]);
    }
}

TEST_F(Vst3ToolTest, PlotAndBenchTakeABundle) {
    const ToolResult drawn = runTool({"plot", VARNOLET_VST3_BUNDLE, dir.file("p.png"), "--set",
                                      "Filter Type=@Low", "--seconds", "0.5"});
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    EXPECT_TRUE(fileExists(dir.file("p.png")));
    const ToolResult bench = runTool({"bench", VARNOLET_MODULE_PATH, VARNOLET_VST3_BUNDLE, "--block", "64",
                                      "--rounds", "1", "--seconds", "0.05", "--warm-up", "0", "--json"});
    ASSERT_EQ(bench.status, 0) << bench.err;
    JsonValue json;
    ASSERT_TRUE(parseJson(bench.out, json)) << bench.out;
    EXPECT_EQ(json["plugins"][1]["name"].text, "Varnolet Delay");
    EXPECT_GT(json["blocks"][0]["results"][1]["noiseNanosecondsPerFrame"].number, 0.0);
}

}  // namespace
