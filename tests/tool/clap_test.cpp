// vst2host playing CLAP plug-ins: Debian's zam-plugins sound the same
// through their CLAP and their VST 2.4 builds, and the project's fixture
// plug-ins show where parameter events land, that delays are taken out
// however they are announced, how ports are wired, that chains mix formats,
// and that a plug-in that misbehaves ends the command with a message.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/tool/json_value.h"
#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

const std::string kZamDelayClap = "/usr/lib/clap/ZamDelay.clap";
const std::string kZamDelayVst = "/usr/lib/vst/ZamDelay-vst.so";

#define ZAM_PLUGINS_OR_SKIP()                                               \
    if (!fileExists(kZamDelayClap) || !fileExists(kZamDelayVst))            \
    GTEST_SKIP() << "ZamDelay is not installed; Debian's zam-plugins has it"

std::vector<std::string> fixture(const std::string& id) {
    return {CLAP_FIXTURES_PATH, "--plugin-id", "org.varnolet.fixture." + id};
}

class ClapTest : public ::testing::Test {
protected:
    // Renders in through the words (a plug-in and its options) into out.
    ToolResult render(std::vector<std::string> words, const std::string& from, const std::string& to) {
        std::vector<std::string> arguments = {"render"};
        arguments.push_back(words[0]);
        arguments.push_back(from);
        arguments.push_back(to);
        arguments.insert(arguments.end(), words.begin() + 1, words.end());
        return runTool(arguments);
    }

    ScratchDirectory dir;
    const std::string in = dir.file("in.wav"), out = dir.file("out.wav");
};

TEST_F(ClapTest, ZamDelayRendersTheSameThroughItsClapAndItsVst24Build) {
    ZAM_PLUGINS_OR_SKIP();
    ASSERT_TRUE(writeSound(in, noiseSound(44100, 1, 30000, 0.5f, 7)));
    // ZamDelay's own sound depends on its block size, so automation, which
    // splits VST 2.4 blocks at its 64-frame steps, is compared at blocks of 64.
    const std::vector<std::vector<std::string>> settings = {
        {},
        {"--set", "Time=@300", "--set", "Feedback=0.5", "--block", "random"},
        {"--automate", "Time=0:0.1,0.5:0.5", "--automate", "Feedback=0:0,0.6:0.7", "--block", "64"}};
    for (const auto& setting : settings) {
        std::vector<std::string> vst = {kZamDelayVst, "--tail", "0.5"}, clap = {kZamDelayClap, "--tail", "0.5"};
        vst.insert(vst.end(), setting.begin(), setting.end());
        clap.insert(clap.end(), setting.begin(), setting.end());
        const std::string vstOut = dir.file("vst.wav");
        ASSERT_EQ(render(vst, in, vstOut).status, 0);
        const ToolResult result = render(clap, in, out);
        ASSERT_EQ(result.status, 0) << result.err;
        const Sound a = readSound(vstOut), b = readSound(out);
        ASSERT_EQ(b.frames(), 30000u + 22050u);
        EXPECT_EQ(a.channels, b.channels) << setting.size();
        // The delay is heard: not the input itself coming back.
        EXPECT_NE(b.channels[0], readSound(in).channels[0]);
    }
}

TEST_F(ClapTest, InfoListsAZamClapsParametersAndTakesDisplayedValues) {
    ZAM_PLUGINS_OR_SKIP();
    const ToolResult result = runTool({"info", "--json", kZamDelayClap, "--set", "Time=@300"});
    ASSERT_EQ(result.status, 0) << result.err;
    JsonValue info;
    ASSERT_TRUE(parseJson(result.out, info)) << result.out;
    EXPECT_EQ(info["format"].text, "CLAP");
    EXPECT_EQ(info["id"].text, "com.zamaudio.ZamDelay");
    EXPECT_EQ(info["inputs"].number, 1);
    EXPECT_EQ(info["outputs"].number, 1);
    const JsonValue& parameters = info["parameters"];
    ASSERT_GE(parameters.items.size(), 8u);
    EXPECT_EQ(parameters[1]["name"].text, "Time");
    EXPECT_EQ(std::stod(parameters[1]["display"].text), 300.0);
    EXPECT_EQ(parameters[1]["plainValue"].number, 300.0);
    EXPECT_EQ(parameters[7]["name"].text, "Feedback");
    // The text report lists them too, one line each.
    const ToolResult text = runTool({"info", kZamDelayClap});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Plug-in id:      com.zamaudio.ZamDelay\n"), std::string::npos) << text.out;
    EXPECT_EQ(linesStartingWith(text.out, "  ").size(), 1 + parameters.items.size());
}

TEST_F(ClapTest, ParameterEventsLandAtTheirFramesWhateverTheBlocks) {
    ASSERT_TRUE(writeSound(in, clickSound(44100, 1, 44100, 0.0f)));
    // A jump at 0.5 s (frame 22050), values applied at every frame.
    for (const char* block : {"512", "100", "random", "1"}) {
        const ToolResult result = render({CLAP_FIXTURES_PATH, "--plugin-id", "org.varnolet.fixture.frames",
                                          "--automation-block", "1", "--automate",
                                          "Level=0:@0.25,0.5:@0.25,0.5:@-0.75", "--block", block, "--tail", "0"},
                                         in, out);
        ASSERT_EQ(result.status, 0) << result.err;
        const Sound sound = readSound(out);
        ASSERT_EQ(sound.frames(), 44100u);
        for (const auto& channel : sound.channels) {
            EXPECT_EQ(channel[0], 0.25f) << block;
            EXPECT_EQ(channel[22049], 0.25f) << block;
            EXPECT_EQ(channel[22050], -0.75f) << block;
            EXPECT_EQ(channel.back(), -0.75f) << block;
        }
    }
    // A ramp moves only on the automation's steps, inside blocks that do
    // not end there; the values come from the host's own thread answers
    // (a call from the wrong thread would write 1000).
    const ToolResult ramp = render({CLAP_FIXTURES_PATH, "--plugin-id", "org.varnolet.fixture.frames",
                                    "--automate", "Level=0:0,1:1", "--block", "100", "--tail", "0"},
                                   in, out);
    ASSERT_EQ(ramp.status, 0) << ramp.err;
    const std::vector<float> level = readSound(out).channels[0];
    ASSERT_EQ(level.size(), 44100u);
    EXPECT_EQ(level.front(), -1.0f);
    size_t changes = 0;
    for (size_t i = 1; i < level.size(); ++i) {
        if (level[i] == level[i - 1]) continue;
        ++changes;
        EXPECT_EQ(i % 64, 0u) << "a change at frame " << i;
        ASSERT_GT(level[i], level[i - 1]) << i;
    }
    EXPECT_EQ(changes, 44100u / 64);
    EXPECT_GT(level.back(), 0.99f);
    EXPECT_LE(*std::max_element(level.begin(), level.end()), 1.0f);
}

TEST_F(ClapTest, TheDelayIsTakenOutHoweverThePluginAnnouncesIt) {
    Sound clicks = clickSound(44100, 2, 4410, 0.5f);
    for (auto& channel : clicks.channels) channel.back() = 0.25f;
    ASSERT_TRUE(writeSound(in, clicks));
    // At activation; by a restart asked for in its first block; by a change
    // told from its first block; set in its first block, untold.
    for (const char* announce : {"Announce=@0", "Announce=@1", "Announce=@2", "Announce=@3"}) {
        for (const char* block : {"512", "random", "64"}) {
            std::vector<std::string> words = fixture("latency");
            words.insert(words.end(), {"--set", "Delay=@250", "--set", announce, "--block", block, "--tail", "0"});
            const ToolResult result = render(words, in, out);
            ASSERT_EQ(result.status, 0) << result.err;
            const Sound sound = readSound(out);
            ASSERT_EQ(sound.frames(), 4410u) << announce << ", block " << block;
            for (const auto& channel : sound.channels) {
                EXPECT_EQ(channel[0], 0.5f) << announce << ", block " << block;
                EXPECT_EQ(firstNonZero(channel, 1), 4409u) << announce << ", block " << block;
                EXPECT_EQ(channel[4409], 0.25f) << announce << ", block " << block;
            }
        }
        std::vector<std::string> info = {"info", "--json"};
        const std::vector<std::string> words = fixture("latency");
        info.insert(info.end(), words.begin(), words.end());
        info.insert(info.end(), {"--set", "Delay=@250", "--set", announce});
        const ToolResult result = runTool(info);
        JsonValue json;
        ASSERT_TRUE(parseJson(result.out, json)) << result.err;
        EXPECT_EQ(json["latency"].number, 250) << announce;
    }
}

TEST_F(ClapTest, PortsAreWiredAsForVst24AndChainsMixFormats) {
    const Sound noise = noiseSound(44100, 2, 5000, 0.5f, 3);
    ASSERT_TRUE(writeSound(in, noise));
    // One channel in, one out: a stereo file runs two instances. The tail
    // is the 1000 frames the plug-in says it rings, silent as they are,
    // where an automatic tail would have cut them.
    ASSERT_EQ(render(fixture("mono"), in, out).status, 0);
    Sound sound = readSound(out);
    ASSERT_EQ(sound.channels.size(), 2u);
    EXPECT_EQ(sound.frames(), 6000u);
    for (size_t c = 0; c < 2; ++c)
        for (size_t i = 0; i < 5000; i += 499) EXPECT_EQ(sound.channels[c][i], 0.5f * noise.channels[c][i]);

    // A main pair and a sidechain pair: the sidechain file feeds the second.
    const std::string side = dir.file("side.wav");
    const Sound other = noiseSound(44100, 2, 5000, 0.25f, 4);
    ASSERT_TRUE(writeSound(side, other));
    std::vector<std::string> words = fixture("sidechain");
    words.insert(words.end(), {"--sidechain", side, "--tail", "0"});
    ASSERT_EQ(render(words, in, out).status, 0);
    sound = readSound(out);
    ASSERT_EQ(sound.frames(), 5000u);
    for (size_t c = 0; c < 2; ++c)
        for (size_t i = 0; i < 5000; i += 499)
            EXPECT_EQ(sound.channels[c][i], noise.channels[c][i] + other.channels[c][i]);

    // VST 2.4, then CLAP, then CLAP: each delay taken out, the halving heard.
    const ToolResult chain = render({LATENCY_PLUGIN_PATH, "--set", "Delay=@250", "--then", CLAP_FIXTURES_PATH,
                                     "--plugin-id", "org.varnolet.fixture.mono", "--then", CLAP_FIXTURES_PATH,
                                     "--tail", "0"},
                                    in, out);
    ASSERT_EQ(chain.status, 0) << chain.err;
    EXPECT_NE(chain.err.find("Latency Fixture, then Mono Fixture, then Latency Fixture"), std::string::npos)
        << chain.err;
    sound = readSound(out);
    ASSERT_EQ(sound.frames(), 5000u);
    for (size_t c = 0; c < 2; ++c)
        for (size_t i = 0; i < 5000; i += 499) EXPECT_EQ(sound.channels[c][i], 0.5f * noise.channels[c][i]);
}

TEST_F(ClapTest, AMisbehavingPluginOrAWrongChoiceEndsWithAMessage) {
    ASSERT_TRUE(writeSound(in, clickSound(44100, 2, 1000, 0.5f)));
    struct Case {
        std::vector<std::string> words;
        const char* message;
    };
    const std::vector<Case> cases = {
        {fixture("refuses"), "refused to activate at 44100 Hz"},
        {fixture("bad-ports"), "does not describe its audio input port 0"},
        {{CLAP_FIXTURES_PATH, "--plugin-id", "6"}, "describes no plug-in at its place 6"},
        {{CLAP_FIXTURES_PATH, "--plugin-id", "org.example.none"},
         "holds no plug-in 'org.example.none' (it holds 7: org.varnolet.fixture.latency, "},
        {{CLAP_FIXTURES_PATH, "--preset", in}, "preset files (.fxp, .fxb) are VST 2.4's"},
        {{LATENCY_PLUGIN_PATH, "--plugin-id", "1"}, "a VST 2.4 module holds one plug-in"},
        {{dir.file("no_entry.clap")}, "is not a CLAP plug-in: it exports no clap_entry"},
    };
    ASSERT_EQ(runProgram({"cp", NO_ENTRY_MODULE_PATH, dir.file("no_entry.clap")}).status, 0);
    for (const Case& c : cases) {
        const ToolResult result = render(c.words, in, out);
        EXPECT_EQ(result.status, 1) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(fileExists(out)) << c.message;
    }
    // Without a choice the first plug-in of the module is the one.
    const ToolResult info = runTool({"info", "--json", CLAP_FIXTURES_PATH});
    JsonValue json;
    ASSERT_TRUE(parseJson(info.out, json)) << info.err;
    EXPECT_EQ(json["id"].text, "org.varnolet.fixture.latency");
    EXPECT_EQ(json["factoryCount"].number, 7);
    // The commands that are VST 2.4's say so.
    const ToolResult validate = runTool({"validate", CLAP_FIXTURES_PATH, "--sequences", "1"});
    EXPECT_EQ(validate.status, 1);
    EXPECT_NE(validate.err.find("validate is for VST 2.4 plug-ins"), std::string::npos) << validate.err;
    const ToolResult save = runTool({"save-preset", CLAP_FIXTURES_PATH, dir.file("p.fxp")});
    EXPECT_EQ(save.status, 1);
    EXPECT_NE(save.err.find("is a CLAP plug-in"), std::string::npos) << save.err;
}

TEST_F(ClapTest, PlotAndBenchTakeAClap) {
    std::vector<std::string> plot = {"plot"};
    const std::vector<std::string> words = fixture("latency");
    plot.insert(plot.end(), {words[0], dir.file("p.png")});
    plot.insert(plot.end(), words.begin() + 1, words.end());
    plot.insert(plot.end(), {"--set", "Delay=@300", "--seconds", "0.1"});
    const ToolResult drawn = runTool(plot);
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    EXPECT_TRUE(fileExists(dir.file("p.png")));
    const ToolResult bench = runTool({"bench", CLAP_FIXTURES_PATH, "--plugin-id", "org.varnolet.fixture.mono",
                                      "--block", "64", "--rounds", "1", "--seconds", "0.05", "--warm-up", "0",
                                      "--json"});
    ASSERT_EQ(bench.status, 0) << bench.err;
    JsonValue json;
    ASSERT_TRUE(parseJson(bench.out, json)) << bench.out;
    EXPECT_EQ(json["plugins"][0]["name"].text, "Mono Fixture");
    EXPECT_GT(json["blocks"][0]["results"][0]["noiseNanosecondsPerFrame"].number, 0.0);
}

}  // namespace
