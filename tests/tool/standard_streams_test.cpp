// "-" is standard input and output: the audio that goes through a pipe is
// the audio a file gets, byte for byte of its samples, with nothing else
// mixed in; what the tool says goes to standard error.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

class StandardStreams : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeSound(input, noiseSound(44100, 2, 4410, 0.5f, 3)));
        ASSERT_EQ(runTool({"render", VARNOLET_MODULE_PATH, input, named, "--tail", "0.2"}).status, 0);
        expected = readSound(named);
        ASSERT_EQ(expected.frames(), 4410u + 8820u);
    }

    // Runs a shell line with the tool as "$0" and the plug-in as "$1"; a
    // pipe fails when any of its programs does.
    static ToolResult shell(const std::string& line) {
        return runProgram({"bash", "-c", "set -o pipefail; " + line, VST2HOST_PATH, VARNOLET_MODULE_PATH});
    }

    ScratchDirectory dir;
    const std::string input = dir.file("in.wav"), named = dir.file("named.au");
    Sound expected;
};

TEST_F(StandardStreams, AudioThroughPipesIsTheAudioAFileGets) {
    const std::string piped = dir.file("piped.au");
    // Into a pipe, which AU streams into without going back to its header.
    ToolResult result = shell("\"$0\" render \"$1\" " + input + " - --tail 0.2 --format au | cat > " + piped);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readSound(piped).channels, expected.channels);
    // Out of a pipe and into one, the format the input's own.
    const std::string fromPipe = dir.file("from-pipe.au");
    result = shell("cat " + named + " | \"$0\" render \"$1\" - - --tail 0 | cat > " + fromPipe);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string twiceNamed = dir.file("twice.au");
    ASSERT_EQ(runTool({"render", VARNOLET_MODULE_PATH, named, twiceNamed, "--tail", "0"}).status, 0);
    const Sound twice = readSound(fromPipe);
    EXPECT_EQ(twice.format & SF_FORMAT_TYPEMASK, SF_FORMAT_AU);
    EXPECT_EQ(twice.channels, readSound(twiceNamed).channels);
    EXPECT_EQ(result.err.rfind("standard output: 13230 frames (13230 of input, 0 of tail)", 0), 0u)
        << result.err;
}

TEST_F(StandardStreams, StandardOutputCarriesTheResultAloneAndAPipeRefusesWav) {
    // Standard output a file: WAV, which goes back to its header, works.
    const ToolResult wav = runTool({"render", VARNOLET_MODULE_PATH, input, "-", "--tail", "0.2"});
    ASSERT_EQ(wav.status, 0) << wav.err;
    const std::string copy = dir.file("copy.wav");
    std::ofstream(copy, std::ios::binary) << wav.out;
    EXPECT_EQ(readSound(copy).channels, expected.channels);
    EXPECT_NE(wav.err.find("standard output: 13230 frames"), std::string::npos) << wav.err;
    // Into a pipe it cannot go, and says so.
    const ToolResult pipe = shell("\"$0\" render \"$1\" " + input + " - --tail 0 | cat > /dev/null");
    EXPECT_EQ(pipe.status, 1);
    EXPECT_NE(pipe.err.find("cannot write standard output"), std::string::npos) << pipe.err;
    EXPECT_NE(pipe.err.find("such as AU or FLAC, into a pipe"), std::string::npos) << pipe.err;
    // A picture and a preset come out whole too.
    const ToolResult png = runTool({"plot", VARNOLET_MODULE_PATH, "-", "--seconds", "0.1"});
    ASSERT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(png.out.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
    const ToolResult preset = runTool({"save-preset", VARNOLET_MODULE_PATH, "-"});
    ASSERT_EQ(preset.status, 0) << preset.err;
    EXPECT_EQ(preset.out.compare(0, 4, "CcnK"), 0);
    EXPECT_FALSE(fileExists("-")) << "no file named - was made where the tool ran";
}

}  // namespace
