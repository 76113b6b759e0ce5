// The host's transport as a plug-in that asks for the time sees it: the
// block's sample position, rate, position in quarter notes, tempo, bar and
// metre with the flags that say so; a MIDI file's tempo map; and the
// host's answers to what it can do.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "vst/aeffect.h"

#include "tests/tool/midi_writer.h"
#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

enum Field { kPosition, kRate, kQuarter, kTempo, kBarStart, kNumerator, kDenominator, kFlags, kCanDo };
constexpr int kValid = kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid | kVstBarsValid |
                       kVstTimeSigValid;

class TransportTest : public ::testing::Test {
protected:
    Sound render(const std::string& input, const std::vector<std::string>& options) {
        std::vector<std::string> arguments = {"render", TRANSPORT_PLUGIN_PATH, input, out,
                                              "--tail", "0", "--block", "1000"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const ToolResult result = runTool(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        return readSound(out);
    }

    // The song's tempo and position in quarter notes by its seconds, at
    // every block's start.
    void expectTransport(const Sound& got, const std::function<double(double)>& tempo,
                         const std::function<double(double)>& quarterNote, int numerator,
                         int denominator) {
        ASSERT_EQ(got.channels.size(), 9u);
        for (size_t start = 0; start < got.frames(); start += 1000) {
            const double seconds = start / 44100.0;
            const double position = quarterNote(seconds);
            const double bar = numerator * 4.0 / denominator;
            EXPECT_EQ(got.channels[kPosition][start + 7], static_cast<float>(start + 7));
            EXPECT_EQ(got.channels[kRate][start], 44100.0f);
            EXPECT_NEAR(got.channels[kQuarter][start], position, 1e-5 * position) << start;
            EXPECT_EQ(got.channels[kTempo][start], tempo(seconds)) << start;
            EXPECT_EQ(got.channels[kBarStart][start], std::floor(position / bar) * bar) << start;
            EXPECT_EQ(got.channels[kNumerator][start], numerator);
            EXPECT_EQ(got.channels[kDenominator][start], denominator);
            EXPECT_EQ(got.channels[kFlags][start], kValid | (start == 0 ? kVstTransportChanged : 0))
                << start;
        }
    }

    ScratchDirectory dir;
    const std::string in = dir.file("in.wav"), out = dir.file("out.wav");
};

TEST_F(TransportTest, TempoAndTimeSignatureAsGivenAndWhatTheHostCanDo) {
    ASSERT_TRUE(writeSound(in, clickSound(44100, 2, 100000, 0.1f)));
    const Sound steady = render(in, {});
    expectTransport(steady, [](double) { return 120.0; }, [](double s) { return s * 2.0; }, 4, 4);
    // sendVstEvents, sendVstMidiEvent, sendVstTimeInfo, offline: yes; the
    // plug-in's own receiveVstEvents and the window and file requests: no.
    const std::vector<float> answers(steady.channels[kCanDo].begin(), steady.channels[kCanDo].begin() + 8);
    EXPECT_EQ(answers, (std::vector<float>{1, 1, 1, 1, 0, 0, 0, 0}));

    const Sound given = render(in, {"--tempo", "90", "--time-signature", "7/8"});
    expectTransport(given, [](double) { return 90.0; }, [](double s) { return s * 1.5; }, 7, 8);
}

TEST_F(TransportTest, AMidiFilesTempoMapAndMetreDriveTheTransport) {
    // Two beats at 120 bpm, then 240 bpm; 3/4 from the start.
    MidiTrack track;
    track.tempo(0, 500000).timeSignature(0, 3, 2).tempo(960, 250000).end(1920);
    const std::string song = dir.file("song.mid");
    ASSERT_TRUE(writeMidiFile(song, 0, 480, {track}));
    const Sound played = render(song, {});
    ASSERT_EQ(played.frames(), 88200u);  // 1 s, then 4 beats at 240 bpm
    expectTransport(played, [](double s) { return s < 1.0 ? 120.0 : 240.0; },
                    [](double s) { return s < 1.0 ? 2.0 * s : 2.0 + 4.0 * (s - 1.0); }, 3, 4);
}

}  // namespace
