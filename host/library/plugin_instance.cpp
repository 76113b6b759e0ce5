#include "host/library/plugin_instance.h"

#include <vector>

#include "host/library/instance_bindings.h"

namespace {
constexpr size_t kTextBufferSize = 256;
}

std::unique_ptr<PluginInstance> PluginInstance::create(const VstModule& module, PluginHost& host,
                                                       std::string& error) {
    if (!module.entry()) {
        error = "no module loaded";
        return nullptr;
    }
    AEffect* effect;
    {
        CreatingInstance creating(host);
        effect = module.entry()(hostCallback);
    }
    if (!effect) {
        error = "the plug-in's entry returned no instance";
        return nullptr;
    }
    if (effect->magic != kEffectMagic) {
        error = "the entry returned a record without the VST magic number";
        return nullptr;
    }
    std::unique_ptr<PluginInstance> instance(new PluginInstance(effect, host));
    if (!bindInstance(effect, instance.get())) {
        error = "too many plug-in instances at once";
        return nullptr;
    }
    return instance;
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
    const intptr_t answer = record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    unbindInstance(record);
    record = nullptr;
    return answer;
}

intptr_t PluginInstance::takeHostCall(const HostCall& call) {
    if (call.opcode == audioMasterIOChanged) ioChanged.store(true);
    return owner.takeCall(call);
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
