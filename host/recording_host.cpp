#include "host/recording_host.h"

#include <algorithm>
#include <map>

namespace {
std::mutex& bindingsMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<AEffect*, RecordingHost*>& bindings() {
    static std::map<AEffect*, RecordingHost*> hosts;
    return hosts;
}
thread_local RecordingHost* creatingHost = nullptr;

RecordingHost* hostFor(AEffect* effect) {
    if (effect) {
        std::lock_guard<std::mutex> lock(bindingsMutex());
        auto found = bindings().find(effect);
        if (found != bindings().end()) return found->second;
    }
    return creatingHost;
}

intptr_t VSTCALLBACK dispatchToHost(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                    void* ptr, float opt) {
    RecordingHost* host = hostFor(effect);
    if (!host) return opcode == audioMasterVersion ? 2400 : 0;
    return host->answerCall(HostCall{effect, opcode, index, value, ptr, opt});
}
}  // namespace

RecordingHost::RecordingHost() = default;

RecordingHost::~RecordingHost() {
    std::lock_guard<std::mutex> lock(bindingsMutex());
    for (auto it = bindings().begin(); it != bindings().end();) {
        if (it->second == this) it = bindings().erase(it);
        else ++it;
    }
}

audioMasterCallback RecordingHost::callback() { return dispatchToHost; }

void RecordingHost::adopt(AEffect* effect) {
    std::lock_guard<std::mutex> lock(bindingsMutex());
    bindings()[effect] = this;
}

void RecordingHost::release(AEffect* effect) {
    std::lock_guard<std::mutex> lock(bindingsMutex());
    auto found = bindings().find(effect);
    if (found != bindings().end() && found->second == this) bindings().erase(found);
}

RecordingHost::Creating::Creating(RecordingHost& host) : previous(creatingHost) {
    creatingHost = &host;
}

RecordingHost::Creating::~Creating() { creatingHost = previous; }

std::vector<HostCall> RecordingHost::calls() const {
    std::lock_guard<std::mutex> lock(mutex);
    return log;
}

void RecordingHost::clearCalls() {
    std::lock_guard<std::mutex> lock(mutex);
    log.clear();
}

intptr_t RecordingHost::answerCall(const HostCall& call) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        log.push_back(call);
    }
    if (observer) observer(call);
    switch (call.opcode) {
        case audioMasterVersion: return versionAnswer;
        case audioMasterGetSampleRate: return sampleRateAnswer;
        case audioMasterGetBlockSize: return blockSizeAnswer;
        case audioMasterGetCurrentProcessLevel: return 4;  // offline
        default: return 0;
    }
}

const char* audioMasterOpcodeName(int32_t opcode) {
    static const char* const names[] = {
        "audioMasterAutomate", "audioMasterVersion", "audioMasterCurrentId", "audioMasterIdle",
        "audioMasterPinConnected", "(5)", "audioMasterWantMidi", "audioMasterGetTime",
        "audioMasterProcessEvents", "audioMasterSetTime", "audioMasterTempoAt",
        "audioMasterGetNumAutomatableParameters", "audioMasterGetParameterQuantization",
        "audioMasterIOChanged", "audioMasterNeedIdle", "audioMasterSizeWindow",
        "audioMasterGetSampleRate", "audioMasterGetBlockSize", "audioMasterGetInputLatency",
        "audioMasterGetOutputLatency", "audioMasterGetPreviousPlug", "audioMasterGetNextPlug",
        "audioMasterWillReplaceOrAccumulate", "audioMasterGetCurrentProcessLevel",
        "audioMasterGetAutomationState", "audioMasterOfflineStart", "audioMasterOfflineRead",
        "audioMasterOfflineWrite", "audioMasterOfflineGetCurrentPass",
        "audioMasterOfflineGetCurrentMetaPass", "audioMasterSetOutputSampleRate",
        "audioMasterGetOutputSpeakerArrangement", "audioMasterGetVendorString",
        "audioMasterGetProductString", "audioMasterGetVendorVersion",
        "audioMasterVendorSpecific", "audioMasterSetIcon", "audioMasterCanDo",
        "audioMasterGetLanguage", "audioMasterOpenWindow", "audioMasterCloseWindow",
        "audioMasterGetDirectory", "audioMasterUpdateDisplay", "audioMasterBeginEdit",
        "audioMasterEndEdit", "audioMasterOpenFileSelector", "audioMasterCloseFileSelector",
        "audioMasterEditFile", "audioMasterGetChunkFile",
        "audioMasterGetInputSpeakerArrangement"};
    constexpr int32_t count = static_cast<int32_t>(sizeof names / sizeof names[0]);
    return opcode >= 0 && opcode < count ? names[opcode] : "(unknown)";
}
