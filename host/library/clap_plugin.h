// A CLAP plug-in as a HostedPlugin: one plug-in of a module's factory, its
// audio ports laid end to end as the channels a host feeds, its parameters
// by their place in its list with values normalised over their plain
// ranges (a stepped one lands on the nearest step), and parameter changes
// and MIDI handed in as events at their frames within each block.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "clap/clap_interface.h"
#include "host/library/clap_host_side.h"
#include "host/library/clap_module.h"
#include "host/library/hosted_plugin.h"
#include "host/library/plugin_formats.h"

class ClapPlugin : public HostedPlugin {
public:
    ~ClapPlugin() override;

    const char* formatName() const override { return "CLAP"; }
    const std::string& path() const override { return module->path(); }
    std::string name() override;
    PluginReport describe() override;

    int32_t inputCount() override { return channelTotal(inputs); }
    int32_t outputCount() override { return channelTotal(outputs); }
    MidiInput midiInput() override;

    int32_t parameterCount() override { return static_cast<int32_t>(parameters.size()); }
    std::string parameterName(int32_t index) override;
    std::string parameterLabel(int32_t) override { return std::string(); }
    std::string parameterDisplay(int32_t index) override;
    float parameterValue(int32_t index) override;
    void setParameterValue(int32_t index, float value) override;
    bool parameterValueOfText(int32_t index, const std::string& text, float& value) override;

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
    friend std::unique_ptr<HostedPlugin> openClapPlugin(const std::string&, const PluginOpening&,
                                                        std::string&);
    struct Parameter {
        vclap_id id = 0;
        uint32_t flags = 0;
        void* cookie = nullptr;
        std::string name;
        double minimum = 0.0, maximum = 1.0, defaultValue = 0.0;
        double lastSet = 0.0;  // for a plug-in that cannot tell its value
    };
    struct Port {
        std::string name;
        uint32_t channels = 0;
        uint32_t flags = 0;
        std::string type;
    };
    union Event {
        vclap_event_header_t header;
        vclap_event_param_value_t parameter;
        vclap_event_midi_t midi;
    };

    ClapPlugin() = default;
    bool readPorts(bool input, std::vector<Port>& ports, std::string& error);
    void readParameters();
    void readLatency();
    static int32_t channelTotal(const std::vector<Port>& ports);
    const Parameter* parameter(int32_t index) const;
    double plainOf(const Parameter& p, float value) const;
    float normalisedOf(const Parameter& p, double plain) const;
    double plainValue(const Parameter& p);
    Event parameterEvent(const Parameter& p, double plain, uint32_t frame) const;
    // Hands the events to the plug-in outside a block.
    void flush();
    void say(const std::string& line) const;

    static uint32_t VCLAP_ABI eventCount(const vclap_input_events_t* list);
    static const vclap_event_header_t* VCLAP_ABI eventAt(const vclap_input_events_t* list,
                                                         uint32_t index);
    static bool VCLAP_ABI dropEvent(const vclap_output_events_t* list,
                                    const vclap_event_header_t* event);

    // Destroyed in reverse: the plug-in goes before its host and module.
    std::shared_ptr<ClapModule> module;
    std::unique_ptr<ClapHostSide> hostSide;
    const vclap_plugin_t* plugin = nullptr;
    uint32_t factoryIndex = 0, factoryCount = 0;
    std::function<void(const std::string&)> log;

    const vclap_plugin_audio_ports_t* audioPorts = nullptr;
    const vclap_plugin_params_t* params = nullptr;
    const vclap_plugin_latency_t* latencyExtension = nullptr;
    const vclap_plugin_tail_t* tailExtension = nullptr;
    const vclap_plugin_note_ports_t* notePorts = nullptr;
    std::vector<std::string> extensionsOffered;

    std::vector<Port> inputs, outputs;
    std::vector<Parameter> parameters;
    double sampleRate = 44100.0;
    uint32_t largestBlock = 1024;
    bool active = false, processing = false;
    int32_t reportedLatency = 0;
    bool blockSinceActivation = false;  // a block has been processed since activation

    // The events of the next call, and values set during processing that
    // wait for the next block.
    std::vector<Event> events;
    std::vector<Event> pending;
    vclap_input_events_t inEvents{};
    vclap_output_events_t outEvents{};
    std::vector<float*> channelPointers;
    std::vector<vclap_audio_buffer_t> inputBuffers, outputBuffers;
};

std::unique_ptr<HostedPlugin> openClapPlugin(const std::string& path, const PluginOpening& opening,
                                             std::string& error);
