// Hosts that call out of order, pass what they should not, or run two
// threads at once: nothing they do may crash the plug-in, touch memory
// outside it, or leave it producing NaN once its input is clean. Run under
// the address, undefined-behaviour and thread sanitizers.
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "tests/vst3/vst3_fixture.h"

namespace {

constexpr float kUnwritten = 12345.0f;

struct Block {
    std::vector<float> inL, inR, outL, outR;
    float* in[2];
    float* out[2];
    explicit Block(int32_t frames, uint32_t seed = 1)
        : inL(noise(static_cast<size_t>(frames), seed).left), inR(inL),
          outL(static_cast<size_t>(frames), kUnwritten), outR(outL),
          in{inL.data(), inR.data()}, out{outL.data(), outR.data()} {}
    bool allFinite() const {
        for (size_t i = 0; i < outL.size(); ++i)
            if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) return false;
        return true;
    }
};

vst3::ProcessData dataFor(vst3::AudioBusBuffers* ins, int32_t numIns, vst3::AudioBusBuffers* outs,
                          int32_t numOuts, int32_t frames) {
    vst3::ProcessData data;
    std::memset(&data, 0, sizeof data);
    data.symbolicSampleSize = vst3::kSample32;
    data.numSamples = frames;
    data.numInputs = numIns;
    data.numOutputs = numOuts;
    data.inputs = ins;
    data.outputs = outs;
    return data;
}

vst3::AudioBusBuffers bus(int32_t channels, float** buffers) {
    vst3::AudioBusBuffers b;
    std::memset(&b, 0, sizeof b);
    b.numChannels = channels;
    b.channelBuffers32 = buffers;
    return b;
}

using Vst3CarelessHost = Vst3Test;

TEST_F(Vst3CarelessHost, ProcessingBeforeSetupOrActivationGivesSilenceAndKeepsTheChanges) {
    auto plugin = newInstance();
    Block block(256);
    Vst3ParameterChanges changes(kParameterCount, 2);
    changes.add(0, 10, 0.5);
    EXPECT_EQ(plugin->process(block.in, 2, block.out, 2, 256, &changes), vst3::kResultOk);
    for (size_t i = 0; i < 256; ++i) ASSERT_EQ(block.outL[i], 0.0f);
    // Set up but not switched on: the same.
    vst3::ProcessSetup setup{vst3::kRealtime, vst3::kSample32, 256, 48000.0};
    ASSERT_EQ(plugin->processor()->setupProcessing(setup), vst3::kResultOk);
    Block again(256);
    EXPECT_EQ(plugin->process(again.in, 2, again.out, 2, 256), vst3::kResultOk);
    EXPECT_EQ(again.outR[255], 0.0f);
    // The change made while off holds once it is on: Tap 1 time 1000 ms.
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(plugin->saveState(bytes));
    float tapTime = 0.0f;
    std::memcpy(&tapTime, bytes.data() + 12, 4);
    EXPECT_EQ(tapTime, 1000.0f);
    // Switched on without setup at all, a component runs at 44.1 kHz.
    auto unset = newInstance();
    EXPECT_EQ(unset->component()->setActive(1), vst3::kResultOk);
    Block running(256);
    EXPECT_EQ(unset->process(running.in, 2, running.out, 2, 256), vst3::kResultOk);
    EXPECT_TRUE(running.allFinite());
    EXPECT_NE(running.outL[0], kUnwritten);
}

// Missing buffers are silence in and nowhere out, and the line goes on as
// with a host that passed silence and listened: what follows sounds the same.
TEST_F(Vst3CarelessHost, MissingBuffersAndOtherBusCountsAreSilenceInAndNothingOut) {
    auto careless = newInstance();
    auto polite = newInstance();
    std::string error;
    ASSERT_TRUE(careless->activate(44100.0, 512, error));
    ASSERT_TRUE(polite->activate(44100.0, 512, error));
    Block first(512, 2);
    careless->process(first.in, 2, first.out, 2, 512);
    polite->process(first.in, 2, first.out, 2, 512);

    float* nulls[3] = {nullptr, nullptr, nullptr};
    Block spare(512);
    float* three[3] = {spare.outL.data(), spare.outR.data(), spare.outL.data()};
    vst3::AudioBusBuffers noChannels = bus(0, nullptr), nullChannels = bus(2, nulls),
                          oneChannel = bus(1, spare.out), threeChannels = bus(3, three);
    vst3::AudioBusBuffers two[2] = {bus(2, nulls), bus(2, spare.out)};
    vst3::ProcessData calls[] = {
        dataFor(nullptr, 0, nullptr, 0, 512),
        dataFor(nullptr, 1, nullptr, 1, 512),
        dataFor(&noChannels, 1, &noChannels, 1, 512),
        dataFor(&nullChannels, 1, &nullChannels, 1, 512),
        dataFor(&nullChannels, 1, &oneChannel, 1, 512),
        dataFor(two, 2, &threeChannels, 1, 512),
        dataFor(&nullChannels, 1, two, 2, 512),
    };
    Block silence(512);
    std::fill(silence.inL.begin(), silence.inL.end(), 0.0f);
    std::fill(silence.inR.begin(), silence.inR.end(), 0.0f);
    for (vst3::ProcessData& data : calls) {
        ASSERT_EQ(careless->processor()->process(data), vst3::kResultOk);
        polite->process(silence.in, 2, silence.out, 2, 512);
    }
    Block afterC(512, 3), afterP(512, 3);
    careless->process(afterC.in, 2, afterC.out, 2, 512);
    polite->process(afterP.in, 2, afterP.out, 2, 512);
    EXPECT_EQ(afterC.outL, afterP.outL);
    EXPECT_EQ(afterC.outR, afterP.outR);

    // 64-bit buffers are not ours to write.
    vst3::ProcessData doubles = dataFor(nullptr, 0, nullptr, 0, 512);
    doubles.symbolicSampleSize = vst3::kSample64;
    EXPECT_EQ(careless->processor()->process(doubles), vst3::kInvalidArgument);
}

// Blocks of 0 frames (a flush of changes), of more than the largest block
// announced, and negative counts.
TEST_F(Vst3CarelessHost, FlushesLongBlocksAndNegativeCountsAreTaken) {
    auto plugin = newInstance();
    std::string error;
    ASSERT_TRUE(plugin->activate(44100.0, 64, error));
    Vst3ParameterChanges changes(kParameterCount, 2);
    changes.add(22, 0, 0.25);
    EXPECT_EQ(plugin->process(nullptr, 0, nullptr, 0, 0, &changes), vst3::kResultOk);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(plugin->saveState(bytes));
    float master = 0.0f;
    std::memcpy(&master, bytes.data() + 12 + 4 * 22, 4);
    EXPECT_EQ(master, 50.0f);
    Block negative(16);
    EXPECT_EQ(plugin->process(negative.in, 2, negative.out, 2, -5), vst3::kResultOk);
    EXPECT_EQ(negative.outL[0], kUnwritten);

    // 10000 frames where 64 were announced: as the module in one such block.
    const Stereo input = noise(10000, 6);
    const Stereo viaVst3 = renderVst3(input, {10000}, 44100.0);
    EXPECT_TRUE(viaVst3 == renderVst2(input, {10000}, 44100.0f));
}

// Points out of order count at the offset of the one before them, points at
// or past the block's end from the next block on, unknown ids and values
// that are not numbers change nothing.
TEST_F(Vst3CarelessHost, QueuesOutOfOrderPastTheBlockOrForNoParameterAreTakenSafely) {
    auto plugin = newInstance();
    auto module = newVst2Instance();
    std::string error;
    ASSERT_TRUE(plugin->activate(44100.0, 512, error));
    module->prepare(44100.0f, 512);
    const Stereo input = noise(2048, 12);
    Stereo out3(2048), out2(2048);
    Vst3ParameterChanges changes(kParameterCount + 4, 4);
    changes.add(17, 100, 0.2);
    changes.add(17, 50, 0.7);
    changes.add(17, 600, 0.9);
    changes.add(kProgramId + 1, 10, 0.3);
    changes.add(0xFFFFFFFFu, 20, 0.3);
    changes.add(0x7FFFFFFFu, 30, 0.3);
    changes.add(4, -40, 0.75);
    changes.add(5, 200, std::numeric_limits<double>::quiet_NaN());
    changes.add(6, 300, std::numeric_limits<double>::infinity());
    auto at = [&](Stereo& s, size_t frame) {
        static float* p[2];
        p[0] = s.left.data() + frame;
        p[1] = s.right.data() + frame;
        return p;
    };
    float* in[2] = {const_cast<float*>(input.left.data()), const_cast<float*>(input.right.data())};
    float* out[2] = {out3.left.data(), out3.right.data()};
    ASSERT_EQ(plugin->process(in, 2, out, 2, 512, &changes), vst3::kResultOk);
    for (size_t block = 1; block < 4; ++block) {
        float* inB[2] = {in[0] + 512 * block, in[1] + 512 * block};
        float* outB[2] = {out3.left.data() + 512 * block, out3.right.data() + 512 * block};
        ASSERT_EQ(plugin->process(inB, 2, outB, 2, 512), vst3::kResultOk);
    }

    module->setParameter(4, 0.75f);
    float* inA[2] = {in[0], in[1]};
    module->processReplacing(inA, at(out2, 0), 100);
    module->setParameter(17, 0.2f);
    module->setParameter(17, 0.7f);
    float* inB[2] = {in[0] + 100, in[1] + 100};
    module->processReplacing(inB, at(out2, 100), 200);
    module->setParameter(6, 1.0f);
    float* inC[2] = {in[0] + 300, in[1] + 300};
    module->processReplacing(inC, at(out2, 300), 212);
    module->setParameter(17, 0.9f);
    for (size_t block = 1; block < 4; ++block) {
        float* inD[2] = {in[0] + 512 * block, in[1] + 512 * block};
        module->processReplacing(inD, at(out2, 512 * block), 512);
    }
    EXPECT_TRUE(out3 == out2);
}

// Input that is not a number once: the output is clean again once the input is.
TEST_F(Vst3CarelessHost, RecoversFromInputThatIsNotANumber) {
    auto plugin = newInstance();
    std::string error;
    ASSERT_TRUE(plugin->activate(44100.0, 512, error));
    Vst3ParameterChanges loud(kParameterCount, 1);
    for (vst3::ParamID id : {2u, 6u, 10u, 14u}) loud.add(id, 0, 1.0);
    Block poisoned(512);
    poisoned.inL[17] = std::numeric_limits<float>::quiet_NaN();
    poisoned.inR[99] = std::numeric_limits<float>::infinity();
    plugin->process(poisoned.in, 2, poisoned.out, 2, 512, &loud);
    Block clean(512, 5);
    for (int i = 0; i < 5 * 44100 / 512; ++i) plugin->process(clean.in, 2, clean.out, 2, 512);
    EXPECT_TRUE(clean.allFinite());
}

// A host that refuses no order: setup while running is refused and the
// running goes on; the instance goes while still switched on.
TEST_F(Vst3CarelessHost, SetupWhileActiveIsRefusedAndReleaseWhileActiveFreesEverything) {
    auto plugin = newInstance();
    std::string error;
    ASSERT_TRUE(plugin->activate(44100.0, 512, error));
    vst3::ProcessSetup setup{vst3::kRealtime, vst3::kSample32, 512, 96000.0};
    EXPECT_EQ(plugin->processor()->setupProcessing(setup), vst3::kResultFalse);
    vst3::SpeakerArrangement mono = vst3::kArrangementMono, stereo = vst3::kArrangementStereo;
    EXPECT_EQ(plugin->processor()->setBusArrangements(&mono, 1, &stereo, 1), vst3::kResultFalse);
    EXPECT_EQ(plugin->component()->setActive(1), vst3::kResultOk);
    Block block(512);
    EXPECT_EQ(plugin->process(block.in, 2, block.out, 2, 512), vst3::kResultOk);
    EXPECT_TRUE(block.allFinite());

    // Straight from the factory, released while on: the leak checker of the
    // address sanitizer build sees anything left behind.
    vst3::PClassInfo info;
    ASSERT_EQ(bundle.factory()->getClassInfo(0, &info), vst3::kResultOk);
    void* made = nullptr;
    ASSERT_EQ(bundle.factory()->createInstance(info.cid, vst3::IComponent::iid.bytes, &made),
              vst3::kResultOk);
    auto* component = static_cast<vst3::IComponent*>(made);
    void* asked = nullptr;
    component->queryInterface(vst3::IEditController::iid.bytes, &asked);
    static_cast<vst3::IEditController*>(asked)->release();
    EXPECT_EQ(component->setActive(1), vst3::kResultOk);
    EXPECT_EQ(component->release(), 0u);
}

// A state given on the main thread while the audio thread processes with
// changes of its own, as hosts restore a running plug-in: no race.
TEST_F(Vst3CarelessHost, StatesOnOneThreadWhileAnotherProcesses) {
    auto plugin = newInstance();
    std::string error;
    ASSERT_TRUE(plugin->activate(44100.0, 256, error));
    std::vector<uint8_t> state;
    ASSERT_TRUE(plugin->saveState(state));
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        Block block(256);
        Vst3ParameterChanges changes(kParameterCount, 2);
        for (int n = 0; !stop.load(); ++n) {
            changes.clear();
            changes.add(static_cast<vst3::ParamID>(n % kParameterCount), n % 256, (n % 100) / 100.0);
            plugin->process(block.in, 2, block.out, 2, 256, &changes);
        }
    });
    for (int i = 0; i < 300; ++i) {
        std::vector<uint8_t> now;
        EXPECT_TRUE(plugin->saveState(now));
        EXPECT_TRUE(plugin->loadState(state));
    }
    stop = true;
    audio.join();
}

}  // namespace
