#include "host/library/plugin_host.h"

PluginHost::PluginHost() = default;
PluginHost::~PluginHost() = default;

void PluginHost::startRecording() {
    if (!record) record = std::make_unique<CallRecord>();
}

std::vector<HostCall> PluginHost::calls() const {
    if (!record) return {};
    std::lock_guard<std::mutex> lock(record->mutex);
    return record->calls;
}

void PluginHost::clearCalls() {
    if (!record) return;
    std::lock_guard<std::mutex> lock(record->mutex);
    record->calls.clear();
}

intptr_t PluginHost::takeCall(const HostCall& call) {
    if (record) {
        std::lock_guard<std::mutex> lock(record->mutex);
        record->calls.push_back(call);
    }
    if (observer) observer(call);
    return answer(call);
}

intptr_t PluginHost::answer(const HostCall& call) {
    switch (call.opcode) {
        case audioMasterVersion: return versionAnswer;
        case audioMasterGetSampleRate: return sampleRateAnswer;
        case audioMasterGetBlockSize: return blockSizeAnswer;
        case audioMasterGetCurrentProcessLevel: return 4;  // offline
        // Taken: a render reads the new delay after the block (PluginStage).
        case audioMasterIOChanged: return 1;
        default: return 0;
    }
}
