// A careless host: calls out of order, buffers and channels left out or
// miscounted, blocks of nothing and of more than it announced, events out of
// order, past the block, of other kinds and for no parameter, values that are
// no numbers or out of range. Nothing may crash, and what comes out must be
// what a careful host would have got for the same intent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "tests/clap/clap_driver.h"

namespace {

constexpr uint32_t kBlock = 256;

// Tap 1 at 3 ms, the low-pass and the dry signal beside the wet make every
// change and every channel heard within a few blocks.
const std::vector<ParamChange> kAudible = {{0, 0, 3.0}, {0, 19, 1.0}, {0, 16, 0.5}};

std::unique_ptr<ClapPlugin> activePlugin(double rate = 44100.0, uint32_t maxFrames = kBlock) {
    auto clap = ClapPlugin::create();
    EXPECT_TRUE(clap && clap->activate(rate, maxFrames));
    return clap;
}

// One block through the plug-in with the buffers as given.
vclap_process_status processRaw(ClapPlugin& clap, const vclap_audio_buffer_t* in, uint32_t inPorts,
                                vclap_audio_buffer_t* out, uint32_t outPorts, uint32_t frames,
                                const vclap_input_events_t* events = nullptr) {
    const vclap_process_t block{-1, frames, nullptr, in, out, inPorts, outPorts, events, nullptr};
    return clap.plugin()->process(clap.plugin(), &block);
}

// Renders a signal through a fresh plug-in in blocks of kBlock with stereo
// buffers, to compare the careless renders with.
Stereo carefulRender(const Stereo& in) {
    auto clap = activePlugin();
    clap->flush(kAudible);
    Stereo out(in.frames());
    for (size_t at = 0; at < in.frames(); at += kBlock)
        clap->process(&in.left[at], &in.right[at], &out.left[at], &out.right[at], kBlock);
    return out;
}

TEST(ClapCarelessHost, CallsOutOfOrderAreRefusedOrHarmless) {
    auto clap = ClapPlugin::create();
    ASSERT_NE(clap, nullptr);
    const vclap_plugin_t* p = clap->plugin();
    float in[kBlock] = {}, out[2][kBlock];
    std::fill(&out[0][0], &out[0][0] + 2 * kBlock, 7.0f);
    EXPECT_FALSE(p->start_processing(p));
    EXPECT_EQ(clap->process(in, in, out[0], out[1], kBlock), VCLAP_PROCESS_ERROR);
    EXPECT_EQ(out[1][kBlock - 1], 7.0f) << "nothing written before activation";
    p->reset(p);
    p->stop_processing(p);
    p->deactivate(p);
    EXPECT_EQ(p->process(p, nullptr), VCLAP_PROCESS_ERROR);
    for (double rate : {0.0, -44100.0, 999.0, 1e7, std::nan("")}) EXPECT_FALSE(clap->activate(rate));
    EXPECT_EQ(clap->process(in, in, out[0], out[1], kBlock), VCLAP_PROCESS_ERROR);
    // A null table where the plug-in's own belongs.
    EXPECT_FALSE(p->activate(nullptr, 44100.0, 1, kBlock));
    EXPECT_EQ(p->process(nullptr, nullptr), VCLAP_PROCESS_ERROR);
    EXPECT_FALSE(clap->params()->get_value(nullptr, 0, nullptr));
}

// Activated twice, the second activation holds: its rate, and silence where
// the first one's echoes were. Destroyed while active, nothing leaks.
TEST(ClapCarelessHost, ActivatingAgainStartsFromSilenceAtTheNewRate) {
    auto clap = activePlugin(44100.0);
    Stereo impulse(kBlock), out(kBlock);
    impulse.left[0] = impulse.right[0] = 1.0f;
    clap->process(impulse.left.data(), impulse.right.data(), out.left.data(), out.right.data(), kBlock);
    ASSERT_TRUE(clap->activate(48000.0));
    // Tap 1 at 200 ms: frame 9600 at 48 kHz, where at 44.1 kHz it is 8820.
    const Stereo silence(kBlock);
    Stereo heard(10 * 1024);
    for (size_t at = 0; at < heard.frames(); at += kBlock)
        clap->process(silence.left.data(), silence.right.data(), &heard.left[at], &heard.right[at], kBlock);
    EXPECT_TRUE(sameBits(heard, Stereo(heard.frames()))) << "echoes of the first activation";

    auto other = activePlugin(44100.0);
    ASSERT_TRUE(other->activate(48000.0));
    Stereo echo(10 * 1024), in(10 * 1024);
    in.left[0] = in.right[0] = 1.0f;
    for (size_t at = 0; at < echo.frames(); at += kBlock)
        other->process(&in.left[at], &in.right[at], &echo.left[at], &echo.right[at], kBlock);
    const auto first = std::find_if(echo.left.begin(), echo.left.end(), [](float v) { return v != 0.0f; });
    EXPECT_EQ(first - echo.left.begin(), 9600);
}

TEST(ClapCarelessHost, MissingBuffersAreSilenceAndOtherChannelCountsArePlayedSensibly) {
    const Stereo signal = noise(kBlock, 4);
    Stereo mono = signal;
    mono.right = mono.left;
    Stereo leftOnly = signal;
    std::fill(leftOnly.right.begin(), leftOnly.right.end(), 0.0f);
    const Stereo fromStereo = carefulRender(signal), fromMono = carefulRender(mono),
                 fromLeft = carefulRender(leftOnly), fromSilence = carefulRender(Stereo(kBlock));
    ASSERT_FALSE(sameBits(fromStereo, fromMono) || sameBits(fromStereo, fromLeft) ||
                 sameBits(fromMono, fromLeft));

    struct Case {
        const char* what;
        uint32_t inChannels, outChannels;
        bool nullRightInput, nullInputArray, noInputPort;
        const Stereo& expected;
        bool rightWritten;
    };
    const Case cases[] = {
        {"one input channel", 1, 2, false, false, false, fromMono, true},
        {"three channels each way", 3, 3, false, false, false, fromStereo, true},
        {"one output channel", 2, 1, false, false, false, fromStereo, false},
        {"a null right input", 2, 2, true, false, false, fromLeft, true},
        {"no input channel array", 2, 2, false, true, false, fromSilence, true},
        {"no input port", 2, 2, false, false, true, fromSilence, true},
        {"no input channel", 0, 2, false, false, false, fromSilence, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto clap = activePlugin();
        clap->flush(kAudible);
        Stereo in = c.inChannels == 1 ? mono : signal;
        std::vector<float> third(kBlock, 0.25f), out3(kBlock, 9.0f);
        Stereo out(kBlock);
        std::fill(out.right.begin(), out.right.end(), 9.0f);
        float* ins[3] = {in.left.data(), c.nullRightInput ? nullptr : in.right.data(), third.data()};
        float* outs[3] = {out.left.data(), out.right.data(), out3.data()};
        vclap_audio_buffer_t input{c.nullInputArray ? nullptr : ins, nullptr, c.inChannels, 0, 0};
        vclap_audio_buffer_t output{outs, nullptr, c.outChannels, 0, 0};
        EXPECT_EQ(processRaw(*clap, c.noInputPort ? nullptr : &input, 1, &output, 1, kBlock),
                  VCLAP_PROCESS_TAIL);
        EXPECT_TRUE(sameBits(out.left, c.expected.left));
        if (c.rightWritten) EXPECT_TRUE(sameBits(out.right, c.expected.right));
        else EXPECT_EQ(out.right[0], 9.0f);
    }
    // No output at all: the block is processed and its output discarded.
    auto clap = activePlugin();
    vclap_audio_buffer_t noChannels{nullptr, nullptr, 2, 0, 0};
    EXPECT_EQ(processRaw(*clap, &noChannels, 1, nullptr, 0, kBlock), VCLAP_PROCESS_TAIL);
}

// A block of nothing changes nothing; one of more frames than the activation
// announced is played whole, as by an instance that was told of it.
TEST(ClapCarelessHost, BlocksOfNothingAndOfMoreThanAnnounced) {
    const Stereo in = noise(16 * kBlock, 5);
    Stereo expected(in.frames()), out(in.frames());
    for (uint32_t announced : {16 * kBlock, kBlock}) {
        auto clap = activePlugin(44100.0, announced);
        clap->flush(kAudible);
        Stereo& o = announced == kBlock ? out : expected;
        clap->process(in.left.data(), in.right.data(), o.left.data(), o.right.data(), 0);
        clap->process(in.left.data(), in.right.data(), o.left.data(), o.right.data(), 16 * kBlock);
    }
    EXPECT_TRUE(sameBits(out, expected));
    EXPECT_FALSE(sameBits(out, Stereo(out.frames())));
}

// Noise through a fresh plug-in in six blocks, the given changes in the third
// and the fourth.
Stereo renderWithChanges(const std::vector<ParamChange>& third, const std::vector<ParamChange>& fourth = {}) {
    const Stereo in = noise(6 * kBlock, 6);
    auto clap = activePlugin();
    Stereo out(in.frames());
    for (size_t b = 0; b < 6; ++b) {
        const size_t at = b * kBlock;
        clap->process(&in.left[at], &in.right[at], &out.left[at], &out.right[at], kBlock,
                      b == 0 ? kAudible : b == 2 ? third : b == 3 ? fourth : std::vector<ParamChange>{});
    }
    return out;
}

TEST(ClapCarelessHost, EventsOutOfOrderOrPastTheBlockApplyWhereTheListHasGot) {
    // Listed after a later one: takes effect with it.
    const Stereo outOfOrder = renderWithChanges({{100, 17, 300.0}, {40, 18, 0.8}});
    EXPECT_TRUE(sameBits(outOfOrder, renderWithChanges({{100, 17, 300.0}, {100, 18, 0.8}})));
    EXPECT_FALSE(sameBits(outOfOrder, renderWithChanges({{40, 18, 0.8}, {100, 17, 300.0}})));
    // Past the block: at its end, which is the next block's start.
    const Stereo late = renderWithChanges({{5000, 0, 1.0}});
    EXPECT_TRUE(sameBits(late, renderWithChanges({}, {{0, 0, 1.0}})));
    EXPECT_FALSE(sameBits(late, renderWithChanges({})));
}

TEST(ClapCarelessHost, EventsOfOtherKindsAndForNoParameterAreIgnoredValuesClamped) {
    const Stereo untouched = renderWithChanges({});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(sameBits(renderWithChanges({{10, 24, 1.0}, {10, UINT32_MAX, 1.0}, {10, 0, nan}}),
                         untouched));

    // Events that are no parameter changes: a note, another space, one
    // shorter than a change, and a null entry.
    std::vector<vclap_event_param_value_t> odd(4);
    for (auto& e : odd) {
        e.header = {sizeof e, 10, VCLAP_CORE_EVENT_SPACE_ID, VCLAP_EVENT_PARAM_VALUE, 0};
        e.param_id = 17;
        e.value = 60.0;
    }
    odd[0].header.type = VCLAP_EVENT_NOTE_ON;
    odd[1].header.space_id = 7;
    odd[2].header.size = sizeof(vclap_event_header_t);
    struct Ctx {
        std::vector<vclap_event_param_value_t>* events;
    } ctx{&odd};
    const vclap_input_events_t list{
        &ctx, [](const vclap_input_events_t*) -> uint32_t { return 5; },
        [](const vclap_input_events_t* l, uint32_t i) -> const vclap_event_header_t* {
            auto& events = *static_cast<Ctx*>(l->ctx)->events;
            return i < 3 ? &events[i].header : nullptr;
        }};
    const Stereo in = noise(6 * kBlock, 6);
    auto clap = activePlugin();
    Stereo out(in.frames());
    clap->flush(kAudible);
    for (size_t b = 0; b < 6; ++b) {
        float* ins[2] = {const_cast<float*>(&in.left[b * kBlock]), const_cast<float*>(&in.right[b * kBlock])};
        float* outs[2] = {&out.left[b * kBlock], &out.right[b * kBlock]};
        vclap_audio_buffer_t input{ins, nullptr, 2, 0, 0}, output{outs, nullptr, 2, 0, 0};
        processRaw(*clap, &input, 1, &output, 1, kBlock, b == 2 ? &list : nullptr);
    }
    EXPECT_TRUE(sameBits(out, untouched));
    EXPECT_EQ(clap->value(17), 1000.0);

    // Beyond the range: its ends.
    auto clamped = activePlugin();
    clamped->flush({{0, 17, 1e300}, {0, 0, -std::numeric_limits<double>::infinity()}, {0, 18, nan}});
    EXPECT_EQ(clamped->value(17), 8000.0);
    EXPECT_EQ(clamped->value(0), 0.0);
    EXPECT_FLOAT_EQ(clamped->value(18), 0.1f);
    EXPECT_TRUE(sameBits(renderWithChanges({{7, 17, 1e300}}), renderWithChanges({{7, 17, 8000.0}})));
}

TEST(ClapCarelessHost, NullPointersForTextsAndValuesAreRefused) {
    auto clap = ClapPlugin::create();
    ASSERT_NE(clap, nullptr);
    const vclap_plugin_t* p = clap->plugin();
    const vclap_plugin_params_t* params = clap->params();
    char text[4];
    double value;
    EXPECT_FALSE(params->get_info(p, 0, nullptr));
    EXPECT_FALSE(params->get_value(p, 0, nullptr));
    EXPECT_FALSE(params->value_to_text(p, 0, 200.0, nullptr, 64));
    EXPECT_FALSE(params->value_to_text(p, 0, 200.0, text, 0));
    EXPECT_FALSE(params->value_to_text(p, 0, std::nan(""), text, sizeof text));
    ASSERT_TRUE(params->value_to_text(p, 0, 200.0, text, sizeof text));
    EXPECT_STREQ(text, "200");
    EXPECT_FALSE(params->text_to_value(p, 0, nullptr, &value));
    EXPECT_FALSE(params->text_to_value(p, 0, "1", nullptr));
    params->flush(p, nullptr, nullptr);
    EXPECT_FALSE(clap->state()->save(p, nullptr));
    EXPECT_FALSE(clap->state()->load(p, nullptr));
    EXPECT_EQ(p->get_extension(p, nullptr), nullptr);
}

}  // namespace
