// The tail a host may stop processing after: endless while echoes recirculate
// or the filter does not decay, else as long as the output is heard after the
// input stops, measured.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/clap/clap_driver.h"

namespace {

constexpr uint32_t kEndless = INT32_MAX;  // and anything above
constexpr uint32_t kFeedback[4] = {2, 6, 10, 14};

std::vector<ParamChange> withoutFeedback() {
    std::vector<ParamChange> c;
    for (uint32_t id : kFeedback) c.push_back({0, id, 0.0});
    return c;
}

TEST(ClapTail, EndlessWhileAnyEchoRecirculatesOrTheFilterIsUndamped) {
    auto clap = ClapPlugin::create();
    ASSERT_TRUE(clap && clap->activate(44100.0));
    EXPECT_GE(clap->tail(), kEndless) << "tap 4 feeds back 40 % by default";
    clap->deactivate();
    clap->flush(withoutFeedback());
    EXPECT_LT(clap->tail(), kEndless);
    clap->flush({{0, 6, 0.5}});
    EXPECT_GE(clap->tail(), kEndless) << "a little feedback on tap 2";
    clap->flush({{0, 22, 0.0}});
    EXPECT_LT(clap->tail(), kEndless) << "no master feedback";
    clap->flush({{0, 18, 1.0}});
    EXPECT_GE(clap->tail(), kEndless) << "Filter Q 1";
}

// Loud noise, then silence: the output must have fallen below -100 dBFS when
// the tail has passed, and not long before. A tap at 0 ms reads the whole
// line, two seconds; the resonant low-pass rings on after the input stops.
TEST(ClapTail, CoversTheLastEchoAndTheFiltersRinging) {
    constexpr double kRate = 44100.0;
    auto clap = ClapPlugin::create();
    ASSERT_TRUE(clap && clap->activate(kRate));
    std::vector<ParamChange> setting = withoutFeedback();
    setting.insert(setting.end(), {{0, 0, 100.0}, {0, 4, 0.0}, {0, 8, 300.0}, {0, 12, 50.0},
                                   {0, 17, 100.0}, {0, 18, 0.9}, {0, 19, 1.0}});
    clap->process(nullptr, nullptr, nullptr, nullptr, 0, setting);
    const uint32_t tail = clap->tail();
    ASSERT_LT(tail, kEndless);
    EXPECT_GT(tail, 2 * kRate);

    const size_t loud = static_cast<size_t>(kRate / 2);
    Stereo in = noise(loud + tail + static_cast<size_t>(kRate), 9, 1.0f);
    std::fill(in.left.begin() + loud, in.left.end(), 0.0f);
    std::fill(in.right.begin() + loud, in.right.end(), 0.0f);
    Stereo out(in.frames());
    for (size_t at = 0; at < in.frames(); at += 4096) {
        const uint32_t frames = static_cast<uint32_t>(std::min<size_t>(4096, in.frames() - at));
        clap->process(&in.left[at], &in.right[at], &out.left[at], &out.right[at], frames);
    }
    size_t lastHeard = 0;
    for (size_t i = 0; i < out.frames(); ++i)
        if (std::fabs(out.left[i]) > 1e-5f || std::fabs(out.right[i]) > 1e-5f) lastHeard = i;
    const size_t heardAfterInput = lastHeard + 1 - loud;
    EXPECT_GT(heardAfterInput, 2 * kRate) << "the whole line's echo must be heard";
    EXPECT_LE(heardAfterInput, tail);
    EXPECT_LE(tail, heardAfterInput + kRate / 2) << "heard for " << heardAfterInput;
}

// A host that keeps the tail it asked for must hear when it changes, and
// only then.
TEST(ClapTail, TheHostIsToldWhenAnEventChangesIt) {
    auto clap = ClapPlugin::create();
    ASSERT_TRUE(clap && clap->activate(48000.0));
    float silence[64] = {}, out[2][64];
    auto block = [&](std::vector<ParamChange> changes) {
        clap->process(silence, silence, out[0], out[1], 64, changes);
        return clap->tailChanges();
    };
    EXPECT_EQ(block({}), 0);
    EXPECT_EQ(block({{10, 14, 0.0}}), 1);
    EXPECT_EQ(block({{10, 16, 0.3}}), 1) << "the mix changes no tail";
    EXPECT_EQ(block({{10, 0, 1500.0}}), 2);
    EXPECT_EQ(block({{10, 2, 20.0}, {20, 2, 30.0}}), 3) << "endless again, then still endless";
}

}  // namespace
