// Every request a host sends through the record's dispatcher reaches its own
// operation with its operands mapped, and its answer comes back converted. An
// instance that overrides every operation and notes each call, answering
// numbers no default gives, tells a missing or misrouted case from a default
// answer.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

#include "vst/audio_effect_x.h"

namespace {

std::vector<std::string> calls;
char ptrTarget[64];    // what the requests pass in ptr
char valueTarget[64];  // what the requests that take an address pass in value

template <class T>
std::string describe(T v) {
    if constexpr (std::is_pointer_v<T>) {
        const void* p = v;
        return p == ptrTarget ? "ptr" : p == valueTarget ? "value" : p ? "other" : "null";
    } else if constexpr (std::is_same_v<T, bool>) {
        return v ? "true" : "false";
    } else if constexpr (std::is_floating_point_v<T>) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
        return text;
    } else {
        return std::to_string(v);
    }
}

template <class... Operands>
void note(const char* operation, Operands... operands) {
    std::string call = std::string(operation) + "(";
    for (const std::string& operand : std::vector<std::string>{describe(operands)...})
        call += (call.back() == '(' ? "" : ", ") + operand;
    calls.push_back(call + ")");
}

class ProbeEditor : public AEffEditor {
public:
    bool getRect(void** rect) override { note("editor.getRect", rect); return true; }
    bool open(void* parent) override { note("editor.open", parent); return true; }
    void close() override { note("editor.close"); }
    void idle() override { note("editor.idle"); }
    bool onKeyDown(VstKeyCode& key) override {
        note("editor.onKeyDown", key.character, int{key.virt}, int{key.modifier});
        return true;
    }
    bool onKeyUp(VstKeyCode& key) override {
        note("editor.onKeyUp", key.character, int{key.virt}, int{key.modifier});
        return true;
    }
    bool setKnobMode(int32_t mode) override { note("editor.setKnobMode", mode); return true; }
};

class Probe : public AudioEffectX {
public:
    Probe() : AudioEffectX(nullptr, 8, 4) { editor = new ProbeEditor; }
    ~Probe() override { note("destroyed"); }

    void open() override { note("open"); }
    void close() override { note("close"); }
    void suspend() override { note("suspend"); }
    void resume() override { note("resume"); }
    void setSampleRate(float rate) override { note("setSampleRate", rate); }
    void setBlockSize(int32_t size) override { note("setBlockSize", size); }
    int32_t getProgram() override { note("getProgram"); return 101; }
    void setProgram(int32_t program) override { note("setProgram", program); }
    void setProgramName(char* name) override { note("setProgramName", name); }
    void getProgramName(char* name) override { note("getProgramName", name); }
    void getParameterLabel(int32_t i, char* text) override { note("getParameterLabel", i, text); }
    void getParameterDisplay(int32_t i, char* text) override { note("getParameterDisplay", i, text); }
    void getParameterName(int32_t i, char* text) override { note("getParameterName", i, text); }
    int32_t getChunk(void** data, bool isPreset) override {
        note("getChunk", data, isPreset);
        return 102;
    }
    int32_t setChunk(void* data, int32_t size, bool isPreset) override {
        note("setChunk", data, size, isPreset);
        return 103;
    }

    int32_t processEvents(void* events) override { note("processEvents", events); return 104; }
    bool canParameterBeAutomated(int32_t i) override { note("canParameterBeAutomated", i); return true; }
    bool string2parameter(int32_t i, char* text) override { note("string2parameter", i, text); return true; }
    bool getProgramNameIndexed(int32_t category, int32_t i, char* text) override {
        note("getProgramNameIndexed", category, i, text);
        return true;
    }
    bool getInputProperties(int32_t i, void* p) override { note("getInputProperties", i, p); return true; }
    bool getOutputProperties(int32_t i, void* p) override { note("getOutputProperties", i, p); return true; }
    VstPlugCategory getPlugCategory() override { note("getPlugCategory"); return kPlugCategSynth; }
    bool offlineNotify(void* files, int32_t count, bool start) override {
        note("offlineNotify", files, count, start);
        return true;
    }
    bool offlinePrepare(void* p, int32_t count) override { note("offlinePrepare", p, count); return true; }
    bool offlineRun(void* p, int32_t count) override { note("offlineRun", p, count); return true; }
    bool processVariableIo(void* p) override { note("processVariableIo", p); return true; }
    bool setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out) override {
        note("setSpeakerArrangement", in, out);
        return true;
    }
    bool setBypass(bool onOff) override { note("setBypass", onOff); return true; }
    bool getEffectName(char* text) override { note("getEffectName", text); return true; }
    bool getVendorString(char* text) override { note("getVendorString", text); return true; }
    bool getProductString(char* text) override { note("getProductString", text); return true; }
    int32_t getVendorVersion() override { note("getVendorVersion"); return 105; }
    intptr_t vendorSpecific(int32_t i, intptr_t value, void* p, float opt) override {
        note("vendorSpecific", i, value, p, opt);
        return 106;
    }
    int32_t canDo(char* text) override { note("canDo", text); return 107; }
    int32_t getGetTailSize() override { note("getGetTailSize"); return 108; }
    bool getParameterProperties(int32_t i, void* p) override {
        note("getParameterProperties", i, p);
        return true;
    }
    int32_t getVstVersion() override { note("getVstVersion"); return 109; }
    int32_t getMidiProgramName(int32_t c, void* p) override { note("getMidiProgramName", c, p); return 110; }
    int32_t getCurrentMidiProgram(int32_t c, void* p) override {
        note("getCurrentMidiProgram", c, p);
        return 111;
    }
    int32_t getMidiProgramCategory(int32_t c, void* p) override {
        note("getMidiProgramCategory", c, p);
        return 112;
    }
    bool hasMidiProgramsChanged(int32_t c) override { note("hasMidiProgramsChanged", c); return true; }
    bool getMidiKeyName(int32_t c, void* p) override { note("getMidiKeyName", c, p); return true; }
    bool beginSetProgram() override { note("beginSetProgram"); return true; }
    bool endSetProgram() override { note("endSetProgram"); return true; }
    bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) override {
        note("getSpeakerArrangement", in, out);
        return true;
    }
    int32_t getNextShellPlugin(char* name) override { note("getNextShellPlugin", name); return 113; }
    int32_t startProcess() override { note("startProcess"); return 114; }
    int32_t stopProcess() override { note("stopProcess"); return 115; }
    int32_t setTotalSampleToProcess(int32_t value) override {
        note("setTotalSampleToProcess", value);
        return 116;
    }
    bool setPanLaw(int32_t type, float value) override { note("setPanLaw", type, value); return true; }
    int32_t beginLoadBank(void* bank) override { note("beginLoadBank", bank); return 117; }
    int32_t beginLoadProgram(void* program) override { note("beginLoadProgram", program); return 118; }
    bool setProcessPrecision(int32_t precision) override {
        note("setProcessPrecision", precision);
        return true;
    }
    int32_t getNumMidiInputChannels() override { note("getNumMidiInputChannels"); return 119; }
    int32_t getNumMidiOutputChannels() override { note("getNumMidiOutputChannels"); return 120; }
};

struct Request {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    const char* call;  // empty: no operation is called
    intptr_t answer;
};

const intptr_t kAddress = reinterpret_cast<intptr_t>(valueTarget);

// Sent with index 7, ptr, opt 300.75 and the value given.
const Request kRequests[] = {
    {effOpen, 7, 5, "open()", 0},
    {effSetProgram, 7, 5, "setProgram(5)", 0},
    {effSetProgram, 7, 8, "", 0},  // not a program: 8 of them
    {effSetProgram, 7, -1, "", 0},
    {effGetProgram, 7, 5, "getProgram()", 101},
    {effSetProgramName, 7, 5, "setProgramName(ptr)", 0},
    {effGetProgramName, 7, 5, "getProgramName(ptr)", 0},
    {effGetParamLabel, 7, 5, "getParameterLabel(7, ptr)", 0},
    {effGetParamDisplay, 7, 5, "getParameterDisplay(7, ptr)", 0},
    {effGetParamName, 7, 5, "getParameterName(7, ptr)", 0},
    {effSetSampleRate, 7, 5, "setSampleRate(300.75)", 0},
    {effSetBlockSize, 7, 5, "setBlockSize(5)", 0},
    {effMainsChanged, 7, 0, "suspend()", 0},
    {effMainsChanged, 7, 5, "resume()", 0},
    {effEditGetRect, 7, 5, "editor.getRect(ptr)", 1},
    {effEditOpen, 7, 5, "editor.open(ptr)", 1},
    {effEditClose, 7, 5, "editor.close()", 0},
    {effEditIdle, 7, 5, "editor.idle()", 0},
    {effIdentify, 7, 5, "", 0x4E764566},
    {effGetChunk, 7, 5, "getChunk(ptr, true)", 102},
    {effGetChunk, 0, 5, "getChunk(ptr, false)", 102},
    {effSetChunk, 7, 5, "setChunk(ptr, 5, true)", 103},
    {effSetChunk, 0, 5, "setChunk(ptr, 5, false)", 103},
    {effProcessEvents, 7, 5, "processEvents(ptr)", 104},
    {effCanBeAutomated, 7, 5, "canParameterBeAutomated(7)", 1},
    {effString2Parameter, 7, 5, "string2parameter(7, ptr)", 1},
    {effGetProgramNameIndexed, 7, 5, "getProgramNameIndexed(5, 7, ptr)", 1},
    {effGetInputProperties, 7, 5, "getInputProperties(7, ptr)", 1},
    {effGetOutputProperties, 7, 5, "getOutputProperties(7, ptr)", 1},
    {effGetPlugCategory, 7, 5, "getPlugCategory()", kPlugCategSynth},
    {effOfflineNotify, 7, 5, "offlineNotify(ptr, 5, true)", 1},
    {effOfflineNotify, 0, 5, "offlineNotify(ptr, 5, false)", 1},
    {effOfflinePrepare, 7, 5, "offlinePrepare(ptr, 5)", 1},
    {effOfflineRun, 7, 5, "offlineRun(ptr, 5)", 1},
    {effProcessVarIo, 7, 5, "processVariableIo(ptr)", 1},
    {effSetSpeakerArrangement, 7, kAddress, "setSpeakerArrangement(value, ptr)", 1},
    {effSetBypass, 7, 5, "setBypass(true)", 1},
    {effSetBypass, 7, 0, "setBypass(false)", 1},
    {effGetEffectName, 7, 5, "getEffectName(ptr)", 1},
    {effGetVendorString, 7, 5, "getVendorString(ptr)", 1},
    {effGetProductString, 7, 5, "getProductString(ptr)", 1},
    {effGetVendorVersion, 7, 5, "getVendorVersion()", 105},
    {effVendorSpecific, 7, 5, "vendorSpecific(7, 5, ptr, 300.75)", 106},
    {effCanDo, 7, 5, "canDo(ptr)", 107},
    {effGetTailSize, 7, 5, "getGetTailSize()", 108},
    {effGetParameterProperties, 7, 5, "getParameterProperties(7, ptr)", 1},
    {effGetVstVersion, 7, 5, "getVstVersion()", 109},
    // The key: character from index, virtual key from value's low byte,
    // modifier from opt truncated (300 & 0xff).
    {effEditKeyDown, 7, 0x1234, "editor.onKeyDown(7, 52, 44)", 1},
    {effEditKeyUp, 7, 0x1234, "editor.onKeyUp(7, 52, 44)", 1},
    {effSetEditKnobMode, 7, 5, "editor.setKnobMode(5)", 1},
    {effGetMidiProgramName, 7, 5, "getMidiProgramName(7, ptr)", 110},
    {effGetCurrentMidiProgram, 7, 5, "getCurrentMidiProgram(7, ptr)", 111},
    {effGetMidiProgramCategory, 7, 5, "getMidiProgramCategory(7, ptr)", 112},
    {effHasMidiProgramsChanged, 7, 5, "hasMidiProgramsChanged(7)", 1},
    {effGetMidiKeyName, 7, 5, "getMidiKeyName(7, ptr)", 1},
    {effBeginSetProgram, 7, 5, "beginSetProgram()", 1},
    {effEndSetProgram, 7, 5, "endSetProgram()", 1},
    {effGetSpeakerArrangement, 7, kAddress, "getSpeakerArrangement(value, ptr)", 1},
    {effShellGetNextPlugin, 7, 5, "getNextShellPlugin(ptr)", 113},
    {effStartProcess, 7, 5, "startProcess()", 114},
    {effStopProcess, 7, 5, "stopProcess()", 115},
    {effSetTotalSampleToProcess, 7, 5, "setTotalSampleToProcess(5)", 116},
    {effSetPanLaw, 7, 5, "setPanLaw(5, 300.75)", 1},
    {effBeginLoadBank, 7, 5, "beginLoadBank(ptr)", 117},
    {effBeginLoadProgram, 7, 5, "beginLoadProgram(ptr)", 118},
    {effSetProcessPrecision, 7, 5, "setProcessPrecision(5)", 1},
    {effGetNumMidiInputChannels, 7, 5, "getNumMidiInputChannels()", 119},
    {effGetNumMidiOutputChannels, 7, 5, "getNumMidiOutputChannels()", 120},
};

intptr_t send(AEffect* record, int32_t opcode, int32_t index, intptr_t value) {
    return record->dispatcher(record, opcode, index, value, ptrTarget, 300.75f);
}

TEST(DispatcherRouting, EveryRequestReachesItsOperationWithItsOperands) {
    Probe probe;
    AEffect* record = probe.getAeffect();
    for (const Request& request : kRequests) {
        SCOPED_TRACE("opcode " + std::to_string(request.opcode));
        calls.clear();
        EXPECT_EQ(send(record, request.opcode, request.index, request.value), request.answer);
        if (*request.call)
            EXPECT_EQ(calls, std::vector<std::string>{request.call});
        else
            EXPECT_TRUE(calls.empty()) << calls.front();
    }
}

TEST(DispatcherRouting, OtherOpcodesCallNothingAndAnswerZero) {
    Probe probe;
    AEffect* record = probe.getAeffect();
    for (int32_t opcode = -3; opcode <= 100; ++opcode) {
        bool listed = opcode == effClose;
        for (const Request& request : kRequests) listed = listed || request.opcode == opcode;
        if (listed) continue;
        calls.clear();
        EXPECT_EQ(send(record, opcode, 7, 5), 0) << "opcode " << opcode;
        EXPECT_TRUE(calls.empty()) << "opcode " << opcode << ": " << calls.front();
    }
    for (int32_t opcode : {INT32_MIN, INT32_MAX}) EXPECT_EQ(send(record, opcode, 7, 5), 0);
}

TEST(DispatcherRouting, CloseRunsCloseThenDestroysTheInstance) {
    Probe* probe = new Probe;
    calls.clear();
    AEffect* record = probe->getAeffect();
    EXPECT_EQ(send(record, effClose, 7, 5), 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"close()", "destroyed()"}));
}

}  // namespace
