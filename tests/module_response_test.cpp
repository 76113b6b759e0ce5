// The effect measured from its output against the textbook response of what
// it claims to be, not against a model that repeats its formulas: a wrong
// formula in both would pass a comparison, but not these.
#include <cmath>
#include <vector>

#include "tests/module_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kRate = 48000.0f;

class ResponseTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        plugin->setSampleRate(kRate);
        plugin->setBlockSize(512);
        plugin->resume();
    }

    void setCutoff(double hertz) {
        plugin->setParameter(param::kCutoff, static_cast<float>(std::log(hertz / 50.0) /
                                                                std::log(8000.0 / 50.0)));
    }

    // Only tap 1, hard left at full level, 10 ms late; no feedback, no
    // drive, fully wet: the left output is the line's input 480 frames on.
    void oneTapHearingTheLine() {
        for (int tap = 2; tap <= 4; ++tap) plugin->setParameter(param::tapLevel(tap), 0.0f);
        for (int tap = 1; tap <= 4; ++tap) plugin->setParameter(param::tapFeedback(tap), 0.0f);
        setNative(param::tapTime(1), 10.0f, 0.0f, 2000.0f);
        plugin->setParameter(param::tapPan(1), 0.0f);
        plugin->setParameter(param::kWetDry, 1.0f);
    }

    // The ratio of the left output's RMS to the input's for a sine of the
    // given frequency, once the filter has settled.
    double sineGain(double hertz) {
        // Small enough that the soft clipper's cubic bends it by 1.5e-5.
        constexpr double kAmplitude = 0.01;
        const size_t frames = static_cast<size_t>(2 * kRate);
        std::vector<float> in(frames), right;
        for (size_t i = 0; i < frames; ++i)
            in[i] = static_cast<float>(kAmplitude * std::sin(2.0 * kPi * hertz * i / kRate));
        right = in;
        render(in, right, outL, outR);
        // The last half second: whole periods of any of the frequencies here.
        const size_t from = frames - static_cast<size_t>(kRate / 2);
        double out = 0.0, input = 0.0;
        for (size_t i = from; i < frames; ++i) {
            out += static_cast<double>(outL[i]) * outL[i];
            input += static_cast<double>(in[i - 480]) * in[i - 480];
        }
        return std::sqrt(out / input);
    }

    std::vector<float> outL, outR;
};

double decibels(double gain) { return 20.0 * std::log10(gain); }

TEST_F(ResponseTest, EachTapEchoesAtItsTimeWithItsPanAndLevel) {
    struct Tap {
        float ms, pan, level;
    };
    // Times, pans and levels whose normalised values are exact in binary, so
    // that what the host sends stands for them exactly.
    const Tap taps[4] = {{125.0f, -1.0f, 1.0f}, {250.0f, -0.5f, 0.75f},
                         {437.5f, 0.25f, 0.5f}, {750.0f, 1.0f, 0.375f}};
    for (int k = 0; k < 4; ++k) {
        setNative(param::tapTime(k + 1), taps[k].ms, 0.0f, 2000.0f);
        setNative(param::tapPan(k + 1), taps[k].pan, -1.0f, 1.0f);
        setNative(param::tapLevel(k + 1), taps[k].level, 0.0f, 1.0f);
        plugin->setParameter(param::tapFeedback(k + 1), 0.0f);
    }
    constexpr float kHeight = 0.01f;
    std::vector<float> left(static_cast<size_t>(kRate)), right;
    left[0] = kHeight;
    right = left;
    render(left, right, outL, outR);

    // An echo of the impulse at time t, split by the linear pan law: the
    // left side gets (1 - r), the right r, of the tap's level, where
    // r = (pan + 1) / 2. Within 1e-4 of its height: the soft clipper's cubic
    // takes 1.5e-5 off an impulse this small.
    std::vector<float> expectedL(outL.size()), expectedR(outR.size());
    for (const Tap& tap : taps) {
        const size_t at = static_cast<size_t>(std::lround(tap.ms * kRate / 1000.0f));
        const float r = (tap.pan + 1.0f) / 2.0f;
        expectedL[at] += kHeight * tap.level * (1.0f - r);
        expectedR[at] += kHeight * tap.level * r;
    }
    for (size_t i = 0; i < outL.size(); ++i) {
        ASSERT_NEAR(outL[i], expectedL[i], 1e-4 * kHeight) << "left, frame " << i;
        ASSERT_NEAR(outR[i], expectedR[i], 1e-4 * kHeight) << "right, frame " << i;
    }
}

TEST_F(ResponseTest, LowPassGainAtTheCutoffIsAboutOneOverTheDamping) {
    oneTapHearingTheLine();
    plugin->setParameter(param::kType, 0.25f);  // "Low"
    // Far below where the frequency coefficient reaches its ceiling
    // (about 1915 Hz at 48 kHz), where the state-variable filter's low-pass
    // output peaks at its cutoff with a gain of 1/q, q = 2 (1 - Q^¼).
    constexpr double kCutoff = 500.0;
    setCutoff(kCutoff);
    for (double filterQ : {0.1, 0.5, 0.9}) {
        SCOPED_TRACE(filterQ);
        setNative(param::kQ, static_cast<float>(filterQ), 0.01f, 1.0f);
        const double q = 2.0 * (1.0 - std::pow(filterQ, 0.25));
        EXPECT_NEAR(decibels(sineGain(kCutoff)), decibels(1.0 / q), 1.0);
    }
}

TEST_F(ResponseTest, LowPassIsDownAnOctaveAboveItsCutoff) {
    oneTapHearingTheLine();
    plugin->setParameter(param::kType, 0.25f);
    setCutoff(500.0);
    // A second-order low-pass falls 12 dB an octave; an octave above its
    // cutoff it is at least 8 dB down for any damping the parameter offers
    // up to "Filter Q" 0.9, and it passes low frequencies whole.
    for (double filterQ : {0.01, 0.1, 0.9}) {
        SCOPED_TRACE(filterQ);
        setNative(param::kQ, static_cast<float>(filterQ), 0.01f, 1.0f);
        EXPECT_LT(decibels(sineGain(1000.0)), -8.0);
        EXPECT_NEAR(decibels(sineGain(50.0)), 0.0, 0.5);
    }
}

}  // namespace
