// The CLAP plug-in gives the VST 2.4 module's bits: random settings (the
// cutoff's logarithmic mapping included, which vst2host's renders leave out)
// at the same rate and blocks through both, compared sample for sample, and a
// parameter event at a frame against the module's block split there.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "tests/clap/clap_driver.h"
#include "tests/clap/vst2_reference.h"

namespace {

using Settings = std::vector<std::pair<int32_t, float>>;  // index, host value 0..1

// Every tap feeds back, the filter sits between band and high with a high Q,
// the saturation drives, and tap 2 reaches back the whole two seconds.
const Settings kBusy = {{0, 0.125f}, {2, 0.5f},   {4, 1.0f},   {6, 0.25f},  {8, 0.375f},
                        {9, 0.625f}, {10, 0.375f}, {14, 0.625f}, {15, 0.75f}, {16, 0.75f},
                        {17, 0.5f},  {18, 0.875f}, {19, 0.625f}, {20, 0.25f}, {21, 0.5f},
                        {22, 0.75f}};

Settings randomSettings(uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    Settings s;
    for (int32_t i = 0; i < varnolet::kNumParameters; ++i) s.push_back({i, unit(random)});
    return s;
}

// Both plug-ins at one rate, each given the settings as its format carries
// them: the module its 0..1 values, the CLAP plug-in the native values those
// map to, as events before its first block.
struct Pair {
    Vst2Reference vst2;
    std::unique_ptr<ClapPlugin> clap = ClapPlugin::create();
    std::vector<ParamChange> firstEvents;

    Pair(double rate, const Settings& settings) : vst2(static_cast<float>(rate)) {
        EXPECT_TRUE(clap && clap->activate(rate));
        for (const auto& [index, x] : settings) {
            vst2.plugin->setParameter(index, x);
            firstEvents.push_back({0, static_cast<uint32_t>(index),
                                   nativeOf(index, x, varnolet::kParameters[index].defaultValue)});
        }
    }

    // Renders the input through both in blocks of the sizes `nextBlock`
    // gives; the outputs must be the same bits.
    void expectSameBits(const Stereo& in, const std::function<uint32_t()>& nextBlock) {
        Stereo viaVst2(in.frames()), viaClap(in.frames());
        Stereo input = in;
        for (size_t at = 0; at < in.frames();) {
            const uint32_t frames = std::min<uint32_t>(nextBlock(), in.frames() - at);
            float* i[2] = {&input.left[at], &input.right[at]};
            float* o[2] = {&viaVst2.left[at], &viaVst2.right[at]};
            vst2.plugin->processReplacing(i, o, static_cast<int32_t>(frames));
            clap->process(&in.left[at], &in.right[at], &viaClap.left[at], &viaClap.right[at],
                          frames, firstEvents);
            firstEvents.clear();
            at += frames;
        }
        EXPECT_TRUE(sameBits(viaVst2, viaClap));
    }
};

TEST(ClapSameBits, AtRandomSettingsForEveryBlockAndRate) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        const Settings settings = randomSettings(seed);
        for (double rate : {44100.0, 96000.0}) {
            const Stereo in = noise(static_cast<size_t>(rate * 1.2), 7);
            for (uint32_t block : {1u, 64u, 4096u, 0u}) {
                SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << rate << " Hz, blocks of "
                                                << (block ? std::to_string(block) : "random sizes"));
                std::mt19937 sizes(block + 3);
                Pair(rate, settings).expectSameBits(in, [&] {
                    return block ? block : static_cast<uint32_t>(sizes() % 4097);
                });
            }
        }
    }
}

// An event at frame k of a block sounds as the module does with its block
// split at k and the value set between: at the first and last frame, twice in
// one block, two at one frame, on the logarithmic cutoff and a tap's time.
TEST(ClapSameBits, AnEventTakesEffectAtItsFrame) {
    struct Moment {
        uint32_t block, frame;
        int32_t index;
        float x;
    };
    const std::vector<Moment> moments = {{3, 0, 17, 0.2f},   {5, 1, 0, 0.05f},  {9, 63, 19, 0.6f},
                                         {12, 20, 17, 0.9f}, {12, 41, 2, 0.7f}, {15, 32, 18, 0.8f},
                                         {15, 32, 14, 0.9f}, {20, 7, 4, 0.01f}};
    constexpr uint32_t kBlock = 64;
    const Stereo in = noise(48 * kBlock, 11);
    Stereo viaVst2 = in, viaClap(in.frames());
    Pair pair(44100.0, kBusy);
    for (uint32_t b = 0; b * kBlock < in.frames(); ++b) {
        std::vector<ParamChange> events = b == 0 ? pair.firstEvents : std::vector<ParamChange>{};
        uint32_t done = 0;
        for (const Moment& m : moments) {
            if (m.block != b) continue;
            float* io[2] = {&viaVst2.left[b * kBlock + done], &viaVst2.right[b * kBlock + done]};
            pair.vst2.plugin->processReplacing(io, io, static_cast<int32_t>(m.frame - done));
            done = m.frame;
            events.push_back({m.frame, static_cast<uint32_t>(m.index),
                              nativeOf(m.index, m.x, pair.clap->value(m.index))});
            pair.vst2.plugin->setParameter(m.index, m.x);
        }
        float* io[2] = {&viaVst2.left[b * kBlock + done], &viaVst2.right[b * kBlock + done]};
        pair.vst2.plugin->processReplacing(io, io, static_cast<int32_t>(kBlock - done));
        const size_t at = b * kBlock;
        pair.clap->process(&in.left[at], &in.right[at], &viaClap.left[at], &viaClap.right[at],
                           kBlock, events);
    }
    EXPECT_TRUE(sameBits(viaVst2, viaClap));
}

}  // namespace
