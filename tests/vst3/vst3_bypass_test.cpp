// The bypass as a VST3 host uses it: the parameter flagged for the host's own
// bypass, the input heard unchanged while it is on, switches either way that
// do not click, a line that goes on listening meanwhile, and states that
// carry it, older ones loading with the effect heard.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/bypass_switch.h"
#include "tests/first_version_state.h"
#include "tests/vst3/vst3_fixture.h"

namespace {

constexpr double kRate = 48000.0;
constexpr int32_t kBlock = 512;

std::string ascii(const vst3::TChar* text) {
    std::string out;
    for (size_t i = 0; i < 128 && text[i]; ++i) out += static_cast<char>(text[i]);
    return out;
}

class Vst3Bypass : public Vst3Test {
protected:
    // The input through a new instance at the defaults in blocks of kBlock,
    // processed in place, the bypass switched by queue points at the frames
    // given (on at the first, off at the second, ...).
    Stereo render(const Stereo& input, const std::vector<size_t>& switches,
                  Vst3Instance* plugin = nullptr) {
        std::unique_ptr<Vst3Instance> made;
        if (!plugin) {
            made = newInstance();
            plugin = made.get();
        }
        std::string error;
        EXPECT_TRUE(plugin->activate(kRate, kBlock, error)) << error;
        Stereo io = input;
        Vst3ParameterChanges changes(1, 4);
        bool on = false;
        size_t next = 0;
        for (size_t at = 0; at < io.frames(); at += kBlock) {
            const int32_t frames = static_cast<int32_t>(std::min<size_t>(kBlock, io.frames() - at));
            changes.clear();
            while (next < switches.size() && switches[next] < at + static_cast<size_t>(frames)) {
                on = !on;
                changes.add(kBypassId, static_cast<int32_t>(switches[next++] - at), on ? 1.0 : 0.0);
            }
            float* channels[2] = {io.left.data() + at, io.right.data() + at};
            plugin->process(channels, 2, channels, 2, frames, changes.empty() ? nullptr : &changes);
        }
        return io;
    }
};

TEST_F(Vst3Bypass, IsTheParameterAfterTheModulesFlaggedAsTheBypassWithOneStep) {
    auto plugin = newInstance();
    vst3::IEditController* controller = plugin->controller();
    ASSERT_NE(controller, nullptr);
    vst3::ParameterInfo info;
    ASSERT_EQ(controller->getParameterInfo(kParameterCount, info), vst3::kResultOk);
    EXPECT_EQ(info.id, kBypassId);
    EXPECT_EQ(ascii(info.title), "Bypass");
    EXPECT_EQ(info.stepCount, 1);
    EXPECT_EQ(info.flags, vst3::ParameterInfo::kCanAutomate | vst3::ParameterInfo::kIsBypass);
    EXPECT_EQ(info.defaultNormalizedValue, 0.0);
    EXPECT_EQ(controller->getParamNormalized(kBypassId), 0.0);
    vst3::String128 shown;
    ASSERT_EQ(controller->getParamStringByValue(kBypassId, 1.0, shown), vst3::kResultOk);
    EXPECT_EQ(ascii(shown), "On");
    ASSERT_EQ(controller->getParamStringByValue(kBypassId, 0.0, shown), vst3::kResultOk);
    EXPECT_EQ(ascii(shown), "Off");
    vst3::ParamValue typed = -1.0;
    ASSERT_EQ(controller->getParamValueByString(kBypassId, shown, typed), vst3::kResultOk);
    EXPECT_EQ(typed, 0.0);
    EXPECT_EQ(controller->setParamNormalized(kBypassId, 0.8), vst3::kResultOk);
    EXPECT_EQ(controller->getParamNormalized(kBypassId), 1.0);
}

// A steady tone, bypassed a second in where the effect's output and the input
// differ most, and enabled again half a second later likewise.
TEST_F(Vst3Bypass, BypassedTheInputIsHeardAsItIsAndSwitchesEitherWayDoNotClick) {
    const size_t frames = static_cast<size_t>(2.5 * kRate);
    Stereo in(frames);
    in.left = bypass_switch::steadyTone(frames, kRate);
    in.right = bypass_switch::steadyTone(frames, kRate, 0.25f);
    const Stereo effect = render(in, {});
    const size_t second = static_cast<size_t>(kRate),
                 landed = static_cast<size_t>(bypass_switch::kLandedAfterSeconds * kRate);
    const size_t off = bypass_switch::widestGap(effect.right, in.right, second, second + 2000);
    const size_t on =
        bypass_switch::widestGap(effect.right, in.right, off + second / 2, off + second / 2 + 2000);
    const Stereo out = render(in, {off, on});

    const std::vector<float>* channels[2][3] = {{&out.left, &effect.left, &in.left},
                                                {&out.right, &effect.right, &in.right}};
    for (const auto& c : channels) {
        const std::vector<float>& heard = *c[0];
        const std::vector<float>& wet = *c[1];
        const std::vector<float>& dry = *c[2];
        EXPECT_TRUE(bypass_switch::sameBits(heard, wet, 0, off));
        EXPECT_TRUE(bypass_switch::sameBits(heard, dry, off + landed, on));
        // The line heard the tone all along.
        EXPECT_TRUE(bypass_switch::sameBits(heard, wet, on + landed, frames));
        for (size_t at : {off, on}) {
            const float bound = bypass_switch::clickFreeBound(wet, dry, at, landed);
            EXPECT_LE(bypass_switch::largestStep(heard, at - landed, at + landed), bound) << at;
        }
    }
    EXPECT_GT(std::fabs(effect.right[off] - in.right[off]),
              4.0f * bypass_switch::clickFreeBound(effect.right, in.right, off, landed));
    // Switched at the first frame since the activation, it holds from there:
    // nothing had been heard to crossfade from.
    EXPECT_TRUE(render(in, {0}) == in);
}

TEST_F(Vst3Bypass, StatesCarryItAndAnOlderStateLoadsWithTheEffectHeard) {
    auto bypassed = newInstance();
    Vst3ParameterChanges changes(2, 1);
    changes.add(kBypassId, 0, 1.0);
    changes.add(0, 0, 0.25);
    bypassed->process(nullptr, 0, nullptr, 0, 0, &changes);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(bypassed->saveState(bytes));

    auto restored = newInstance();
    ASSERT_TRUE(restored->loadState(bytes));
    EXPECT_EQ(restored->controller()->getParamNormalized(kBypassId), 1.0);
    EXPECT_EQ(restored->controller()->getParamNormalized(0), 0.25);
    const Stereo in = noise(20000, 4);
    EXPECT_TRUE(render(in, {}, restored.get()) == in);

    // Saved before there was a bypass, into the bypassed instance.
    std::vector<float> values = {200, -1, 0, 1, 400, -0.33333334f, 0, 1, 600, 0.33333334f, 0, 1,
                                 800, 1,  40, 1, 1, 1000, 0.1f,  0, 0, 0, 100};
    values[0] = 500.0f;
    ASSERT_TRUE(restored->loadState(firstVersionState(values)));
    EXPECT_EQ(restored->controller()->getParamNormalized(kBypassId), 0.0);
    EXPECT_EQ(restored->controller()->getParamNormalized(0), 0.25);
    restored->deactivate();
    const Stereo heard = render(in, {}, restored.get());
    EXPECT_FALSE(heard == in);
    auto module = newVst2Instance();
    module->setParameter(0, 0.25f);
    EXPECT_TRUE(heard == renderVst2(in, blockSizes(in.frames(), kBlock), 48000.0f, {0.25f}));
}

}  // namespace
