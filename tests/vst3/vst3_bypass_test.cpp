// The bypass as a VST3 host uses it: the parameter flagged for the host's own
// bypass, the input heard unchanged while it is on, a line that goes on
// listening meanwhile, and states that carry it, older ones loading with the
// effect heard.
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
    EXPECT_EQ(controller->setParamNormalized(kBypassId, 0.8), vst3::kResultOk);
    EXPECT_EQ(controller->getParamNormalized(kBypassId), 1.0);
}

// Switched by queue points within blocks: the effect's bits until the switch,
// the input's once the crossfade has landed, and the effect's again once
// enabled, as if never bypassed: the line went on listening. How a switch
// sounds is the effect core's, measured through the CLAP plug-in.
TEST_F(Vst3Bypass, BypassedTheInputIsHeardAsItIsAndTheLineListensMeanwhile) {
    const size_t frames = static_cast<size_t>(1.5 * kRate), off = 20000, on = 40000;
    const size_t landed = static_cast<size_t>(bypass_switch::kLandedAfterSeconds * kRate);
    const Stereo in = noise(frames, 6), effect = render(in, {}), out = render(in, {off, on});
    for (auto channel : {&Stereo::left, &Stereo::right}) {
        EXPECT_TRUE(bypass_switch::sameBits(out.*channel, effect.*channel, 0, off));
        EXPECT_TRUE(bypass_switch::sameBits(out.*channel, in.*channel, off + landed, on));
        EXPECT_TRUE(bypass_switch::sameBits(out.*channel, effect.*channel, on + landed, frames));
    }
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
    EXPECT_TRUE(heard == renderVst2(in, blockSizes(in.frames(), kBlock), 48000.0f, {0.25f}));
}

}  // namespace
