// A VST3 plug-in as a HostedPlugin: one audio effect class of a bundle, its
// audio buses laid end to end as the channels a host feeds, its parameters
// by their place in its controller's list with the controller's normalised
// values, and parameter changes handed in as queue points at their frames
// within each block. A parameter flagged as the program change is no
// parameter here: its steps are the programs, named by the controller's
// program list where it has one. Note events are not sent: a plug-in that
// takes them is played without.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/library/hosted_plugin.h"
#include "host/library/plugin_formats.h"
#include "host/library/vst3_host_objects.h"
#include "host/library/vst3_instance.h"
#include "host/library/vst3_module.h"

class Vst3Plugin : public HostedPlugin {
public:
    ~Vst3Plugin() override;

    const char* formatName() const override { return "VST3"; }
    const std::string& path() const override { return module->path(); }
    std::string name() override;
    PluginReport describe() override;

    int32_t inputCount() override { return channelTotal(inputs); }
    int32_t outputCount() override { return channelTotal(outputs); }
    MidiInput midiInput() override { return MidiInput::Refused; }

    int32_t parameterCount() override { return static_cast<int32_t>(parameters.size()); }
    std::string parameterName(int32_t index) override;
    std::string parameterLabel(int32_t index) override;
    std::string parameterDisplay(int32_t index) override;
    float parameterValue(int32_t index) override;
    void setParameterValue(int32_t index, float value) override;
    bool parameterValueOfText(int32_t index, const std::string& text, float& value) override;

    int32_t programCount() override;
    void selectProgram(int32_t program) override;

    void setLargestBlock(int32_t frames) override;
    bool activate(std::string& error) override;
    void deactivate() override;
    bool startProcessing(std::string& error) override;
    void stopProcessing() override;
    bool takesChangesWithinBlock() const override { return true; }
    void process(const ProcessCall& call) override;
    bool afterBlock() override;

    int32_t latency() override { return reportedLatency; }
    TailReport tail() override;

private:
    friend std::unique_ptr<HostedPlugin> openVst3Plugin(const std::string&, const PluginOpening&,
                                                        std::string&);
    struct Parameter {
        vst3::ParamID id = 0;
        std::string name, units;
        int32_t steps = 0, flags = 0;
        double defaultValue = 0.0;
        vst3::UnitID unitId = vst3::kRootUnitId;
    };
    struct Bus {
        std::string name;
        int32_t channels = 0;
        bool main = true;
    };

    Vst3Plugin() = default;
    void readBuses(vst3::BusDirection direction, std::vector<Bus>& buses);
    void readParameters();
    static int32_t channelTotal(const std::vector<Bus>& buses);
    int32_t currentProgram();
    std::vector<std::string> programNames();
    const Parameter* parameter(int32_t index) const;
    void say(const std::string& line) const;

    // Released in reverse: the instance before the module it came from.
    std::shared_ptr<Vst3Module> module;
    std::unique_ptr<Vst3Instance> instance;
    std::string className, vendor, version, subCategories, sdkVersion, classId;
    int32_t classIndex = 0, classCount = 0;
    std::function<void(const std::string&)> log;

    std::vector<Bus> inputs, outputs;
    std::vector<Parameter> parameters;
    // The program change, when the plug-in has one.
    bool hasProgramChange = false;
    Parameter programChange;
    double sampleRate = 44100.0;
    int32_t largestBlock = 1024;
    int32_t reportedLatency = 0;

    // Values set between blocks wait for the next block's first frame.
    Vst3ParameterChanges changes{0, 4};
    // Where the plug-in may write its own changes; no one listens offline.
    Vst3ParameterChanges answers{0, 4};
    std::vector<std::pair<vst3::ParamID, double>> pending;
    std::vector<vst3::AudioBusBuffers> inputBuffers, outputBuffers;
    std::vector<float*> channelPointers;
};

std::unique_ptr<HostedPlugin> openVst3Plugin(const std::string& path, const PluginOpening& opening,
                                             std::string& error);
