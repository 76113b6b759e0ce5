// Several inputs with --out-dir: one output each under the same name, MIDI
// files as WAV, every input tried even after one fails, exit 1 then; and
// never an output written over an input.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/tool/midi_writer.h"
#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

TEST(Batch, EveryInputIsRenderedPastOneThatFails) {
    ScratchDirectory dir;
    const std::string results = dir.path + "/results";
    const Sound first = noiseSound(44100, 2, 3000, 0.25f, 41), second = noiseSound(48000, 1, 2000, 0.25f, 42);
    ASSERT_TRUE(writeSound(dir.file("a.wav"), first));
    Sound flac = second;
    flac.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    ASSERT_TRUE(writeSound(dir.file("b.flac"), flac));
    std::ofstream(dir.file("broken.wav")) << "no audio\n";
    MidiTrack track;
    track.noteOn(0, 0, 64, 64).noteOff(480, 0, 64);
    ASSERT_TRUE(writeMidiFile(dir.file("c.mid"), 0, 480, {track}));

    const ToolResult result =
        runTool({"render", NOTE_PLUGIN_PATH, dir.file("a.wav"), dir.file("broken.wav"),
                 dir.file("b.flac"), dir.file("c.mid"), "--out-dir", results, "--tail", "0"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cannot read audio from " + dir.file("broken.wav")), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("1 of 4 inputs failed"), std::string::npos) << result.err;
    EXPECT_EQ(readSound(results + "/a.wav").channels, first.channels);
    const SoundShape b = soundShape(results + "/b.flac");
    EXPECT_EQ(b.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    EXPECT_EQ(b.rate, 48000);
    EXPECT_EQ(b.frames, 2000);
    EXPECT_EQ(soundShape(results + "/c.wav").frames, 22050);
    EXPECT_FALSE(fileExists(results + "/broken.wav"));
}

TEST(Batch, AnOutputIsNeverWrittenOverAnInput) {
    ScratchDirectory dir;
    const Sound input = noiseSound(44100, 2, 3000, 0.25f, 43);
    ASSERT_TRUE(writeSound(dir.file("a.wav"), input));
    const ToolResult result = runTool({"render", VARNOLET_MODULE_PATH, dir.file("a.wav"),
                                       "--out-dir", dir.path, "--tail", "0"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("would write over the input itself"), std::string::npos) << result.err;
    EXPECT_EQ(readSound(dir.file("a.wav")).channels, input.channels);
    EXPECT_EQ(runTool({"render", VARNOLET_MODULE_PATH, dir.file("a.wav"), dir.file("a.wav"),
                       dir.file("b.wav")})
                  .status,
              2)
        << "several inputs need --out-dir";
}

}  // namespace
