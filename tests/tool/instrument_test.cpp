// Instruments played from Standard MIDI Files: every note at its frame
// through the tempo map, whatever the blocks; held notes released at the
// file's end; silence into an instrument's inputs; events added to an audio
// render; and refusals for plug-ins that say they take no events.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "tests/tool/midi_writer.h"
#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

class InstrumentTest : public ::testing::Test {
protected:
    ToolResult render(const std::string& plugin, const std::string& in,
                      const std::vector<std::string>& options) {
        std::vector<std::string> arguments = {"render", plugin, in, out};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runTool(arguments);
    }

    ScratchDirectory dir;
    const std::string song = dir.file("song.mid"), out = dir.file("out.wav");
};

// Two beats at 120 bpm, then 240 bpm; notes in two tracks, one of them
// written with running status, one held past the end.
void writeTempoMapSong(const std::string& path) {
    MidiTrack tempo, first, second;
    tempo.tempo(0, 500000).tempo(960, 250000);
    first.noteOn(480, 0, 64, 100).noteOff(480, 0, 64);
    second.noteOn(960, 1, 32, 64)
        .event(480, {32, 0})     // running status: note-on of velocity 0, a note-off
        .event(0, {40, 127})     // key 40 held to the end
        .end(480);
    ASSERT_TRUE(writeMidiFile(path, 1, 480, {tempo, first, second}));
}

TEST_F(InstrumentTest, NotesSoundFromTheirFrameThroughTheTempoMapWhateverTheBlocks) {
    writeTempoMapSong(song);
    // 0.5 s, 1 s, then 480 ticks at 240 bpm: 1.25 s; the end at 1.5 s.
    const size_t on = 22050, change = 44100, off = 55125, end = 66150;
    std::vector<float> left(end + 22050, 0.0f), right(end + 22050, 0.0f);
    for (size_t i = on; i < change; ++i) left[i] = 64 / 128.0f, right[i] = 100 / 128.0f;
    for (size_t i = change; i < off; ++i) left[i] = 32 / 128.0f, right[i] = 64 / 128.0f;
    for (size_t i = off; i < end; ++i) left[i] = 40 / 128.0f, right[i] = 127 / 128.0f;
    left[end] = -1.0f;  // all notes off, and the held key released with it

    for (const std::vector<std::string>& blocks :
         {std::vector<std::string>{"--block", "512"}, {"--block", "random", "--seed", "5"}}) {
        std::vector<std::string> options = {"--tail", "0.5"};
        options.insert(options.end(), blocks.begin(), blocks.end());
        const ToolResult result = render(NOTE_PLUGIN_PATH, song, options);
        ASSERT_EQ(result.status, 0) << result.err;
        const Sound sound = readSound(out);
        ASSERT_EQ(sound.channels.size(), 2u);
        EXPECT_EQ(sound.channels[0], left) << blocks[1];
        EXPECT_EQ(sound.channels[1], right) << blocks[1];
        EXPECT_NE(result.err.find("66150 of input, 22050 of tail"), std::string::npos) << result.err;
    }
}

TEST_F(InstrumentTest, TypeZeroFilesInSmpteTimeAndEventsAddedToAnAudioRender) {
    // 25 frames of 40 ticks a second: ticks are milliseconds.
    MidiTrack track;
    track.noteOn(250, 3, 96, 32).noteOff(250, 3, 96).end(250);
    ASSERT_TRUE(writeMidiFile(song, 0, static_cast<uint16_t>((0x100 - 25) << 8 | 40), {track}));
    ToolResult result = render(NOTE_PLUGIN_PATH, song, {"--tail", "0", "--rate", "48000"});
    ASSERT_EQ(result.status, 0) << result.err;
    Sound sound = readSound(out);
    EXPECT_EQ(sound.rate, 48000);
    ASSERT_EQ(sound.frames(), 36000u);
    EXPECT_EQ(firstNonZero(sound.channels[1]), 12000u);
    EXPECT_EQ(firstNonZero(sound.channels[1], 12000 + 1), 12001u);
    EXPECT_EQ(sound.channels[1][23999], 0.25f);
    EXPECT_EQ(firstNonZero(sound.channels[1], 24000), 36000u);

    // The same notes over noise, through the instrument as an effect.
    const std::string noise = dir.file("noise.wav");
    const Sound input = noiseSound(48000, 2, 30000, 0.25f, 3);
    ASSERT_TRUE(writeSound(noise, input));
    result = render(NOTE_PLUGIN_PATH, noise, {"--tail", "0", "--midi", song});
    ASSERT_EQ(result.status, 0) << result.err;
    sound = readSound(out);
    ASSERT_EQ(sound.frames(), 30000u);
    for (size_t i : {size_t{0}, size_t{11999}, size_t{12000}, size_t{23999}, size_t{24000}}) {
        const float note = i >= 12000 && i < 24000 ? 0.25f : 0.0f;
        EXPECT_EQ(sound.channels[1][i], input.channels[1][i] + note) << i;
    }
}

TEST_F(InstrumentTest, PlugInsThatTakeNoEventsAndFilesThatAreNoSongsAreRefused) {
    writeTempoMapSong(song);
    const std::string noise = dir.file("noise.wav");
    ASSERT_TRUE(writeSound(noise, noiseSound(44100, 1, 4410, 0.25f, 3)));
    for (const auto& arguments :
         {std::vector<std::string>{"render", MONO_PLUGIN_PATH, song, out},
          {"render", MONO_PLUGIN_PATH, noise, out, "--midi", song}}) {
        const ToolResult result = runTool(arguments);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find("Mono Fixture says it cannot receive MIDI events"), std::string::npos)
            << result.err;
        EXPECT_FALSE(fileExists(out));
    }
    std::string bytes = readText(song);
    for (const auto& broken : {bytes.substr(0, bytes.size() - 5), std::string("MThd\0\0\0\6\0\2", 10) +
                                                                       bytes.substr(10)}) {
        std::ofstream(song, std::ios::binary) << broken;
        const ToolResult result = render(NOTE_PLUGIN_PATH, song, {});
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find("cannot play " + song + ": "), std::string::npos) << result.err;
        EXPECT_FALSE(fileExists(out));
    }
    // A few bytes asking for a million hours of silence.
    MidiTrack endless;
    endless.tempo(0, 0xFFFFFF).end(0x0FFFFFFF);
    ASSERT_TRUE(writeMidiFile(song, 0, 1, {endless}));
    const ToolResult result = render(NOTE_PLUGIN_PATH, song, {});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("songs of up to 24 hours are played"), std::string::npos) << result.err;
}

TEST_F(InstrumentTest, DebiansKarsPlaysItsNotes) {
    const std::string kars = installedPlugin("Kars-vst.so");
    if (kars.empty()) GTEST_SKIP() << "Debian's dpf-plugins-vst is not installed";
    writeTempoMapSong(song);
    const ToolResult result = render(kars, song, {});
    ASSERT_EQ(result.status, 0) << result.err;
    const Sound sound = readSound(out);
    ASSERT_EQ(sound.channels.size(), 1u);
    EXPECT_GT(sound.frames(), 66150u) << "the file's length and a tail";
    const size_t first = firstNonZero(sound.channels[0]);
    EXPECT_GE(first, 22050u);
    EXPECT_LT(first, 22050u + 64u);
}

}  // namespace
