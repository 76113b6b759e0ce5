// Every request a host can send through the dispatcher, and its answer.
#include <cstring>

#include "tests/module_fixture.h"

namespace {

using DispatcherTest = ModuleTest;

TEST_F(DispatcherTest, IdentityAnswers) {
    EXPECT_EQ(plugin->effectName(), "TolmVarnolet");
    EXPECT_EQ(plugin->productString(), "Varnolet Delay");
    EXPECT_EQ(plugin->vendorString(), "Tolmark");
    EXPECT_EQ(plugin->dispatch(effGetEffectName, 0, 0, std::string(64, 'x').data()), 1);
    EXPECT_EQ(plugin->dispatch(effGetVendorVersion), 65543);
    EXPECT_EQ(plugin->dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(plugin->dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(plugin->dispatch(effIdentify), 0x4E764566);
}

// Which operation each request reaches is shown by the routing test of the
// interface classes; here, what this effect answers where that is not the
// interface's default, and the refusals hosts act on: no chunks (so hosts
// save parameter values), no speaker arrangement but the stereo one, no own
// bypass.
TEST_F(DispatcherTest, RequestsWithTheEffectsOwnAnswers) {
    char buffer[256] = {};
    struct Row {
        int32_t opcode;
        int32_t index;
        intptr_t value;
        intptr_t expected;
    };
    const Row rows[] = {
        {effCanBeAutomated, 0, 0, 1},
        {effCanBeAutomated, 22, 0, 1},
        {effCanBeAutomated, 5000, 0, 1},
        {effCanBeAutomated, -3, 0, 1},
        {effGetCurrentMidiProgram, 0, 0, -1},
        {effSetTotalSampleToProcess, 0, 4096, 4096},
        {effGetChunk, 0, 0, 0},
        {effGetChunk, 1, 0, 0},
        {effSetChunk, 0, 16, 0},
        {effSetSpeakerArrangement, 0, 0, 0},
        {effSetBypass, 0, 1, 0},
    };
    host.clearCalls();
    for (const Row& row : rows) {
        void* chunk = buffer;
        EXPECT_EQ(plugin->dispatch(row.opcode, row.index, row.value,
                                   row.opcode == effGetChunk ? static_cast<void*>(&chunk) : buffer,
                                   0.5f),
                  row.expected)
            << "opcode " << row.opcode;
        EXPECT_EQ(chunk, buffer) << "no chunk is handed out";
    }
    EXPECT_TRUE(host.calls().empty()) << "no request of these calls the host";
}

TEST_F(DispatcherTest, OpcodesOutsideTheTablesAnswerZeroAndChangeNothing) {
    char buffer[256] = {};
    const int32_t unrouted[] = {28, 30, 31, 32, 36, 37, 43, 46, 53, 54, 55, 57, 80, 81, 200,
                                100000, -1, -100, INT32_MIN, INT32_MAX};
    for (int32_t opcode : unrouted) {
        EXPECT_EQ(plugin->dispatch(opcode, 3, 7, buffer, 1.0f), 0) << "opcode " << opcode;
        EXPECT_EQ(buffer[0], 0) << "opcode " << opcode;
    }
    EXPECT_EQ(plugin->program(), 0);
    EXPECT_FLOAT_EQ(plugin->getParameter(0), 0.1f);
}

TEST_F(DispatcherTest, CanDoAnswersZeroForEveryText) {
    const char* texts[] = {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstMidiEvents",
                           "sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
                           "receiveVstTimeInfo", "offline", "plugAsChannelInsert", "plugAsSend",
                           "mixDryWet", "midiProgramNames", "bypass", "hasCockosExtensions",
                           "recieveVstMidiEvent", ""};
    for (const char* text : texts)
        EXPECT_EQ(plugin->dispatch(effCanDo, 0, 0, const_cast<char*>(text)), 0) << text;
    EXPECT_EQ(plugin->dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST_F(DispatcherTest, SpeakerArrangementQueryClearsOnlyTheAddressesGiven) {
    int sentinel = 0;
    void* input = &sentinel;
    void* output = &sentinel;
    EXPECT_EQ(plugin->dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&input),
                               &output),
              0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
    input = &sentinel;
    EXPECT_EQ(plugin->dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&input),
                               nullptr),
              0);
    EXPECT_EQ(input, nullptr);
    output = &sentinel;
    EXPECT_EQ(plugin->dispatch(effGetSpeakerArrangement, 0, 0, &output), 0);
    EXPECT_EQ(output, nullptr);
}

TEST_F(DispatcherTest, SuspendAndResumeSendNothingToTheHost) {
    host.clearCalls();
    plugin->suspend();  // scanners suspend without a resume before
    plugin->resume();
    plugin->resume();
    plugin->suspend();
    EXPECT_TRUE(host.calls().empty());
}

TEST_F(DispatcherTest, SampleRateRequestsIgnoreRatesThatAreNotPositiveNumbers) {
    // The rate cannot be read back directly; a tap's delay in samples shows it.
    plugin->setParameter(param::kMasterFeedback, 0.0f);
    auto echoFrame = [&] {
        std::vector<float> silence(100800, 0.0f), silenceR(100800, 0.0f), outL, outR;
        render(silence, silenceR, outL, outR);  // empties a two-second line
        std::vector<float> in(30000, 0.0f);
        in[0] = 0.2f;
        std::vector<float> inR = in;
        render(in, inR, outL, outR);
        for (size_t i = 1; i < outL.size(); ++i)
            if (outL[i] != 0.0f) return static_cast<int>(i);
        return -1;
    };
    plugin->setSampleRate(48000.0f);
    plugin->resume();
    EXPECT_EQ(echoFrame(), 9600);
    for (float bad : {0.0f, -44100.0f, NAN, INFINITY}) {
        plugin->setSampleRate(bad);
        plugin->resume();
        EXPECT_EQ(echoFrame(), 9600) << bad;
    }
}

}  // namespace

namespace {

TEST_F(DispatcherTest, AnyRequestWithAnyOperandsLeavesAWorkingInstance) {
    // Operands are what a confused host might send; only the two requests that
    // take addresses in value get a real one.
    const intptr_t values[] = {0, 1, -1, 8, INTPTR_MAX};
    const int32_t indices[] = {0, 5, 22, 23, -1, INT32_MIN, INT32_MAX};
    const float opts[] = {0.0f, -1.0f, NAN, INFINITY, 1e30f};
    alignas(16) char buffer[1024];
    void* arrangement = nullptr;
    for (int32_t opcode = -3; opcode <= 100; ++opcode) {
        if (opcode == effClose) continue;
        for (intptr_t value : values)
            for (int32_t index : indices)
                for (float opt : opts)
                    for (bool withBuffer : {false, true}) {
                        std::memset(buffer, 0, sizeof buffer);
                        intptr_t v = value;
                        if (opcode == effGetSpeakerArrangement)
                            v = value == 0 ? 0 : reinterpret_cast<intptr_t>(&arrangement);
                        if (opcode == effSetProgramName && withBuffer)
                            std::memcpy(buffer, "Renamed", 8);
                        plugin->dispatch(opcode, index, v, withBuffer ? buffer : nullptr, opt);
                    }
    }
    plugin->setSampleRate(44100.0f);
    plugin->resume();
    EXPECT_EQ(plugin->effectName(), "TolmVarnolet");
    std::vector<float> a(4096, 0.3f), b(4096, -0.2f), ol, orr;
    render(a, b, ol, orr);
    for (size_t i = 0; i < ol.size(); ++i)
        ASSERT_TRUE(std::isfinite(ol[i]) && std::isfinite(orr[i])) << i;
}

}  // namespace
