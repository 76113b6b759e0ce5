// The factory bank as a user of the VST 2.4 module meets it: vst2host loads
// varnolet-factory.fxb, chooses a program, and renders sounds through it; each
// preset must do what its name says, measured from what comes out. The VST3
// bundle's programs must sound as the bank's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/tool/json_value.h"
#include "tests/tool/sound_files.h"
#include "tests/tool/tool_runner.h"

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

enum Program { kSlapback, kPingPong, kDub, kTelephone, kSaturated, kRhythm, kDoubler, kAmbient };

// The frame a tap of that many milliseconds reads at 44.1 kHz.
size_t framesOf(double milliseconds) {
    return static_cast<size_t>(static_cast<float>(static_cast<float>(milliseconds) * (kRate * 0.001f)));
}

size_t seconds(double s) { return static_cast<size_t>(s * kRate); }

class FactoryPresetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::string(VARNOLET_FACTORY_BANK).empty())
            GTEST_SKIP() << "this build writes no bank: a cross build needs an emulator to run its writer";
    }

    Sound render(int program, const Sound& input, double tailSeconds) {
        const std::string in = dir.file("in.wav"), out = dir.file("out.wav");
        EXPECT_TRUE(writeSound(in, input));
        const ToolResult result =
            runTool({"render", VARNOLET_MODULE_PATH, in, out, "--preset", VARNOLET_FACTORY_BANK,
                     "--program", std::to_string(program), "--tail", std::to_string(tailSeconds)});
        EXPECT_EQ(result.status, 0) << result.err;
        Sound sound = readSound(out);
        EXPECT_EQ(sound.channels.size(), 2u);
        if (sound.channels.size() != 2) sound.channels.assign(2, std::vector<float>(input.frames()));
        return sound;
    }

    // A click of 0.2 on both inputs, then silence.
    Sound renderClick(int program, double tailSeconds) {
        return render(program, clickSound(kRate, 2, 1, 0.2f), tailSeconds);
    }

    ScratchDirectory dir;
};

// Sound that fades in and out over a Hann window, so that its edges add no
// clicks: the sum of sines of the given frequencies and amplitude each.
Sound toneBurst(std::initializer_list<double> frequencies, double amplitude, double length) {
    Sound sound;
    sound.rate = kRate;
    const size_t frames = seconds(length);
    sound.channels.assign(2, std::vector<float>(frames));
    for (size_t i = 0; i < frames; ++i) {
        const double window = 0.5 - 0.5 * std::cos(2 * kPi * i / (frames - 1));
        double sum = 0;
        for (double f : frequencies) sum += std::sin(2 * kPi * f * i / kRate);
        sound.channels[0][i] = sound.channels[1][i] = static_cast<float>(amplitude * window * sum);
    }
    return sound;
}

// The amplitude of one frequency in frames [from, to), Hann-windowed.
double toneLevel(const std::vector<float>& channel, size_t from, size_t to, double frequency) {
    double re = 0, im = 0, weights = 0;
    for (size_t i = from; i < to && i < channel.size(); ++i) {
        const double window = 0.5 - 0.5 * std::cos(2 * kPi * (i - from) / (to - from - 1));
        const double phase = 2 * kPi * frequency * i / kRate;
        re += window * channel[i] * std::cos(phase);
        im += window * channel[i] * std::sin(phase);
        weights += window;
    }
    return 2 * std::hypot(re, im) / weights;
}

double energy(const std::vector<float>& channel, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to && i < channel.size(); ++i) sum += double{channel[i]} * channel[i];
    return sum;
}

double peak(const std::vector<float>& channel, size_t from = 0, size_t to = SIZE_MAX) {
    float largest = 0;
    for (size_t i = from; i < to && i < channel.size(); ++i) largest = std::max(largest, std::fabs(channel[i]));
    return largest;
}

double decibels(double ratio) { return 20 * std::log10(ratio); }

// Every frame after the first where the channel is not silent.
std::vector<size_t> soundingFrames(const std::vector<float>& channel) {
    std::vector<size_t> frames;
    for (size_t i = 1; i < channel.size(); ++i)
        if (channel[i] != 0.0f) frames.push_back(i);
    return frames;
}

TEST_F(FactoryPresetsTest, SlapbackIsOneCentredEchoAHundredMillisecondsLater) {
    const Sound out = renderClick(kSlapback, 2);
    const size_t echo = framesOf(100);
    for (const auto& side : out.channels) {
        EXPECT_EQ(soundingFrames(side), std::vector<size_t>{echo});
        EXPECT_NEAR(side[echo], 0.35 * 0.2, 0.002);  // level 0.7, half on each side
    }
    EXPECT_EQ(out.channels[0][echo], out.channels[1][echo]);
}

TEST_F(FactoryPresetsTest, PingPongAlternatesHardLeftAndRightEvery300Milliseconds) {
    const Sound out = renderClick(kPingPong, 3);
    const size_t step = framesOf(300);
    double previousRound = 0;
    for (size_t k = 1; k <= 8; ++k) {
        const size_t at = k * step;
        // Odd echoes are on the left alone, even ones on the right alone;
        // from the fifth on they are tap 4's feedback, played again.
        const auto& heard = out.channels[k % 2 ? 0 : 1];
        const auto& silent = out.channels[k % 2 ? 1 : 0];
        EXPECT_GT(std::fabs(heard[at]), 0.01) << "echo " << k;
        EXPECT_EQ(silent[at], 0.0f) << "echo " << k;
        if (k == 4) previousRound = std::fabs(heard[at]);
        if (k == 8) {
            EXPECT_LT(std::fabs(heard[at]), previousRound);
        }
    }
    for (const auto& side : out.channels)
        for (size_t frame : soundingFrames(side)) EXPECT_EQ(frame % step, 0u) << frame;
}

TEST_F(FactoryPresetsTest, DubFeedbackRepeatsLowNotesForSecondsAndDropsHighOnes) {
    // Equal tones at 200 Hz and 5 kHz for 60 ms: the echoes come every
    // 375 ms, the low tone in each a little quieter than in the one before.
    const Sound out = render(kDub, toneBurst({200, 5000}, 0.1, 0.06), 5);
    const size_t step = framesOf(375);
    const auto& left = out.channels[0];
    std::vector<double> low;
    for (size_t k = 1; k <= 10; ++k) low.push_back(toneLevel(left, k * step, k * step + seconds(0.06), 200));
    for (size_t k = 1; k < low.size(); ++k) {
        EXPECT_LT(low[k], low[k - 1] * 0.95) << "repeat " << k + 1;  // it dies away...
        EXPECT_GT(low[k], low[k - 1] * 0.7) << "repeat " << k + 1;   // ...slowly
    }
    EXPECT_GT(decibels(low[9] / low[0]), -25.0);
    // The low-pass at 1050 Hz leaves little of the high tone even in the first echo.
    EXPECT_LT(decibels(toneLevel(left, step, step + seconds(0.06), 5000) / low[0]), -20.0);
    EXPECT_EQ(out.channels[0], out.channels[1]);  // centred
}

TEST_F(FactoryPresetsTest, TelephoneEchoIsANarrowBandAround1300Hertz) {
    // The click's echo holds every frequency alike but what the band-pass lets
    // through: an octave either side of its centre it is far quieter.
    const Sound out = renderClick(kTelephone, 1);
    const size_t echo = framesOf(200);
    const auto& left = out.channels[0];
    EXPECT_EQ(soundingFrames(left).front(), echo);
    // The window is centred on the echo's start, where it rings loudest;
    // before it there is silence.
    const size_t from = echo - 2048, to = echo + 2048;
    const double centre = toneLevel(left, from, to, 1300);
    EXPECT_GT(centre, 1e-5);
    EXPECT_LT(decibels(toneLevel(left, from, to, 650) / centre), -15.0);
    EXPECT_LT(decibels(toneLevel(left, from, to, 2600) / centre), -15.0);
    EXPECT_LT(decibels(toneLevel(left, from, to, 200) / centre), -25.0);
    EXPECT_LT(decibels(toneLevel(left, from, to, 6000) / centre), -25.0);
}

TEST_F(FactoryPresetsTest, SaturatedRepeatsComeBackWithHarmonicsThePureToneLacked) {
    const Sound input = toneBurst({220}, 0.5, 0.15);
    const Sound out = render(kSaturated, input, 1);
    const auto& left = out.channels[0];
    const size_t echo = framesOf(300) + seconds(0.05), end = echo + seconds(0.05);
    const double fundamental = toneLevel(left, echo, end, 220);
    ASSERT_GT(fundamental, 0.01);
    // Clipping, symmetric, adds the odd harmonics.
    EXPECT_GT(decibels(toneLevel(left, echo, end, 660) / fundamental), -25.0);
    const size_t dry = seconds(0.05);
    EXPECT_LT(decibels(toneLevel(input.channels[0], dry, dry + seconds(0.05), 660) /
                       toneLevel(input.channels[0], dry, dry + seconds(0.05), 220)),
              -60.0);
    // Tap 1 sits left of centre: three quarters of it on the left.
    EXPECT_NEAR(toneLevel(out.channels[1], echo, end, 220) / fundamental, 1.0 / 3.0, 0.01);
}

TEST_F(FactoryPresetsTest, FourTapRhythmFallsOnEighthNotesAt120Bpm) {
    const Sound out = renderClick(kRhythm, 3);
    const size_t eighth = seconds(0.25);  // 11025 frames
    std::vector<double> first(5);
    for (size_t k = 1; k <= 4; ++k)
        first[k] = std::max(std::fabs(out.channels[0][k * eighth]), std::fabs(out.channels[1][k * eighth]));
    for (size_t k = 1; k <= 4; ++k) EXPECT_GT(first[k], 0.05) << "eighth " << k;
    // The quarter notes are accented.
    EXPECT_GT(first[2], first[1]);
    EXPECT_GT(first[4], first[3]);
    for (const auto& side : out.channels)
        for (size_t frame : soundingFrames(side)) EXPECT_EQ(frame % eighth, 0u) << frame;
    // The half note feeds the figure back: it plays on in the second bar.
    EXPECT_NE(out.channels[0][5 * eighth], 0.0f);
}

TEST_F(FactoryPresetsTest, WideDoublerAddsOneShortCopyToEachSide) {
    const Sound out = renderClick(kDoubler, 1);
    const size_t left = framesOf(11), right = framesOf(17);
    EXPECT_EQ(soundingFrames(out.channels[0]), std::vector<size_t>{left});
    EXPECT_EQ(soundingFrames(out.channels[1]), std::vector<size_t>{right});
    EXPECT_LT(right, seconds(0.03));  // too soon to be heard as an echo
    EXPECT_NEAR(out.channels[0][left], 0.7 * 0.2, 0.002);
    EXPECT_NEAR(out.channels[1][right], 0.7 * 0.2, 0.002);
}

TEST_F(FactoryPresetsTest, AmbientWashIsADenseTailOnBothSidesThatFadesOverSeconds) {
    const Sound out = renderClick(kAmbient, 24);
    for (const auto& side : out.channels) {
        const double early = energy(side, seconds(0.4), seconds(2.4));
        // Still there after five seconds, and gone after twenty.
        EXPECT_GT(10 * std::log10(energy(side, seconds(5), seconds(7)) / early), -30.0);
        EXPECT_LT(10 * std::log10(energy(side, seconds(22), seconds(24)) / early), -45.0);
        // The taps' echoes of each other's echoes multiply: in the third
        // second more than eight separate echoes start (one tap feeding
        // back would give two or three).
        size_t onsets = 0, lastSound = 0;
        for (size_t i = seconds(1); i < seconds(3); ++i) {
            if (std::fabs(side[i]) < 1e-4f) continue;
            if (i >= seconds(2) && i - lastSound > 200) ++onsets;
            lastSound = i;
        }
        EXPECT_GT(onsets, 8u);
    }
}

TEST_F(FactoryPresetsTest, NoPresetClipsANormalInputOrRingsOn) {
    // Noise 18 dB below full scale for three seconds, then ten seconds of
    // silence: nothing reaches full scale, and every tail falls away.
    const Sound input = noiseSound(kRate, 2, seconds(3), 0.25f, 7);
    for (int program = 0; program < 8; ++program) {
        const Sound out = render(program, input, 10);
        double loudest = 0, last = 0;
        for (const auto& side : out.channels) {
            loudest = std::max(loudest, peak(side));
            last = std::max(last, peak(side, seconds(12), seconds(13)));
        }
        EXPECT_LT(loudest, 1.0) << "program " << program;
        EXPECT_LT(decibels(last / loudest), -20.0) << "program " << program;
    }
}

// A VST3 host offers the presets as the bundle's programs, after "Defaults":
// each one, chosen through vst2host, sounds as the same program of the bank
// through the module, bit for bit.
TEST_F(FactoryPresetsTest, TheVst3BundleOffersEachAsAProgramThatSoundsAsTheBanks) {
    JsonValue vst3, bank;
    const ToolResult vst3Info = runTool({"info", "--json", VARNOLET_VST3_BUNDLE});
    const ToolResult bankInfo =
        runTool({"info", "--json", VARNOLET_MODULE_PATH, "--preset", VARNOLET_FACTORY_BANK});
    ASSERT_EQ(vst3Info.status, 0) << vst3Info.err;
    ASSERT_EQ(bankInfo.status, 0) << bankInfo.err;
    ASSERT_TRUE(parseJson(vst3Info.out, vst3)) << vst3Info.out;
    ASSERT_TRUE(parseJson(bankInfo.out, bank)) << bankInfo.out;
    ASSERT_EQ(vst3["programs"].items.size(), 9u);
    ASSERT_EQ(bank["programs"].items.size(), 8u);
    EXPECT_EQ(vst3["currentProgram"].number, 0);
    EXPECT_EQ(vst3["programs"][0]["name"].text, "Defaults");
    for (size_t p = 0; p < 8; ++p)
        EXPECT_EQ(vst3["programs"][p + 1]["name"].text, bank["programs"][p]["name"].text);
    // The program change is no parameter of the panel.
    EXPECT_EQ(vst3["parameters"].items.size(), 24u);

    const std::string in = dir.file("in.wav");
    ASSERT_TRUE(writeSound(in, noiseSound(kRate, 2, seconds(1), 0.25f, 5)));
    const auto renderInto = [&](const std::string& out, std::vector<std::string> options) {
        std::vector<std::string> words = {"render", options[0], in, out, "--tail", "1", "--block", "random"};
        words.insert(words.end(), options.begin() + 1, options.end());
        const ToolResult result = runTool(words);
        EXPECT_EQ(result.status, 0) << result.err;
    };
    const std::string viaVst3 = dir.file("vst3.wav"), viaBank = dir.file("bank.wav");
    renderInto(viaVst3, {VARNOLET_VST3_BUNDLE, "--program", "0"});
    renderInto(viaBank, {VARNOLET_MODULE_PATH});
    EXPECT_EQ(runTool({"diff", viaVst3, viaBank}).status, 0) << "Defaults";
    for (int program = 0; program < 8; ++program) {
        renderInto(viaVst3, {VARNOLET_VST3_BUNDLE, "--program", std::to_string(program + 1)});
        renderInto(viaBank, {VARNOLET_MODULE_PATH, "--preset", VARNOLET_FACTORY_BANK, "--program",
                             std::to_string(program)});
        const ToolResult diff = runTool({"diff", viaVst3, viaBank});
        EXPECT_EQ(diff.status, 0) << "program " << program << "\n" << diff.out;
    }
}

}  // namespace
