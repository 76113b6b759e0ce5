// The bypass as a CLAP host uses it: the parameter flagged for the host's own
// bypass button, the input heard unchanged while it is on, switches either
// way that do not click, a line that goes on listening meanwhile, and states
// that carry it (older ones loading with the effect heard).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/bypass_switch.h"
#include "tests/clap/clap_driver.h"
#include "tests/first_version_state.h"

namespace {

constexpr uint32_t kBypass = 23;
constexpr double kRate = 48000.0;
constexpr uint32_t kBlock = 512;

// Renders the input through a new instance at the defaults in blocks of
// kBlock, switching the bypass at the frames given (on at the first, off at
// the second, ...); `bypassedFromStart` switches it on before the first block.
Stereo render(const Stereo& in, const std::vector<size_t>& switches, bool bypassedFromStart = false) {
    auto clap = ClapPlugin::create();
    EXPECT_NE(clap, nullptr);
    Stereo out(in.frames());
    if (!clap) return out;
    if (bypassedFromStart) clap->flush({{0, kBypass, 1.0}});
    EXPECT_TRUE(clap->activate(kRate));
    bool on = bypassedFromStart;
    size_t next = 0;
    for (size_t at = 0; at < in.frames(); at += kBlock) {
        const uint32_t frames = static_cast<uint32_t>(std::min<size_t>(kBlock, in.frames() - at));
        std::vector<ParamChange> changes;
        while (next < switches.size() && switches[next] < at + frames) {
            on = !on;
            changes.push_back({static_cast<uint32_t>(switches[next++] - at), kBypass, on ? 1.0 : 0.0});
        }
        clap->process(in.left.data() + at, in.right.data() + at, out.left.data() + at,
                      out.right.data() + at, frames, changes);
    }
    return out;
}

TEST(ClapBypass, IsTheParameterAfterTheModulesFlaggedAsTheBypassAndStepped) {
    auto clap = ClapPlugin::create();
    ASSERT_NE(clap, nullptr);
    const vclap_plugin_params_t* params = clap->params();
    ASSERT_EQ(params->count(clap->plugin()), 24u);
    vclap_param_info_t info;
    ASSERT_TRUE(params->get_info(clap->plugin(), kBypass, &info));
    EXPECT_EQ(info.id, kBypass);
    EXPECT_STREQ(info.name, "Bypass");
    EXPECT_EQ(info.flags, VCLAP_PARAM_IS_AUTOMATABLE | VCLAP_PARAM_IS_STEPPED | VCLAP_PARAM_IS_BYPASS);
    EXPECT_EQ(info.min_value, 0.0);
    EXPECT_EQ(info.max_value, 1.0);
    EXPECT_EQ(info.default_value, 0.0);
    EXPECT_EQ(clap->value(kBypass), 0.0);
    EXPECT_EQ(clap->text(kBypass, 1.0), "On");
    EXPECT_EQ(clap->text(kBypass, 0.0), "Off");
    double read = -1.0;
    EXPECT_TRUE(params->text_to_value(clap->plugin(), kBypass, "on", &read));
    EXPECT_EQ(read, 1.0);
    // A stepped value between the steps holds the nearer one.
    clap->flush({{0, kBypass, 0.7}});
    EXPECT_EQ(clap->value(kBypass), 1.0);
    EXPECT_FALSE(params->get_info(clap->plugin(), kBypass + 1, &info));
}

// A steady tone, bypassed a second in where the effect's output and the input
// differ most, and enabled again half a second later likewise.
TEST(ClapBypass, BypassedTheInputIsHeardAsItIsAndSwitchesEitherWayDoNotClick) {
    const size_t frames = static_cast<size_t>(2.5 * kRate);
    Stereo in(frames);
    in.left = bypass_switch::steadyTone(frames, kRate);
    in.right = in.left;
    const Stereo effect = render(in, {});
    const size_t second = static_cast<size_t>(kRate), landed =
        static_cast<size_t>(bypass_switch::kLandedAfterSeconds * kRate);
    const size_t off = bypass_switch::widestGap(effect.left, in.left, second, second + 2000);
    const size_t on = bypass_switch::widestGap(effect.left, in.left, off + second / 2, off + second / 2 + 2000);
    const Stereo out = render(in, {off, on});

    // Not bypassed and not switching: the effect's own bits.
    EXPECT_TRUE(bypass_switch::sameBits(out.left, effect.left, 0, off));
    EXPECT_TRUE(bypass_switch::sameBits(out.right, effect.right, 0, off));
    // Bypassed: the input's bits.
    EXPECT_TRUE(bypass_switch::sameBits(out.left, in.left, off + landed, on));
    EXPECT_TRUE(bypass_switch::sameBits(out.right, in.right, off + landed, on));
    // Enabled again: the line heard the tone all along, and the output is what
    // it would have been had the effect never been bypassed.
    EXPECT_TRUE(bypass_switch::sameBits(out.left, effect.left, on + landed, frames));
    EXPECT_TRUE(bypass_switch::sameBits(out.right, effect.right, on + landed, frames));

    const std::vector<float>* channels[2][3] = {{&out.left, &effect.left, &in.left},
                                                {&out.right, &effect.right, &in.right}};
    for (const auto& c : channels) {
        const std::vector<float>& heard = *c[0];
        const std::vector<float>& wet = *c[1];
        const std::vector<float>& dry = *c[2];
        for (size_t at : {off, on}) {
            SCOPED_TRACE(at == off ? "bypassing" : "enabling");
            const float bound = bypass_switch::clickFreeBound(wet, dry, at, landed);
            EXPECT_LE(bypass_switch::largestStep(heard, at - landed, at + landed), bound);
            // The test would see a switch without a fade: it would step by
            // the whole difference, far beyond the bound.
            EXPECT_GT(std::fabs(wet[at] - dry[at]), 4.0f * bound);
        }
    }
}

// A burst played while bypassed, the effect enabled before its first echo
// (tap 1, 200 ms, hard left) is due: the echo comes as if never bypassed.
TEST(ClapBypass, EchoesOfWhatWasPlayedWhileBypassedFollowWhenItEnds) {
    const size_t frames = static_cast<size_t>(0.5 * kRate), burst = 480;
    Stereo in = noise(frames, 5);
    std::fill(in.left.begin() + burst, in.left.end(), 0.0f);
    std::fill(in.right.begin() + burst, in.right.end(), 0.0f);
    const size_t enabled = static_cast<size_t>(0.1 * kRate);
    const Stereo out = render(in, {enabled}, true);
    const Stereo never = render(in, {});

    EXPECT_TRUE(bypass_switch::sameBits(out.left, in.left, 0, enabled));
    EXPECT_TRUE(bypass_switch::sameBits(out.left, never.left, enabled, frames));
    EXPECT_TRUE(bypass_switch::sameBits(out.right, never.right, enabled, frames));
    const auto peak = [](const std::vector<float>& x, size_t from, size_t to) {
        float largest = 0.0f;
        for (size_t i = from; i < to; ++i) largest = std::max(largest, std::fabs(x[i]));
        return largest;
    };
    // Nothing until the echo, then the burst again.
    const size_t echo = static_cast<size_t>(0.2 * kRate);
    EXPECT_EQ(peak(out.left, enabled, echo), 0.0f);
    EXPECT_GT(peak(out.left, echo, echo + burst), 0.5f * peak(in.left, 0, burst));
}

TEST(ClapBypass, StatesCarryItAndAnOlderStateLoadsWithTheEffectHeard) {
    auto saver = ClapPlugin::create(), loader = ClapPlugin::create();
    ASSERT_TRUE(saver && loader);
    saver->flush({{0, kBypass, 1.0}, {0, 0, 350.0}});
    ASSERT_TRUE(loader->load(saver->save()));
    EXPECT_EQ(loader->value(kBypass), 1.0);
    EXPECT_EQ(loader->value(0), 350.0);

    std::vector<float> values = {123.5f, 0.25f, 10, 0.5f, 1999, -0.75f, 0, 0.125f, 0, 1, 0, 0.9f,
                                 1.5f,   -0.2f, 0,  0.3f, 0.6f,  4321, 0.7f, 2.75f, 0.2f, 7.5f, 150};
    ASSERT_TRUE(loader->load(firstVersionState(values)));
    EXPECT_EQ(loader->value(kBypass), 0.0);
    for (uint32_t id = 0; id < 23; ++id) EXPECT_EQ(loader->value(id), values[id]) << id;
    // And it sounds: the output is not the input.
    ASSERT_TRUE(loader->activate(kRate));
    const Stereo in = noise(20000, 2);
    Stereo out(in.frames());
    loader->process(in.left.data(), in.right.data(), out.left.data(), out.right.data(), 20000);
    EXPECT_FALSE(sameBits(out, in));
}

}  // namespace
