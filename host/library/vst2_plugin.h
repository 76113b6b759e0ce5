// A VST 2.4 plug-in as a HostedPlugin: its module, the host side of its
// callback, and its instance, spoken to through the record.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/library/hosted_plugin.h"
#include "host/library/playing_host.h"
#include "host/library/plugin_formats.h"
#include "host/library/plugin_instance.h"
#include "host/library/vst_module.h"

class Vst2Plugin : public HostedPlugin {
public:
    ~Vst2Plugin() override;

    const char* formatName() const override { return "VST 2.4"; }
    const std::string& path() const override { return module.path(); }
    std::string name() override;
    PluginReport describe() override;

    int32_t inputCount() override { return instance->numInputs(); }
    int32_t outputCount() override { return instance->numOutputs(); }
    MidiInput midiInput() override;

    int32_t parameterCount() override { return instance->numParams(); }
    std::string parameterName(int32_t index) override { return instance->parameterName(index); }
    std::string parameterLabel(int32_t index) override { return instance->parameterLabel(index); }
    std::string parameterDisplay(int32_t index) override { return instance->parameterDisplay(index); }
    float parameterValue(int32_t index) override { return instance->getParameter(index); }
    void setParameterValue(int32_t index, float value) override { instance->setParameter(index, value); }

    int32_t programCount() override { return instance->numPrograms(); }
    void selectProgram(int32_t program) override;
    bool loadPreset(const std::vector<uint8_t>& bytes, const std::string& name,
                    std::string& error) override;
    bool savePreset(bool bank, std::vector<uint8_t>& bytes, std::string& error) override;

    void setLargestBlock(int32_t frames) override { instance->setBlockSize(frames); }
    bool activate(std::string& error) override;
    void deactivate() override { instance->suspend(); }
    bool startProcessing(std::string& error) override;
    void stopProcessing() override { instance->stopProcessing(); }
    bool takesChangesWithinBlock() const override { return false; }
    void process(const ProcessCall& call) override;
    bool afterBlock() override { return instance->takeIoChange(); }

    int32_t latency() override { return instance->initialDelay(); }
    TailReport tail() override { return TailReport(); }

private:
    friend std::unique_ptr<HostedPlugin> openVst2Plugin(const std::string&, const PluginOpening&,
                                                        std::string&);
    Vst2Plugin() = default;

    // Destroyed in reverse: the instance closes before its host and module go.
    VstModule module;
    PlayingHost host;
    std::unique_ptr<PluginInstance> instance;
    std::vector<VstMidiEvent> midiRecords;
    std::vector<intptr_t> eventList;  // a VstEvents with room for every pointer
};

std::unique_ptr<HostedPlugin> openVst2Plugin(const std::string& path, const PluginOpening& opening,
                                             std::string& error);
