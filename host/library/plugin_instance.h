// One plug-in instance as a host holds it: created through a module's entry,
// spoken to only through its record, closed when it goes.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "host/library/host_request.h"
#include "host/library/plugin_host.h"
#include "host/library/vst_module.h"

class PluginInstance {
public:
    // Calls the module's entry with the host's callback. Returns null, with
    // the reason in error, when the entry gives no valid record.
    static std::unique_ptr<PluginInstance> create(const VstModule& module, PluginHost& host,
                                                  std::string& error);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect* effect() const { return record; }
    PluginHost& host() const { return owner; }
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f);
    // Sends effClose; the record is gone afterwards. Returns the answer.
    intptr_t close();

    void open() { dispatch(effOpen); }
    void setSampleRate(float rate) { dispatch(effSetSampleRate, 0, 0, nullptr, rate); }
    void setBlockSize(int32_t frames) { dispatch(effSetBlockSize, 0, frames); }
    void resume() { dispatch(effMainsChanged, 0, 1); }
    void suspend() { dispatch(effMainsChanged, 0, 0); }
    void startProcessing() { dispatch(effStartProcess); }
    void stopProcessing() { dispatch(effStopProcess); }
    // What a host does before processing: open, rate, block size, switch on.
    void prepare(float rate, int32_t blockSize);

    int32_t numParams() const { return record->numParams; }
    int32_t numPrograms() const { return record->numPrograms; }
    int32_t numInputs() const { return record->numInputs; }
    int32_t numOutputs() const { return record->numOutputs; }
    // The frames the plug-in's output lags its input by, as it reports them.
    int32_t initialDelay() const { return record->initialDelay; }
    // True once after each audioMasterIOChanged: the plug-in says its delay
    // (or its layout) changed.
    bool takeIoChange() { return ioChanged.exchange(false); }
    void setParameter(int32_t index, float value) {
        if (requestObserver) notify(HostRequest::Kind::SetParameter, 0, index, 0, value);
        record->setParameter(record, index, value);
    }
    float getParameter(int32_t index) {
        if (requestObserver) notify(HostRequest::Kind::GetParameter, 0, index, 0, 0.0f);
        return record->getParameter(record, index);
    }
    int32_t program() { return static_cast<int32_t>(dispatch(effGetProgram)); }
    void setProgram(int32_t index) { dispatch(effSetProgram, 0, index); }
    void setProgramName(const std::string& name);

    // Text requests, each with a generous zero-filled buffer as hosts pass.
    std::string text(int32_t opcode, int32_t index = 0, intptr_t value = 0);
    std::string parameterName(int32_t index) { return text(effGetParamName, index); }
    std::string parameterLabel(int32_t index) { return text(effGetParamLabel, index); }
    std::string parameterDisplay(int32_t index) { return text(effGetParamDisplay, index); }
    std::string programName() { return text(effGetProgramName); }
    std::string programNameIndexed(int32_t index) { return text(effGetProgramNameIndexed, index); }
    std::string effectName() { return text(effGetEffectName); }
    std::string vendorString() { return text(effGetVendorString); }
    std::string productString() { return text(effGetProductString); }

    // Any number of input and output channels, as the record declares them.
    void processReplacing(float** inputs, float** outputs, int32_t frames) {
        if (requestObserver) notify(HostRequest::Kind::ProcessReplacing, 0, 0, frames, 0.0f);
        record->processReplacing(record, inputs, outputs, frames);
    }

    // Called with every request just before it is sent, e.g. to print a log.
    std::function<void(const HostRequest&)> requestObserver;

    // A call the plug-in made with this instance's record; the callback
    // brings it here.
    intptr_t takeHostCall(const HostCall& call);

private:
    PluginInstance(AEffect* effect, PluginHost& host) : record(effect), owner(host) {}

    void notify(HostRequest::Kind kind, int32_t opcode, int32_t index, intptr_t value, float opt,
                void* ptr = nullptr);

    AEffect* record;
    PluginHost& owner;
    std::atomic<bool> ioChanged{false};
};
