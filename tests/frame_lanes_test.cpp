// Every width of lanes the engine can run its frames in, against the plain
// model of the delay's arithmetic, bit for bit: taps near and far, blocks of
// every length around the lead, loud and broken input, all three ways of
// writing the outputs.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/delay_engine.h"
#include "core/frame_lanes.h"
#include "tests/parameter_table.h"
#include "tests/reference_delay.h"

namespace {

// Restores the engine's lanes when a test is done with them.
class UsingLanes {
public:
    explicit UsingLanes(const varnolet::FrameLanes& lanes) : before(varnolet::frameLanes()) {
        varnolet::useFrameLanes(lanes);
    }
    ~UsingLanes() { varnolet::useFrameLanes(before); }

private:
    const varnolet::FrameLanes& before;
};

uint32_t bitsOf(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// A NaN from the host's own sample may come out with either operand's payload.
bool sameSample(float a, float b) {
    return (std::isnan(a) && std::isnan(b)) || bitsOf(a) == bitsOf(b);
}

class FrameLanesTest : public ::testing::TestWithParam<std::string> {
protected:
    const varnolet::FrameLanes* lanes() const {
        return GetParam() == "plain" ? &varnolet::plainFrameLanes() : varnolet::avx2FrameLanes();
    }
};

TEST_P(FrameLanesTest, EveryBlockMatchesTheModelToTheBit) {
    if (!lanes()) GTEST_SKIP() << "this processor or build has no " << GetParam() << " lanes";
    UsingLanes using_(*lanes());

    constexpr float kRate = 44100.0f;
    varnolet::DelayEngine engine;
    engine.allocate(kRate);
    ReferenceDelay reference(kRate);
    float p[table::kCount];
    for (int i = 0; i < table::kCount; ++i) p[i] = table::kRows[i].def;

    std::mt19937 random(17);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    // Tap delays in frames: one behind, either side of the lead the work
    // outside the filter may run ahead by, and far.
    const int delays[] = {1, 2, 3, 7, 8, 9, 10, 11, 12, 13, 16, 40, 300, 8820, 88200};
    const int sizes[] = {0, 1, 2, 3, 5, 11, 12, 13, 17, 64, 333, 512, 1024};
    for (int round = 0; round < 120; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        for (int tap = 0; tap < 4; ++tap) {
            // Half a frame above the delay, so that the truncated product lands on it.
            const int d = delays[random() % 15];
            p[4 * tap] = round % 5 == 4 ? 0.0f : (static_cast<float>(d) + 0.5f) / (kRate * 0.001f);
            p[4 * tap + 1] = 2.0f * unit(random) - 1.0f;
            p[4 * tap + 2] = 100.0f * unit(random);
            p[4 * tap + 3] = unit(random);
        }
        p[16] = unit(random);
        p[17] = 50.0f + 7950.0f * unit(random);
        p[18] = 0.01f + 0.99f * unit(random);
        p[19] = 4.0f * unit(random);
        // Leaning towards small values; the two factors drawn one after the
        // other, as every number here is, whatever order the compiler picks.
        const float firstFactor = unit(random);
        p[20] = firstFactor * unit(random);
        p[21] = 11.0f * unit(random);
        p[22] = 200.0f * unit(random);

        const int frames = sizes[random() % 13];
        std::vector<float> a(frames), b(frames);
        for (int i = 0; i < frames; ++i) {
            // Loud enough to drive the clipper to both of its levels.
            a[i] = 4.0f * unit(random) - 2.0f;
            b[i] = 4.0f * unit(random) - 2.0f;
        }
        if (frames > 3 && round % 7 == 3) {
            a[1] = NAN;
            b[2] = INFINITY;
            a[3] = -INFINITY;
        }
        std::vector<float> outLeft(frames), outRight(frames);
        for (int i = 0; i < frames; ++i) outLeft[i] = unit(random), outRight[i] = unit(random);
        std::vector<float> modelLeft = outLeft, modelRight = outRight;

        const int form = round % 3;  // separate outputs, in place, accumulating
        engine.setParameters(p);
        engine.setSampleRate(kRate);
        if (form == 1) {
            outLeft = a;
            outRight = b;
            engine.process(outLeft.data(), outRight.data(), outLeft.data(), outRight.data(),
                           frames, false);
        } else {
            engine.process(a.data(), b.data(), outLeft.data(), outRight.data(), frames, form == 2);
        }
        reference.block(p, kRate, a.data(), b.data(), modelLeft.data(), modelRight.data(), frames,
                        form == 2);
        for (int i = 0; i < frames; ++i) {
            ASSERT_TRUE(sameSample(outLeft[i], modelLeft[i])) << "frame " << i;
            ASSERT_TRUE(sameSample(outRight[i], modelRight[i])) << "frame " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, FrameLanesTest, ::testing::Values("plain", "avx2"),
                         [](const ::testing::TestParamInfo<std::string>& width) {
                             return width.param;
                         });

}  // namespace
