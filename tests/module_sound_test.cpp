// What the plug-in does to audio, heard through its record.
#include <cstring>
#include <random>
#include <set>

#include "tests/module_fixture.h"
#include "tests/parameter_table.h"
#include "tests/reference_delay.h"

namespace {

class SoundTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        for (int i = 0; i < table::kCount; ++i) natives[i] = table::kRows[i].def;
    }

    // Sets a parameter through the host interface and remembers the native
    // value it stands for, for the reference model.
    void set(int index, float x) {
        plugin->setParameter(index, x);
        natives[index] = table::native(index, x);
    }

    // An impulse of the given heights at frame 0 and silence after it.
    void impulse(float left, float right, size_t frames) {
        inL.assign(frames, 0.0f);
        inR.assign(frames, 0.0f);
        inL[0] = left;
        inR[0] = right;
        render(inL, inR, outL, outR);
    }

    size_t firstNonZero(const std::vector<float>& v, size_t from = 0) {
        for (size_t i = from; i < v.size(); ++i)
            if (v[i] != 0.0f) return i;
        return v.size();
    }

    float natives[table::kCount];
    std::vector<float> inL, inR, outL, outR;
};

// The clipper's answer to 0.2 with no drive: 0.2 - (4/27)·0.2³.
const float kShapedImpulse = 0.198815f;

TEST_F(SoundTest, ImpulseThroughTheDefaults) {
    impulse(0.2f, 0.2f, 44101);
    EXPECT_EQ(outL[0], 0.0f);
    EXPECT_EQ(outR[0], 0.0f);
    EXPECT_NEAR(outL[8820], 0.198815, 5e-7);
    EXPECT_EQ(outR[8820], 0.0f);
    EXPECT_NEAR(outL[17640], 0.132543, 5e-7);
    EXPECT_NEAR(outR[17640], 0.0662716, 5e-8);
    EXPECT_NEAR(outL[26460], 0.0662716, 5e-8);
    EXPECT_NEAR(outR[26460], 0.132543, 5e-7);
    EXPECT_EQ(outL[35280], 0.0f);
    EXPECT_NEAR(outR[35280], 0.198815, 5e-7);
    EXPECT_NEAR(outL[44100], 0.0794514, 5e-8);
    // Nothing else sounds before the fed-back echo.
    const std::set<size_t> echoes = {8820, 17640, 26460, 35280, 44100};
    for (size_t i = 0; i < outL.size(); ++i) {
        if (echoes.count(i)) continue;
        ASSERT_EQ(outL[i], 0.0f) << i;
        ASSERT_EQ(outR[i], 0.0f) << i;
    }
}

TEST_F(SoundTest, RenderedBlocksMatchTheDefinitionToTheBit) {
    // A busy setting that exercises every stage, changed between blocks, over
    // blocks of varied size.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    const float sampleRate = 44100.0f;
    ReferenceDelay reference(sampleRate);
    const float settings[][6] = {
        // feedback (all taps), type, saturation, Q, sweep, cutoff (normalised)
        {0.6f, 2.5f / 4, 5.0f / 11, 0.9f, 0.0f, 0.5f},
        {1.0f, 0.5f / 4, 1.0f, 1.0f, 0.3f, 0.25f},
        {0.3f, 3.5f / 4, 0.0f, 0.0f, 1.0f, 1.0f},
        {0.9f, 1.0f / 4, 0.2f, 0.5f, 0.0f, 0.0f},
    };
    set(param::kMasterFeedback, 0.75f);
    set(param::tapTime(1), 0.01f);
    set(param::tapTime(2), 0.0f);  // the longest delay of the line
    set(param::tapPan(3), 0.5f);
    set(param::tapLevel(4), 0.7f);
    set(param::kWetDry, 0.6f);
    const int sizes[] = {512, 1, 0, 17, 4096, 64, 333};
    int block = 0;
    for (int round = 0; round < 40; ++round) {
        const float* s = settings[round % 4];
        for (int tap = 1; tap <= 4; ++tap) set(param::tapFeedback(tap), s[0]);
        set(param::kType, s[1]);
        set(param::kSaturation, s[2]);
        set(param::kQ, s[3]);
        set(param::kSweep, s[4]);
        set(param::kCutoff, s[5]);
        // A tap one frame behind the write position every other few rounds.
        set(param::tapTime(3), round % 8 < 4 ? 1.2e-5f : 0.3f);
        const int frames = sizes[block++ % 7];
        std::vector<float> a(frames), b(frames), pl(frames), pr(frames), rl(frames), rr(frames);
        for (int i = 0; i < frames; ++i) {
            a[i] = noise(random);
            b[i] = round % 3 ? noise(random) : 0.0f;
        }
        float* in[2] = {a.data(), b.data()};
        float* out[2] = {pl.data(), pr.data()};
        plugin->processReplacing(in, out, frames);
        reference.block(natives, sampleRate, a.data(), b.data(), rl.data(), rr.data(), frames);
        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(pl[i], rl[i]) << "round " << round << " frame " << i;
            ASSERT_EQ(pr[i], rr[i]) << "round " << round << " frame " << i;
        }
    }
}

TEST_F(SoundTest, BlocksOfOneFrameHearEachChangeInTheFrameAfterIt) {
    // A host automating at the finest grain: one frame per block, and a
    // change before many of them, some followed by a block of no frames, some
    // writing the value already there; halfway the rate changes.
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    float sampleRate = 44100.0f;
    auto reference = std::make_unique<ReferenceDelay>(sampleRate);
    set(param::kMasterFeedback, 0.8f);
    set(param::tapTime(1), 0.002f);
    for (int tap = 1; tap <= 4; ++tap) set(param::tapFeedback(tap), 0.7f);
    set(param::kType, 1.5f / 4);
    const int changing[] = {param::kCutoff, param::kSaturation, param::kQ, param::kSweep,
                            param::kType, param::tapTime(2), param::kWetDry};
    float none[1] = {};
    for (int frame = 0; frame < 6000; ++frame) {
        if (frame == 3000) {
            plugin->suspend();
            plugin->setSampleRate(sampleRate = 48000.0f);
            plugin->resume();
            reference = std::make_unique<ReferenceDelay>(sampleRate);
        }
        const int index = changing[frame % 7];
        // The model maps the logarithmic cutoff exactly only where the
        // logarithm is: at the ends and the powers of two between them.
        const float value = index == param::kCutoff ? 0.25f * static_cast<float>(random() % 5)
                                                    : unit(random);
        switch (frame % 5) {
            case 0: set(index, value); break;
            case 1: {
                set(index, value);
                float* in[2] = {none, none};
                float* out[2] = {none, none};
                plugin->processReplacing(in, out, 0);
                break;
            }
            case 2: plugin->setParameter(index, plugin->getParameter(index)); break;
            default: break;
        }
        float a = 2.0f * unit(random) - 1.0f, b = 2.0f * unit(random) - 1.0f;
        float left = 0.0f, right = 0.0f, expectedLeft = 0.0f, expectedRight = 0.0f;
        float* in[2] = {&a, &b};
        float* out[2] = {&left, &right};
        plugin->processReplacing(in, out, 1);
        reference->block(natives, sampleRate, &a, &b, &expectedLeft, &expectedRight, 1);
        ASSERT_EQ(left, expectedLeft) << "frame " << frame;
        ASSERT_EQ(right, expectedRight) << "frame " << frame;
    }
}

TEST_F(SoundTest, ATapOfZeroMillisecondsSoundsAfterTheWholeLine) {
    set(param::tapTime(1), 0.0f);
    set(param::kMasterFeedback, 0.0f);
    for (int tap = 2; tap <= 4; ++tap) set(param::tapLevel(tap), 0.0f);
    impulse(0.2f, 0.2f, 88201);
    EXPECT_EQ(firstNonZero(outL), 88200u);
    EXPECT_NEAR(outL[88200], kShapedImpulse, 5e-7);
}

TEST_F(SoundTest, WetDryMix) {
    // mix: wet gain, dry gain
    const float rows[][3] = {{0.0f, 0, 1}, {0.25f, 0.5f, 1}, {0.5f, 1, 1}, {0.75f, 1, 0.5f},
                             {1.0f, 1, 0}};
    for (auto& row : rows) {
        SCOPED_TRACE(row[0]);
        set(param::kWetDry, row[0]);
        impulse(0.2f, 0.2f, 8821);
        EXPECT_FLOAT_EQ(outL[0], 0.2f * row[2]);
        EXPECT_FLOAT_EQ(outR[0], 0.2f * row[2]);
        EXPECT_NEAR(outL[8820], kShapedImpulse * row[1], 5e-7);
        // Let the line empty before the next row.
        std::vector<float> silence(100000, 0.0f), silenceR = silence;
        set(param::kMasterFeedback, 0.0f);
        render(silence, silenceR, outL, outR);
        set(param::kMasterFeedback, 0.5f);
    }
}

TEST_F(SoundTest, PanLawIsLinear) {
    set(param::tapPan(1), 0.5f);  // centre
    set(param::tapPan(4), 0.0f);  // hard left
    impulse(0.2f, 0.2f, 35281);
    EXPECT_NEAR(outL[8820], kShapedImpulse * 0.5f, 5e-7);
    EXPECT_NEAR(outR[8820], kShapedImpulse * 0.5f, 5e-7);
    EXPECT_NEAR(outL[35280], kShapedImpulse, 5e-7);
    EXPECT_EQ(outR[35280], 0.0f);
}

TEST_F(SoundTest, MasterFeedbackZeroRemovesAllFeedback) {
    for (int tap = 1; tap <= 4; ++tap) set(param::tapFeedback(tap), 1.0f);
    set(param::kMasterFeedback, 0.0f);
    impulse(0.2f, 0.2f, 100000);
    const std::set<size_t> echoes = {8820, 17640, 26460, 35280};
    for (size_t i = 0; i < outL.size(); ++i)
        if (!echoes.count(i)) {
            ASSERT_TRUE(outL[i] == 0.0f && outR[i] == 0.0f) << i;
        }
}

TEST_F(SoundTest, AnImpulseOnOneChannelEntersTheLineAtHalfHeight) {
    set(param::kWetDry, 0.5f);
    impulse(0.4f, 0.0f, 8821);
    EXPECT_FLOAT_EQ(outL[0], 0.4f);  // dry, on its own channel
    EXPECT_EQ(outR[0], 0.0f);
    EXPECT_NEAR(outL[8820], kShapedImpulse, 5e-7);
}

TEST_F(SoundTest, ProcessingInPlaceEqualsSeparateBuffers) {
    auto second = newInstance();
    for (auto* p : {plugin.get(), second.get()}) {
        p->setParameter(param::tapTime(1), 0.001f);
        p->setParameter(param::tapFeedback(1), 0.8f);
        p->setParameter(param::kWetDry, 0.4f);
        p->setParameter(param::kType, 0.6f);
    }
    std::mt19937 random(3);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    for (int block = 0; block < 50; ++block) {
        std::vector<float> a(256), b(256);
        for (int i = 0; i < 256; ++i) a[i] = noise(random), b[i] = noise(random);
        std::vector<float> ol(256, 9.0f), orr(256, 9.0f), ia = a, ib = b;
        float* in[2] = {a.data(), b.data()};
        float* out[2] = {ol.data(), orr.data()};
        plugin->processReplacing(in, out, 256);
        float* inPlace[2] = {ia.data(), ib.data()};
        second->processReplacing(inPlace, inPlace, 256);
        ASSERT_EQ(ia, ol) << block;
        ASSERT_EQ(ib, orr) << block;
    }
}

TEST_F(SoundTest, EchoesSurviveSuspendResumeAndProgramChanges) {
    inL.assign(5000, 0.0f);
    inR.assign(5000, 0.0f);
    inL[0] = inR[0] = 0.2f;
    render(inL, inR, outL, outR);
    plugin->suspend();
    plugin->resume();
    plugin->setProgram(1);
    plugin->resume();
    std::vector<float> rest(5000, 0.0f), restR = rest;
    render(rest, restR, outL, outR);
    EXPECT_NEAR(outL[3820], kShapedImpulse, 5e-7);
    EXPECT_EQ(firstNonZero(outL), 3820u);
}

TEST_F(SoundTest, AProgramChosenBetweenBlocksIsHeardFromTheNextFrameOn) {
    // Program 1 is all dry; program 0 all wet. Each has had one value written
    // since it was made, so only which program is current tells them apart.
    plugin->setProgram(1);
    plugin->setParameter(param::kWetDry, 0.0f);
    plugin->setProgram(0);
    plugin->setParameter(param::tapLevel(1), 1.0f);
    std::vector<float> in = {0.25f}, silence = {0.0f}, left(1), right(1);
    for (int frame = 0; frame < 3; ++frame) {
        render(in, in, left, right);
        EXPECT_EQ(left[0], 0.0f) << "wet only, and no echo yet, at frame " << frame;
    }
    plugin->setProgram(1);
    render(in, silence, left, right);
    EXPECT_EQ(left[0], 0.25f);
    EXPECT_EQ(right[0], 0.0f);
    plugin->setProgram(0);
    render(in, in, left, right);
    EXPECT_EQ(left[0], 0.0f);
}

TEST_F(SoundTest, EmptyAndInvalidCallsChangeNothing) {
    auto second = newInstance();
    std::vector<float> a(9000, 0.0f), b(9000, 0.0f), ol(9000, 5.0f), orr(9000, 5.0f);
    a[0] = b[0] = 0.2f;
    float* in[2] = {a.data(), b.data()};
    float* out[2] = {ol.data(), orr.data()};
    float* nullChannel[2] = {a.data(), nullptr};
    plugin->processReplacing(in, out, 0);
    plugin->processReplacing(in, out, -5);
    plugin->processReplacing(nullptr, out, 512);
    plugin->processReplacing(in, nullptr, 512);
    plugin->processReplacing(nullChannel, out, 512);
    plugin->processReplacing(in, nullChannel, 512);
    EXPECT_EQ(ol[0], 5.0f) << "no output was written";
    // The line and the filter moved on by nothing: the echo comes where an
    // untouched instance has it.
    plugin->processReplacing(in, out, 9000);
    std::vector<float> sl(9000), sr(9000);
    float* secondOut[2] = {sl.data(), sr.data()};
    second->processReplacing(in, secondOut, 9000);
    EXPECT_EQ(ol, sl);
    EXPECT_EQ(orr, sr);
}

TEST_F(SoundTest, TheLineFollowsTheSampleRate) {
    set(param::tapTime(1), 1.0f);  // 2000 ms
    set(param::kMasterFeedback, 0.0f);
    for (int tap = 2; tap <= 4; ++tap) set(param::tapLevel(tap), 0.0f);
    // Processing at 96 kHz before any resume: the line still holds two
    // seconds at 44100 Hz, and the tap keeps within it.
    plugin->setSampleRate(96000.0f);
    impulse(0.2f, 0.2f, 88201);
    EXPECT_EQ(firstNonZero(outL), 88200u);
    plugin->resume();
    impulse(0.2f, 0.2f, 192001);
    EXPECT_EQ(firstNonZero(outL), 192000u);
    EXPECT_NEAR(outL[192000], kShapedImpulse, 5e-7);
    // An unchanged rate keeps the echoes: a resume halfway through does not
    // clear the line.
    inL.assign(100000, 0.0f);
    inR.assign(100000, 0.0f);
    inL[0] = inR[0] = 0.2f;
    render(inL, inR, outL, outR);
    plugin->resume();
    std::vector<float> rest(92001, 0.0f), restR = rest;
    render(rest, restR, outL, outR);
    EXPECT_EQ(firstNonZero(outL), 92000u);
}

TEST_F(SoundTest, ExtremeRatesStayInsideTheLineAndFinite) {
    for (float rate : {1.0f, 0.5f, 8000.0f, 768000.0f, 4.0e6f, 3.0e38f}) {
        SCOPED_TRACE(rate);
        plugin->setSampleRate(rate);
        plugin->resume();
        set(param::kCutoff, 1.0f);
        set(param::kSweep, 1.0f);
        set(param::kType, 0.5f);
        std::vector<float> a(3000), b(3000);
        for (size_t i = 0; i < a.size(); ++i) a[i] = b[i] = (i % 100) / 50.0f - 1.0f;
        render(a, b, outL, outR, 1000);
        for (size_t i = 0; i < a.size(); ++i)
            ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i])) << i;
    }
}

TEST_F(SoundTest, BadInputSamplesDoNotPoisonTheEffect) {
    for (int tap = 1; tap <= 4; ++tap) set(param::tapFeedback(tap), 1.0f);
    set(param::kType, 0.5f);
    set(param::kWetDry, 0.5f);
    std::vector<float> a(4000, 0.25f), b(4000, -0.25f);
    a[10] = NAN;
    b[11] = INFINITY;
    a[12] = -INFINITY;
    b[12] = INFINITY;
    render(a, b, outL, outR, 256);
    std::vector<float> clean(200000, 0.1f), cleanR = clean;
    render(clean, cleanR, outL, outR, 512);
    for (size_t i = 0; i < clean.size(); ++i)
        ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i])) << i;
}

TEST_F(SoundTest, EveryExtremeSettingStaysFiniteOnSawAndSquare) {
    std::mt19937 random(11);
    std::vector<float> saw(4096), square(4096);
    for (size_t i = 0; i < saw.size(); ++i) {
        saw[i] = static_cast<float>(i % 97) / 48.5f - 1.0f;
        square[i] = (i / 61) % 2 ? 1.0f : -1.0f;
    }
    for (int setting = 0; setting < 48; ++setting) {
        for (int p = 0; p < table::kCount; ++p) {
            const float x = setting == 0 ? 0.0f : setting == 1 ? 1.0f : static_cast<float>(random() % 2);
            plugin->setParameter(p, x);
        }
        for (int block = 0; block < 24; ++block) {
            const size_t frames = static_cast<size_t>(random() % 4097);
            std::vector<float> a(saw.begin(), saw.begin() + frames),
                b(square.begin(), square.begin() + frames);
            std::vector<float> ol(frames), orr(frames);
            float* in[2] = {a.data(), b.data()};
            float* out[2] = {ol.data(), orr.data()};
            plugin->processReplacing(in, out, static_cast<int32_t>(frames));
            for (size_t i = 0; i < frames; ++i)
                ASSERT_TRUE(std::isfinite(ol[i]) && std::isfinite(orr[i]))
                    << "setting " << setting << " block " << block << " frame " << i;
        }
    }
}

}  // namespace
