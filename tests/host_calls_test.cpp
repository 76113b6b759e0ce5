// The interface classes' calls into their host: what each sends, and what
// each answers when there is no host at all.
#include <gtest/gtest.h>

#include <vector>

#include "host/library/recording_host.h"
#include "vst/audio_effect_x.h"

namespace {

std::vector<HostCall> sent;
intptr_t hostAnswer = 0;

intptr_t VSTCALLBACK recordingHost(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                   void* ptr, float opt) {
    sent.push_back({effect, opcode, index, value, ptr, opt});
    return hostAnswer;
}

class Plain : public AudioEffectX {
public:
    explicit Plain(audioMasterCallback host) : AudioEffectX(host, 1, 1) {}
    std::vector<std::pair<int32_t, float>> setCalls;
    void setParameter(int32_t index, float value) override { setCalls.push_back({index, value}); }
};

TEST(HostCalls, WithoutAHostEveryCallGivesItsDefault) {
    Plain effect(nullptr);
    char text[64] = "unchanged";
    int selector = 0;
    EXPECT_EQ(effect.getMasterVersion(), 1);
    EXPECT_EQ(effect.getCurrentUniqueId(), 0);
    EXPECT_EQ(effect.masterIdle(), 0);
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_TRUE(effect.isOutputConnected(1));
    EXPECT_EQ(effect.getTimeInfo(0), nullptr);
    EXPECT_EQ(effect.tempoAt(0), 0);
    EXPECT_FALSE(effect.ioChanged());
    EXPECT_FALSE(effect.needIdle());
    EXPECT_FALSE(effect.sizeWindow(10, 10));
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    EXPECT_EQ(effect.getInputLatency(), 0);
    EXPECT_EQ(effect.getPreviousPlug(0), nullptr);
    EXPECT_EQ(effect.getCurrentProcessLevel(), 0);
    EXPECT_FALSE(effect.offlineStart(nullptr, 1, 1));
    EXPECT_EQ(effect.offlineGetCurrentPass(), 0);
    EXPECT_FALSE(effect.getHostVendorString(text));
    EXPECT_STREQ(text, "unchanged");
    EXPECT_EQ(effect.canHostDo(text), 0);
    EXPECT_EQ(effect.getDirectory(), nullptr);
    EXPECT_FALSE(effect.updateDisplay());
    EXPECT_FALSE(effect.beginEdit(0));
    EXPECT_FALSE(effect.openFileSelector(&selector));
    EXPECT_EQ(effect.getInputSpeakerArrangement(), nullptr);
    effect.wantEvents();
    effect.setParameterAutomated(0, 0.25f);
    ASSERT_EQ(effect.setCalls.size(), 1u) << "the parameter changes even without a host";
    EXPECT_EQ(effect.setCalls[0].second, 0.25f);
}

TEST(HostCalls, EachCallSendsItsOpcodeAndOperandsWithTheInstanceRecord) {
    sent.clear();
    hostAnswer = 0;
    Plain effect(recordingHost);
    char text[16] = "x";
    int task = 0;
    effect.setParameterAutomated(3, 0.5f);
    effect.isOutputConnected(2);
    effect.sizeWindow(640, 480);
    effect.offlineStart(&task, 5, 6);
    effect.offlineRead(&task, 7, true);
    effect.hostVendorSpecific(1, 2, &task, 3.5f);
    effect.setOutputSamplerate(96000.0f);
    effect.getPreviousPlug(9);
    effect.canHostDo(text);
    effect.endEdit(4);
    struct Expect {
        int32_t opcode, index;
        intptr_t value;
        void* ptr;
        float opt;
    };
    const Expect expected[] = {
        {audioMasterAutomate, 3, 0, nullptr, 0.5f},
        {audioMasterPinConnected, 2, 1, nullptr, 0.0f},
        {audioMasterSizeWindow, 640, 480, nullptr, 0.0f},
        {audioMasterOfflineStart, 6, 5, &task, 0.0f},
        {audioMasterOfflineRead, 1, 7, &task, 0.0f},
        {audioMasterVendorSpecific, 1, 2, &task, 3.5f},
        {audioMasterSetOutputSampleRate, 0, 0, nullptr, 96000.0f},
        {audioMasterGetPreviousPlug, 0, 0, nullptr, 0.0f},
        {audioMasterCanDo, 0, 0, text, 0.0f},
        {audioMasterEndEdit, 4, 0, nullptr, 0.0f},
    };
    ASSERT_EQ(sent.size(), std::size(expected));
    for (size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sent[i].effect, effect.getAeffect());
        EXPECT_EQ(sent[i].opcode, expected[i].opcode);
        EXPECT_EQ(sent[i].index, expected[i].index);
        EXPECT_EQ(sent[i].value, expected[i].value);
        EXPECT_EQ(sent[i].ptr, expected[i].ptr);
        EXPECT_EQ(sent[i].opt, expected[i].opt);
    }
}

TEST(HostCalls, AnswersAreConverted) {
    Plain effect(recordingHost);
    hostAnswer = -1;
    char text[4] = "";
    EXPECT_EQ(effect.canHostDo(text), 1);
    EXPECT_EQ(effect.offlineGetCurrentMetaPass(), 1);
    EXPECT_FALSE(effect.isInputConnected(0)) << "connected only when the host answers 0";
    EXPECT_EQ(effect.updateSampleRate(), 44100.0) << "a negative rate is not taken";
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    hostAnswer = 0;
    EXPECT_EQ(effect.getMasterVersion(), 1);
    hostAnswer = 48000;
    EXPECT_EQ(effect.updateSampleRate(), 48000.0);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
    hostAnswer = 512;
    EXPECT_EQ(effect.updateBlockSize(), 512);
    hostAnswer = 0;
    EXPECT_EQ(effect.updateSampleRate(), 48000.0);
}

TEST(HostCalls, NullSelectorsAndPathsAreNotSent) {
    sent.clear();
    hostAnswer = 1;
    Plain effect(recordingHost);
    EXPECT_FALSE(effect.openFileSelector(nullptr));
    EXPECT_FALSE(effect.closeFileSelector(nullptr));
    EXPECT_FALSE(effect.getChunkFile(nullptr));
    EXPECT_TRUE(sent.empty());
}

TEST(HostCalls, ResumeAsksForEventsOnlyForSynthsAndMidiReceivers) {
    sent.clear();
    Plain effect(recordingHost);
    effect.resume();
    EXPECT_TRUE(sent.empty());
    effect.isSynth(true);
    effect.resume();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].opcode, audioMasterWantMidi);
    EXPECT_EQ(sent[0].value, 1);
}

}  // namespace
