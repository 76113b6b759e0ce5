// The bundle sounds as the VST 2.4 module does, bit for bit: at any fixed
// block size and at blocks of any size, at 44.1 and 96 kHz, at the defaults,
// a busy setting and random ones; and a change at a frame of a block sounds
// as the module's with its block split there.
#include <random>
#include <string>
#include <vector>

#include "tests/vst3/vst3_fixture.h"

namespace {

// Every tap feeding back, the filter between band and high with a high Q,
// the saturation driving, and tap 2 two whole seconds back: at 96 kHz past
// the end of a line made for 44.1 kHz.
std::vector<float> busySetting() {
    std::vector<float> v = {0.125f, 0.0f, 0.5f,  1.0f,   1.0f,  0.25f, 0.25f, 1.0f,
                            0.375f, 0.625f, 0.375f, 1.0f, 0.4f, 1.0f,  0.625f, 0.75f,
                            0.75f,  0.5f,   0.875f, 0.625f, 0.25f, 0.5f, 0.75f};
    return v;
}

std::vector<float> randomSetting(uint32_t seed) {
    std::mt19937 draw(seed);
    std::vector<float> v(kParameterCount);
    for (float& x : v) x = static_cast<float>(draw() >> 8) * 0x1p-24f;
    return v;
}

struct Case {
    const char* name;
    std::vector<float> setting;
};

class Vst3SameBits : public Vst3Test, public ::testing::WithParamInterface<double> {};

TEST_P(Vst3SameBits, AsTheVst2ModuleAtEveryBlockSize) {
    const double rate = GetParam();
    // Past two seconds, so that the tap two seconds back sounds too.
    const size_t frames = static_cast<size_t>(2.1 * rate);
    const Stereo input = noise(frames, 11);
    const Case cases[] = {{"defaults", {}}, {"busy", busySetting()},
                          {"random", randomSetting(5)}};
    Stereo defaults;
    for (const Case& c : cases) {
        for (int32_t block : {1, 64, 4096, 0}) {
            const std::vector<int32_t> blocks = blockSizes(frames, block);
            const Stereo viaVst3 = renderVst3(input, blocks, rate, c.setting);
            const Stereo viaVst2 = renderVst2(input, blocks, static_cast<float>(rate), c.setting);
            EXPECT_TRUE(viaVst3 == viaVst2) << c.name << " at block " << (block ? block : -1) << ", "
                                      << rate << " Hz";
            if (c.setting.empty() && block == 64) defaults = viaVst3;
            if (!c.setting.empty() && block == 64) {
                EXPECT_FALSE(viaVst3 == defaults) << c.name;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, Vst3SameBits, ::testing::Values(44100.0, 96000.0));

// A point at frame k of a 512-frame block: the frames before k keep the old
// value, those from k on have the new one, as the module's block split at k.
TEST_F(Vst3Test, AChangeAtAFrameSoundsAsTheModuleWithItsBlockSplitThere) {
    const double rate = 48000.0;
    const size_t frames = 48 * 512;
    const Stereo input = noise(frames, 4);
    const std::vector<float> start = busySetting();
    for (int32_t k : {1, 32, 255, 511}) {
        auto plugin = newInstance();
        std::string error;
        ASSERT_TRUE(plugin->activate(rate, 512, error)) << error;
        auto module = newVst2Instance();
        module->prepare(static_cast<float>(rate), 512);
        Vst3ParameterChanges changes(kParameterCount, 4);
        Stereo out3(frames), out2(frames);
        for (size_t block = 0; block * 512 < frames; ++block) {
            const size_t at = block * 512;
            // The cutoff and the first tap's time change in every block,
            // at frame k; the first block also sets every parameter at 0.
            const float cutoff = static_cast<float>((block * 37) % 100) / 100.0f;
            const float tap = static_cast<float>((block * 11) % 50) / 100.0f;
            changes.clear();
            if (block == 0)
                for (int32_t i = 0; i < kParameterCount; ++i) {
                    changes.add(static_cast<vst3::ParamID>(i), 0, start[static_cast<size_t>(i)]);
                    module->setParameter(i, start[static_cast<size_t>(i)]);
                }
            changes.add(17, k, cutoff);
            changes.add(0, k, tap);
            float* in[2] = {const_cast<float*>(input.left.data()) + at,
                            const_cast<float*>(input.right.data()) + at};
            float* out[2] = {out3.left.data() + at, out3.right.data() + at};
            ASSERT_EQ(plugin->process(in, 2, out, 2, 512, &changes), vst3::kResultOk);

            float* inA[2] = {in[0], in[1]};
            float* outA[2] = {out2.left.data() + at, out2.right.data() + at};
            module->processReplacing(inA, outA, k);
            module->setParameter(17, cutoff);
            module->setParameter(0, tap);
            float* inB[2] = {in[0] + k, in[1] + k};
            float* outB[2] = {outA[0] + k, outA[1] + k};
            module->processReplacing(inB, outB, 512 - k);
        }
        EXPECT_TRUE(out3 == out2) << "change at frame " << k;
    }
}

// Each activation starts from silence: echoes of the last one are gone.
TEST_F(Vst3Test, EachActivationStartsFromSilence) {
    auto plugin = newInstance();
    std::string error;
    ASSERT_TRUE(plugin->activate(44100.0, 512, error)) << error;
    Stereo loud = noise(512, 1), silent(512), out(512);
    float* in[2] = {loud.left.data(), loud.right.data()};
    float* o[2] = {out.left.data(), out.right.data()};
    ASSERT_EQ(plugin->process(in, 2, o, 2, 512), vst3::kResultOk);
    plugin->deactivate();
    ASSERT_TRUE(plugin->activate(44100.0, 512, error)) << error;
    float* quiet[2] = {silent.left.data(), silent.right.data()};
    bool heard = false;
    // The first tap sounds 200 ms on: after it, with feedback, it would ring.
    for (int block = 0; block < 100; ++block) {
        ASSERT_EQ(plugin->process(quiet, 2, o, 2, 512), vst3::kResultOk);
        for (size_t i = 0; i < 512; ++i) heard |= out.left[i] != 0.0f || out.right[i] != 0.0f;
    }
    EXPECT_FALSE(heard);

    // Without the reactivation the same silence carries the echoes.
    auto other = newInstance();
    ASSERT_TRUE(other->activate(44100.0, 512, error)) << error;
    ASSERT_EQ(other->process(in, 2, o, 2, 512), vst3::kResultOk);
    for (int block = 0; block < 100; ++block) {
        ASSERT_EQ(other->process(quiet, 2, o, 2, 512), vst3::kResultOk);
        for (size_t i = 0; i < 512; ++i) heard |= out.left[i] != 0.0f || out.right[i] != 0.0f;
    }
    EXPECT_TRUE(heard);
}

// The tail hosts stop processing after: endless while an echo recirculates,
// else the longest tap's delay (0 ms reads the whole line, two seconds) and
// a little ringing, counted at the rate the host set up.
TEST_F(Vst3Test, TheTailIsEndlessWhileEchoesRecirculateElseTheLineAtTheHostsRate) {
    auto plugin = newInstance();
    std::string error;
    ASSERT_TRUE(plugin->activate(48000.0, 512, error)) << error;
    EXPECT_EQ(plugin->processor()->getTailSamples(), vst3::kInfiniteTail)
        << "tap 4 feeds back by default";
    Vst3ParameterChanges changes(kParameterCount, 1);
    for (vst3::ParamID feedback : {2u, 6u, 10u, 14u}) changes.add(feedback, 0, 0.0);
    changes.add(0, 0, 0.0);
    Stereo silent(64), out(64);
    float* in[2] = {silent.left.data(), silent.right.data()};
    float* o[2] = {out.left.data(), out.right.data()};
    ASSERT_EQ(plugin->process(in, 2, o, 2, 64, &changes), vst3::kResultOk);
    const vst3::uint32 tail = plugin->processor()->getTailSamples();
    EXPECT_GE(tail, 2u * 48000u);
    EXPECT_LT(tail, 2u * 48000u + 24000u);
}

}  // namespace
