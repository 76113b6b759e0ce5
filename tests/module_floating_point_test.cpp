// The floating-point mode around a block, seen from the host's side: the
// plug-in computes in its own mode whatever the host's is, and the host gets
// back exactly the register it had, its exception flags included.
#include "tests/module_fixture.h"

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

#include <random>

namespace {

#if defined(__SSE2__)

constexpr unsigned kProcessingMode = 0x1F80u | 0x8000u | 0x0040u;  // masked, nearest, FTZ, DAZ
constexpr unsigned kPrecisionFlag = 0x0020u;
constexpr unsigned kAllFlags = 0x003Fu;

class FloatingPointModeTest : public ModuleTest {
protected:
    // Renders the same noise (with numbers too small to matter among it) in
    // blocks, entering every block in the given host mode; remembers the
    // first mode a block left behind that was not the host's.
    std::vector<float> renderIn(PluginInstance& instance, unsigned hostMode) {
        std::mt19937 random(9);
        std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
        std::vector<float> rendered;
        const unsigned testMode = _mm_getcsr();
        for (int block = 0; block < 40; ++block) {
            std::vector<float> a(97), b(97), ol(97), orr(97);
            for (size_t i = 0; i < a.size(); ++i) {
                a[i] = noise(random);
                b[i] = i % 5 ? noise(random) : 1.0e-40f;
            }
            float* in[2] = {a.data(), b.data()};
            float* out[2] = {ol.data(), orr.data()};
            _mm_setcsr(hostMode);
            instance.processReplacing(in, out, static_cast<int32_t>(a.size()));
            const unsigned after = _mm_getcsr();
            _mm_setcsr(testMode);
            if (after != hostMode && leftBehind == 0) leftBehind = after | 0x80000000u;
            rendered.insert(rendered.end(), ol.begin(), ol.end());
            rendered.insert(rendered.end(), orr.begin(), orr.end());
        }
        return rendered;
    }

    void busy(PluginInstance& instance) {
        for (int tap = 1; tap <= 4; ++tap) instance.setParameter(param::tapFeedback(tap), 0.7f);
        instance.setParameter(param::tapTime(1), 0.0004f);
        instance.setParameter(param::kWetDry, 0.5f);
        instance.setParameter(param::kType, 0.6f);
        instance.setParameter(param::kSaturation, 0.4f);
    }

    unsigned leftBehind = 0;
};

TEST_F(FloatingPointModeTest, TheHostGetsItsOwnModeBackAndTheSoundIsTheSameInEvery) {
    busy(*plugin);
    const std::vector<float> reference = renderIn(*plugin, kProcessingMode);
    ASSERT_EQ(leftBehind, 0u);

    const unsigned hostModes[] = {
        kProcessingMode | kPrecisionFlag,  // a host that flushes, after inexact arithmetic
        kProcessingMode | kAllFlags,
        0x1F80u,                           // the C default: no flushing
        0x1F80u | kPrecisionFlag,
        0x1F80u | 0x8000u,                 // flush to zero without denormals-are-zero
        0x1F80u | 0x0040u | 0x0011u,       // denormals-are-zero only, two flags set
        0x7F80u | kPrecisionFlag,          // round toward zero
        0x3F80u,                           // round down
        0x5F80u | 0x8040u,                 // round up, flushing
        0x1F80u & ~0x1000u,                // the precision exception unmasked
        0x1F80u & ~0x0780u,                // invalid, denormal, zero-divide and overflow unmasked
    };
    for (unsigned hostMode : hostModes) {
        SCOPED_TRACE(testing::Message() << "host mode 0x" << std::hex << hostMode);
        auto instance = newInstance();
        ASSERT_NE(instance, nullptr);
        busy(*instance);
        leftBehind = 0;
        const std::vector<float> rendered = renderIn(*instance, hostMode);
        EXPECT_EQ(leftBehind, 0u) << "a block left 0x" << std::hex << (leftBehind & 0xFFFFu);
        ASSERT_EQ(rendered.size(), reference.size());
        for (size_t i = 0; i < rendered.size(); ++i)
            ASSERT_EQ(rendered[i], reference[i]) << "sample " << i;
    }
}

#else

TEST(FloatingPointMode, NeedsSse) { GTEST_SKIP() << "no MXCSR on this processor"; }

#endif

}  // namespace
