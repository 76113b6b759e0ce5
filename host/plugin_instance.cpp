#include "host/plugin_instance.h"

#include <algorithm>

namespace {
constexpr size_t kTextBufferSize = 256;
}

std::unique_ptr<PluginInstance> PluginInstance::create(const VstModule& module,
                                                       RecordingHost& host, std::string& error) {
    if (!module.entry()) {
        error = "no module loaded";
        return nullptr;
    }
    AEffect* record;
    {
        RecordingHost::Creating creating(host);
        record = module.entry()(RecordingHost::callback());
        if (record) host.adopt(record);
    }
    if (!record) {
        error = "the plug-in's entry returned no instance";
        return nullptr;
    }
    if (record->magic != kEffectMagic) {
        host.release(record);
        error = "the entry returned a record without the VST magic number";
        return nullptr;
    }
    return std::unique_ptr<PluginInstance>(new PluginInstance(record, host));
}

PluginInstance::~PluginInstance() { close(); }

void PluginInstance::notify(HostRequest::Kind kind, int32_t opcode, int32_t index, intptr_t value,
                            float opt, void* ptr) {
    HostRequest request;
    request.kind = kind;
    request.opcode = opcode;
    request.index = index;
    request.value = value;
    request.ptr = ptr;
    request.opt = opt;
    requestObserver(request);
}

intptr_t PluginInstance::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt) {
    if (!record) return 0;
    if (requestObserver) notify(HostRequest::Kind::Dispatch, opcode, index, value, opt, ptr);
    return record->dispatcher(record, opcode, index, value, ptr, opt);
}

intptr_t PluginInstance::close() {
    if (!record) return 0;
    if (requestObserver) notify(HostRequest::Kind::Dispatch, effClose, 0, 0, 0.0f);
    intptr_t answer = record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    host.release(record);
    record = nullptr;
    return answer;
}

void PluginInstance::prepare(float rate, int32_t blockSize) {
    open();
    setSampleRate(rate);
    setBlockSize(blockSize);
    resume();
}

void PluginInstance::setProgramName(const std::string& name) {
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    dispatch(effSetProgramName, 0, 0, buffer.data());
}

std::string PluginInstance::text(int32_t opcode, int32_t index, intptr_t value) {
    char buffer[kTextBufferSize] = {};
    dispatch(opcode, index, value, buffer);
    buffer[kTextBufferSize - 1] = '\0';
    return buffer;
}

void PluginInstance::processStereo(const std::vector<float>& inLeft,
                                   const std::vector<float>& inRight, std::vector<float>& outLeft,
                                   std::vector<float>& outRight) {
    const size_t frames = std::min(inLeft.size(), inRight.size());
    outLeft.assign(frames, 0.0f);
    outRight.assign(frames, 0.0f);
    float* inputs[2] = {const_cast<float*>(inLeft.data()), const_cast<float*>(inRight.data())};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    processReplacing(inputs, outputs, static_cast<int32_t>(frames));
}
