// The floating-point mode around a block, seen from the host's side: the
// plug-in computes in its own mode whatever the host's is, and the host gets
// back exactly the registers it had, its exception flags included.
#include "tests/module_fixture.h"

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

#include <cstdint>
#include <random>
#include <string>

namespace {

#if defined(__SSE2__)

// MXCSR holds both the mode and the flags.
using HostMode = unsigned;
HostMode readMode() { return _mm_getcsr(); }
void writeMode(HostMode mode) { _mm_setcsr(mode); }
std::string describe(HostMode mode) {
    return (testing::Message() << "MXCSR 0x" << std::hex << mode).GetString();
}

constexpr unsigned kProcessingMode = 0x1F80u | 0x8000u | 0x0040u;  // masked, nearest, FTZ, DAZ
constexpr unsigned kPrecisionFlag = 0x0020u;
constexpr unsigned kAllFlags = 0x003Fu;

const HostMode kHostModes[] = {
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

#elif defined(__aarch64__)

// The control register FPCR holds the mode, the status register FPSR the
// sticky flags; a host's mode is the pair.
struct HostMode {
    uint64_t control;
    uint64_t status;
    bool operator!=(const HostMode& other) const {
        return control != other.control || status != other.status;
    }
};
HostMode readMode() {
    HostMode mode;
    __asm__ volatile("mrs %0, fpcr" : "=r"(mode.control));
    __asm__ volatile("mrs %0, fpsr" : "=r"(mode.status));
    return mode;
}
void writeMode(HostMode mode) {
    __asm__ volatile("msr fpcr, %0" : : "r"(mode.control) : "memory");
    __asm__ volatile("msr fpsr, %0" : : "r"(mode.status) : "memory");
}
std::string describe(HostMode mode) {
    return (testing::Message() << "FPCR 0x" << std::hex << mode.control << ", FPSR 0x" << mode.status)
        .GetString();
}

constexpr uint64_t kFlushToZero = 1u << 24, kDefaultNaN = 1u << 25, kHalfFlushToZero = 1u << 19;
constexpr uint64_t kRoundUp = 1u << 22, kRoundDown = 2u << 22, kRoundToZero = 3u << 22;
constexpr uint64_t kInexactFlag = 1u << 4, kAllFlags = 0x9Fu;

const HostMode kHostModes[] = {
    {kFlushToZero, 0},                         // the mode the plug-in computes in
    {kFlushToZero, kInexactFlag},              // the same after inexact arithmetic
    {0, kAllFlags},                            // the C default, every flag set
    {kRoundToZero, kInexactFlag},
    {kRoundDown, 0},
    {kRoundUp | kFlushToZero, 0x11u},          // two flags set
    {kDefaultNaN | kHalfFlushToZero, 0},
    {kDefaultNaN | kFlushToZero | kRoundToZero, kAllFlags},
};

#endif

#if defined(__SSE2__) || defined(__aarch64__)

class FloatingPointModeTest : public ModuleTest {
protected:
    // Renders the same noise (with numbers too small to matter among it) in
    // blocks, entering every block in the given host mode; remembers the
    // first mode a block left behind that was not the host's.
    std::vector<float> renderIn(PluginInstance& instance, HostMode hostMode) {
        std::mt19937 random(9);
        std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
        std::vector<float> rendered;
        const HostMode testMode = readMode();
        for (int block = 0; block < 40; ++block) {
            std::vector<float> a(97), b(97), ol(97), orr(97);
            for (size_t i = 0; i < a.size(); ++i) {
                a[i] = noise(random);
                b[i] = i % 5 ? noise(random) : 1.0e-40f;
            }
            float* in[2] = {a.data(), b.data()};
            float* out[2] = {ol.data(), orr.data()};
            writeMode(hostMode);
            instance.processReplacing(in, out, static_cast<int32_t>(a.size()));
            const HostMode after = readMode();
            writeMode(testMode);
            if (after != hostMode && !changed) {
                changed = true;
                leftBehind = after;
            }
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

    bool changed = false;
    HostMode leftBehind{};
};

TEST_F(FloatingPointModeTest, TheHostGetsItsOwnModeBackAndTheSoundIsTheSameInEvery) {
    busy(*plugin);
    const std::vector<float> reference = renderIn(*plugin, kHostModes[0]);
    ASSERT_FALSE(changed) << describe(leftBehind);

    for (const HostMode& hostMode : kHostModes) {
        SCOPED_TRACE("host mode " + describe(hostMode));
        auto instance = newInstance();
        ASSERT_NE(instance, nullptr);
        busy(*instance);
        changed = false;
        const std::vector<float> rendered = renderIn(*instance, hostMode);
        EXPECT_FALSE(changed) << "a block left " << describe(leftBehind);
        ASSERT_EQ(rendered.size(), reference.size());
        for (size_t i = 0; i < rendered.size(); ++i)
            ASSERT_EQ(rendered[i], reference[i]) << "sample " << i;
    }
}

// Numbers too small to matter are flushed inside a block whatever the host's
// mode: a quiet input made only of them comes out as exact silence, where
// computing with them would pass scaled copies through and let them ring in
// the line and the filter.
TEST_F(FloatingPointModeTest, AnInputOfDenormalsComesOutAsSilenceInEveryHostMode) {
    for (const HostMode& hostMode : kHostModes) {
        SCOPED_TRACE("host mode " + describe(hostMode));
        auto instance = newInstance();
        ASSERT_NE(instance, nullptr);
        busy(*instance);
        const HostMode testMode = readMode();
        size_t loud = 0;
        for (int block = 0; block < 20; ++block) {
            std::vector<float> a(128), b(128), ol(128, 1.0f), orr(128, 1.0f);
            for (size_t i = 0; i < a.size(); ++i) {
                a[i] = (i % 2 ? 1.0e-40f : -3.0e-39f) * static_cast<float>(1 + i % 3);
                b[i] = -a[i];
            }
            float* in[2] = {a.data(), b.data()};
            float* out[2] = {ol.data(), orr.data()};
            writeMode(hostMode);
            instance->processReplacing(in, out, static_cast<int32_t>(a.size()));
            writeMode(testMode);
            for (size_t i = 0; i < a.size(); ++i) loud += (ol[i] != 0.0f) + (orr[i] != 0.0f);
        }
        EXPECT_EQ(loud, 0u) << "samples that were not silence";
    }
}

#else

TEST(FloatingPointMode, NeedsSseOrArm64) { GTEST_SKIP() << "no known floating-point registers on this processor"; }

#endif

}  // namespace
