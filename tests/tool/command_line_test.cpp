// The command line as a user meets it: "--" ends the options, a mistake is
// blamed where it was made, options that would do nothing are refused or
// warned of, and every message says what is meant in the tool's own words.
#include <gtest/gtest.h>

#include <cstdio>

#include <unistd.h>

#include "tests/tool/midi_writer.h"
#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeSound(input, clickSound(44100, 2, 4410, 0.5f))); }

    ScratchDirectory dir;
    const std::string input = dir.file("in.wav"), output = dir.file("out.wav");
};

TEST_F(CommandLineTest, DoubleDashEndsTheOptionsAndMistakesAreBlamedWhereMade) {
    const std::string dashed = dir.file("-dashed.wav");
    ASSERT_TRUE(writeSound(dashed, clickSound(44100, 2, 100, 0.5f)));
    // A name that starts with a dash is an argument after "--", which need
    // not stand right after the command.
    const std::string relative = "-dashed.wav";
    ToolResult result = runProgram({"sh", "-c", "cd \"$0\" && exec \"$@\"", dir.path, VST2HOST_PATH, "render",
                                    VARNOLET_MODULE_PATH, "--tail", "0", "--", relative, "out.wav"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readSound(output).frames(), 100u);

    // An option before the command is the tool's, not the command's.
    result = runTool({"--bogus", "info", VARNOLET_MODULE_PATH});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err.rfind("vst2host: unknown option --bogus", 0), 0u) << result.err;
    // An unknown option is all that is said of it.
    result = runTool({"render", VARNOLET_MODULE_PATH, input, output, "--wet"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "vst2host render: unknown option --wet\n(see vst2host render --help)\n");
    result = runTool({"plot", VARNOLET_MODULE_PATH, dir.file("x.png"), "--amplitude", "1e6"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--amplitude needs a height above 0, up to 1000, not '1e6'"), std::string::npos)
        << result.err;
}

TEST_F(CommandLineTest, OptionsThatWouldDoNothingAreRefusedOrWarnedOf) {
    // --rate sets a MIDI file's rate; an audio file keeps its own.
    ToolResult result = runTool({"render", VARNOLET_MODULE_PATH, input, output, "--tail", "0", "--rate", "48000"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(toolMessages(result).find("warning: --rate sets only a MIDI file's rate: " + input +
                                        " plays at its own 44100 Hz"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(readSound(output).rate, 44100);
    std::remove(output.c_str());
    // A MIDI input plays the plug-in already; --midi would add nothing.
    const std::string song = dir.file("song.mid");
    ASSERT_TRUE(writeMidiFile(song, 0, 480, {MidiTrack().noteOn(0, 0, 60, 100).noteOff(480, 0, 60)}));
    result = runTool({"render", NOTE_PLUGIN_PATH, song, dir.file("song.wav"), "--midi", song});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--midi adds events to an audio render"), std::string::npos) << result.err;
    // Automation holds its parameter from the start: a --set of it, or a
    // second --automate, is refused, under any of its names.
    result = runTool({"render", VARNOLET_MODULE_PATH, input, output, "--automate", "Tap 1 time=0:0,1:1",
                      "--automate", "0=0:0.5"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("--automate moves 'Tap 1 time' twice"), std::string::npos) << result.err;
    result = runTool({"render", VARNOLET_MODULE_PATH, input, output, "--set", "tap 1 TIME=0.2", "--automate",
                      "Tap 1 time=0:0,1:1"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("--set 'Tap 1 time' would do nothing"), std::string::npos) << result.err;
    EXPECT_FALSE(fileExists(output));
}

TEST_F(CommandLineTest, MessagesSpeakPlainly) {
    // The system's words for a missing input and a folder, not the library's.
    ToolResult result = runTool({"render", VARNOLET_MODULE_PATH, dir.file("absent.wav"), output});
    EXPECT_EQ(result.err, "vst2host: cannot read audio from " + dir.file("absent.wav") +
                              ": No such file or directory\n");
    result = runTool({"render", VARNOLET_MODULE_PATH, dir.path, output});
    EXPECT_EQ(result.err, "vst2host: cannot read audio from " + dir.path + ": it is a directory\n");
    // A rate Opus cannot hold is said before the plug-in is even opened.
    result = runTool({"--log", "render", VARNOLET_MODULE_PATH, input, dir.file("out.opus")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.find("-> "), std::string::npos) << "the plug-in was opened:\n" << result.err;
    EXPECT_NE(result.err.find("only, not at 44100 Hz"), std::string::npos) << result.err;
    // One of each, and rates written out.
    result = runTool({"generate", dir.file("one.wav"), "--signal", "click", "--channels", "1", "--rate", "1000",
                      "--seconds", "0.001"});
    EXPECT_EQ(result.err, dir.file("one.wav") + ": click, 1 channel, 1 frame at 1000 Hz\n");
    Sound fast = clickSound(1000000, 1, 10, 0.5f);
    ASSERT_TRUE(writeSound(dir.file("fast.wav"), fast));
    result = runTool({"render", MONO_PLUGIN_PATH, dir.file("fast.wav"), output, "--tail", "0"});
    EXPECT_NE(result.err.find(" at 1000000 Hz through Mono Fixture"), std::string::npos) << result.err;
    // gnuplot's warnings about a picture it drew stay its own: a silent
    // response draws an empty range.
    result = runTool({"plot", MONO_PLUGIN_PATH, dir.file("silent.jpg"), "--set", "Gain=0", "--set", "Delay=0"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(toolMessages(result), "vst2host: warning: " + dir.file("silent.jpg") +
                                         " holds a PNG picture, which its name (.jpg) does not say\n");
    EXPECT_NE(result.err.find("Mono Fixture, 1 frame; "), std::string::npos) << result.err;
    // bench names the instrument it cannot time.
    const std::string synth = installedPlugin("Kars-vst.so");
    if (synth.empty()) GTEST_SKIP() << "Kars-vst.so is not installed; Debian's dpf-plugins-vst has it";
    result = runTool({"bench", synth, "--seconds", "0.01"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("Kars takes no audio input"), std::string::npos) << result.err;
}

TEST_F(CommandLineTest, JsonNamesAPathByItsOwnBytes) {
    // A module whose name is not UTF-8 (Latin-1's e acute): JSON holds the
    // byte, as Python's surrogateescape reads it back, not another letter.
    const std::string name = dir.file("caf\xe9.so");
    ASSERT_EQ(symlink(VARNOLET_MODULE_PATH, name.c_str()), 0);
    const ToolResult result = runTool({"info", "--json", name});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("caf\\udce9.so\""), std::string::npos) << result.out.substr(0, 200);
    EXPECT_EQ(result.out.find("caf\\u00e9"), std::string::npos);
}

}  // namespace
