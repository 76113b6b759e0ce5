// The effect's per-block preparation and the parts of it no host request
// reaches directly.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/filter_type_names.h"
#include "core/line_input_stage.h"
#include "core/plain_frame_arithmetic.h"
#include "core/tap_settings.h"
#include "effect/tolm_varnolet.h"
#include "vst/create_effect_instance.h"
#include "framework/cf_string.h"
#include "framework/value_name_registry.h"
#include "tests/parameter_table.h"
#include "tests/reference_delay.h"

namespace {

intptr_t VSTCALLBACK quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

std::vector<float> defaults() {
    std::vector<float> p;
    for (const auto& row : table::kRows) p.push_back(row.def);
    return p;
}

TEST(LineInputStage, FrequencyAndDampingCoefficients) {
    std::vector<float> p = defaults();
    auto c = varnolet::prepareLineInput(p.data(), 44100.0f);
    EXPECT_NEAR(c.f, 0.142355f, 5e-7f);
    EXPECT_NEAR(c.q, 0.8753f, 5e-5f);
    p[table::kCutoff] = 1760.0f;
    EXPECT_EQ(varnolet::prepareLineInput(p.data(), 44100.0f).f, 0.25f);
    p[table::kCutoff] = 50.0f;
    p[20] = 1.0f;  // a full sweep adds 7937.5 Hz
    EXPECT_EQ(varnolet::prepareLineInput(p.data(), 44100.0f).f, 0.25f);
    p[20] = 0.0f;
    p[18] = 0.01f;
    EXPECT_NEAR(varnolet::prepareLineInput(p.data(), 44100.0f).q, 1.3675f, 5e-5f);
    p[18] = 1.0f;
    EXPECT_EQ(varnolet::prepareLineInput(p.data(), 44100.0f).q, 0.0f);
}

TEST(LineInputStage, TheSineNeverFallsBelowZeroAtLowRates) {
    std::vector<float> p = defaults();
    p[table::kCutoff] = 8000.0f;
    p[20] = 1.0f;
    for (float rate : {100.0f, 1000.0f, 15937.5f, 20000.0f, 1.0f}) {
        auto c = varnolet::prepareLineInput(p.data(), rate);
        EXPECT_EQ(c.f, 0.25f) << rate;
    }
}

TEST(LineInputStage, ModeWeightsCrossfadeInACircle) {
    // type: thru, low, band, high
    const float rows[][5] = {{0, 1, 0, 0, 0},      {1, 0, 1, 0, 0},    {2, 0, 0, 1, 0},
                             {3, 0, 0, 0, 1},      {4, 1, 0, 0, 0},    {0.5f, 0.5f, 0.5f, 0, 0},
                             {1.5f, 0, 0.5f, 0.5f, 0}, {2.5f, 0, 0, 0.5f, 0.5f}, {3.5f, 0.5f, 0, 0, 0.5f}};
    std::vector<float> p = defaults();
    for (auto& row : rows) {
        p[19] = row[0];
        auto c = varnolet::prepareLineInput(p.data(), 44100.0f);
        EXPECT_EQ(c.wThru, row[1]) << row[0];
        EXPECT_EQ(c.wLow, row[2]) << row[0];
        EXPECT_EQ(c.wBand, row[3]) << row[0];
        EXPECT_EQ(c.wHigh, row[4]) << row[0];
    }
}

TEST(LineInputStage, DriveAndOutputGain) {
    std::vector<float> p = defaults();
    p[21] = 0.0f;
    auto c = varnolet::prepareLineInput(p.data(), 44100.0f);
    EXPECT_EQ(c.drive, 1.0f);
    EXPECT_EQ(c.outputGain, 1.0f);
    p[21] = 11.0f;
    c = varnolet::prepareLineInput(p.data(), 44100.0f);
    EXPECT_EQ(c.drive, 16.0f);
    EXPECT_EQ(c.outputGain, 0.125f);
    p[21] = 4.0f;
    c = varnolet::prepareLineInput(p.data(), 44100.0f);
    EXPECT_FLOAT_EQ(c.outputGain, 1.0f / (1.0f + 4.0f * 15.0f / 11.0f));
}

TEST(LineInputStage, SoftClipCurve) {
    using varnolet::plain::softClip;
    EXPECT_NEAR(softClip(0.5), 0.4815, 5e-5);
    EXPECT_NEAR(softClip(1.5), 1.0, 1e-7);
    EXPECT_EQ(softClip(1.5000001), 1.0);
    EXPECT_EQ(softClip(-7.0), -1.0);
    EXPECT_EQ(softClip(0.0), 0.0);
    EXPECT_NEAR(softClip(-0.2), -0.198815, 5e-7);
}

TEST(TapSettings, DelaysGainsAndMix) {
    std::vector<float> p = defaults();
    auto t = varnolet::prepareTaps(p.data(), 44100.0f, 88200);
    EXPECT_EQ(t.delay[0], 8820);
    EXPECT_EQ(t.delay[1], 17640);
    EXPECT_EQ(t.delay[2], 26460);
    EXPECT_EQ(t.delay[3], 35280);
    EXPECT_FLOAT_EQ(t.feedback[3], 0.4f);
    EXPECT_EQ(t.feedback[0], 0.0f);
    EXPECT_EQ(t.left[0], 1.0f);
    EXPECT_EQ(t.right[0], 0.0f);
    EXPECT_FLOAT_EQ(t.left[1], 2.0f / 3.0f);
    EXPECT_EQ(t.right[3], 1.0f);
    EXPECT_EQ(t.wet, 1.0f);
    EXPECT_EQ(t.dry, 0.0f);
    // A rate above the line's own never reads past its end.
    p[0] = 2000.0f;
    t = varnolet::prepareTaps(p.data(), 192000.0f, 88200);
    EXPECT_EQ(t.delay[0], 88200);
    p[22] = 200.0f;
    p[2] = 100.0f;
    EXPECT_EQ(varnolet::prepareTaps(p.data(), 44100.0f, 88200).feedback[0], 2.0f);
}

TEST(FilterTypeNames, NamesWithinTheirWindow) {
    using varnolet::filterTypeName;
    EXPECT_STREQ(filterTypeName(1.004f), "Low");
    EXPECT_EQ(filterTypeName(1.006f), nullptr);
    EXPECT_STREQ(filterTypeName(3.996f), "Thru");
    EXPECT_STREQ(filterTypeName(-0.004f), "Thru");
    EXPECT_EQ(filterTypeName(2.5f), nullptr);
    EXPECT_EQ(filterTypeName(4.006f), nullptr);
    EXPECT_EQ(filterTypeName(NAN), nullptr);
    EXPECT_EQ(filterTypeName(-1e30f), nullptr);
    EXPECT_EQ(filterTypeName(0.0f), filterTypeName(4.0f)) << "one shared text for Thru";
}

class EffectInstance : public ::testing::Test {
protected:
    void SetUp() override {
        effect.reset(static_cast<TolmVarnolet*>(createEffectInstance(quietHost)));
        ASSERT_NE(effect, nullptr);
    }
    std::unique_ptr<TolmVarnolet> effect;
};

TEST_F(EffectInstance, ValueNamesAreSharedAndCountedAcrossDisplayRequests) {
    char text[64];
    effect->setParameter(19, 0.0f);
    effect->getParameterDisplay(19, text);
    ASSERT_STREQ(text, "Thru");
    CFString* thru = stringForLiteral(varnolet::kFilterTypeNames[0]);
    EXPECT_EQ(thru->retainCount(), 1) << "only the registry holds it between requests";
    for (int i = 0; i < 5; ++i) effect->getParameterDisplay(19, text);
    EXPECT_EQ(thru->retainCount(), 1);

    const float zero = 0.0f, four = 4.0f;
    AudioUnitParameterValueName request{19, &zero, nullptr};
    EXPECT_EQ(effect->GetProperty(33, 0, 0, &request), 0);
    EXPECT_EQ(request.outName, thru);
    EXPECT_EQ(thru->retainCount(), 2);
    AudioUnitParameterValueName again{19, &four, nullptr};
    EXPECT_EQ(effect->GetProperty(33, 0, 0, &again), 0);
    EXPECT_EQ(again.outName, thru);
    EXPECT_EQ(thru->retainCount(), 3);
    thru->release();
    thru->release();
    EXPECT_EQ(thru->retainCount(), 1);
}

TEST_F(EffectInstance, PropertyHooksAnswerOnlyWhatTheyServe) {
    CFString* marker = reinterpret_cast<CFString*>(0x1);
    AudioUnitParameterValueName request{17, nullptr, marker};
    EXPECT_EQ(effect->GetProperty(33, 0, 0, &request), -10878);
    EXPECT_EQ(request.outName, marker);
    EXPECT_EQ(effect->GetProperty(30, 0, 0, &request), -10879);
    const float between = 2.5f;
    AudioUnitParameterValueName unnamed{19, &between, marker};
    EXPECT_EQ(effect->GetProperty(33, 0, 0, &unnamed), 0);
    EXPECT_EQ(unnamed.outName, nullptr);

    uint32_t size = 99;
    bool writable = true;
    EXPECT_EQ(effect->GetPropertyInfo(29, 0, 0, &size, &writable), 0);
    EXPECT_EQ(size, 4u);
    EXPECT_FALSE(writable);
    EXPECT_EQ(effect->GetPropertyInfo(33, 0, 0, &size, &writable), 0);
    EXPECT_EQ(size, sizeof(AudioUnitParameterValueName));
    size = 99;
    EXPECT_EQ(effect->GetPropertyInfo(30, 0, 0, &size, &writable), -10879);
    EXPECT_EQ(size, 99u);
    EXPECT_EQ(effect->getVersion(), 65543);
}

TEST_F(EffectInstance, AccumulatingFormAddsToTheOutputs) {
    ReferenceDelay reference(44100.0f);
    std::vector<float> p = defaults();
    effect->setParameter(16, 0.75f);
    p[16] = 0.75f;
    effect->setParameter(2, 0.5f);
    p[2] = 50.0f;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    for (int block = 0; block < 200; ++block) {
        std::vector<float> a(512), b(512), ol(512), orr(512);
        for (int i = 0; i < 512; ++i) a[i] = noise(random), b[i] = noise(random), ol[i] = noise(random), orr[i] = noise(random);
        std::vector<float> rl = ol, rr = orr;
        float* in[2] = {a.data(), b.data()};
        float* out[2] = {ol.data(), orr.data()};
        effect->processAccumulating(in, out, 512);
        reference.block(p.data(), 44100.0f, a.data(), b.data(), rl.data(), rr.data(), 512, true);
        ASSERT_EQ(ol, rl) << block;
        ASSERT_EQ(orr, rr) << block;
    }
}

TEST_F(EffectInstance, ResumeReallocatesTheLineForANewRateWithinTheCap) {
    effect->setSampleRate(4.0e6f);  // capped at two seconds of 768 kHz
    effect->resume();
    EXPECT_EQ(effect->engine().delayLength(), 1536000);
    effect->setSampleRate(48000.0f);
    effect->resume();
    EXPECT_EQ(effect->engine().delayLength(), 96000);
    EXPECT_EQ(effect->engine().writeIndex(), 0);
}

}  // namespace
