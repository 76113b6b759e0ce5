#include "host/library/vst2_plugin.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "host/library/fx_preset.h"
#include "host/library/plugin_description.h"
#include "host/library/preset_transfer.h"
#include "host/library/vst2_call_text.h"

namespace {
std::string fileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

PluginFact fact(const char* label, const std::string& text, ReportValue::Members json) {
    return PluginFact{label, text, std::move(json)};
}

PluginFact textFact(const char* label, const char* key, const std::string& text) {
    return fact(label, text, {{key, ReportValue::of(text)}});
}

PluginFact numberFact(const char* label, const char* key, int32_t number, const char* unit = "") {
    return fact(label, std::to_string(number) + unit, {{key, ReportValue::of(int64_t{number})}});
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : " ") + part;
    return text.empty() ? "(none)" : text;
}

PluginReport reportOf(const PluginDescription& d) {
    PluginReport r;
    r.facts.push_back(textFact("Effect name", "effectName", d.effectName));
    r.facts.push_back(textFact("Product", "product", d.product));
    r.facts.push_back(textFact("Vendor", "vendor", d.vendor));
    r.facts.push_back(numberFact("Vendor version", "vendorVersion", d.vendorVersion));
    r.facts.push_back(numberFact("VST version", "vstVersion", d.vstVersion));
    r.facts.push_back(numberFact("Record version", "recordVersion", d.recordVersion));
    r.facts.push_back(fact("Category",
                           std::to_string(d.category) + " (" + categoryName(d.category) + ")",
                           {{"category", ReportValue::object(
                                             {{"number", ReportValue::of(int64_t{d.category})},
                                              {"name", ReportValue::of(categoryName(d.category))}})}}));
    const std::string code = fourCharacterText(d.uniqueId);
    char id[96];
    std::snprintf(id, sizeof id, "%s%s%s%d (0x%08X)", code.empty() ? "" : "'", code.c_str(),
                  code.empty() ? "" : "' ", d.uniqueId, static_cast<unsigned>(d.uniqueId));
    r.facts.push_back(fact("Unique ID", id,
                           {{"uniqueId", ReportValue::object(
                                             {{"text", ReportValue::of(code)},
                                              {"number", ReportValue::of(int64_t{d.uniqueId})}})}}));
    r.facts.push_back(fact("Inputs/outputs",
                           std::to_string(d.inputs) + " / " + std::to_string(d.outputs),
                           {{"inputs", ReportValue::of(int64_t{d.inputs})},
                            {"outputs", ReportValue::of(int64_t{d.outputs})}}));
    std::vector<ReportValue> names;
    for (const std::string& name : flagNames(d.flags)) names.push_back(ReportValue::of(name));
    r.facts.push_back(fact("Flags", joined(flagNames(d.flags)),
                           {{"flags", ReportValue::object({{"value", ReportValue::of(int64_t{d.flags})},
                                                           {"names", ReportValue::list(names)}})}}));
    r.facts.push_back(numberFact("Initial delay", "initialDelay", d.initialDelay, " frames"));
    r.facts.push_back(numberFact("Tail size", "tailSize", d.tailSize));
    for (const ParameterDescriptionText& p : d.parameters)
        r.parameters.push_back(ParameterReport{p.index, p.name, p.label, p.display, p.value, {}});
    r.hasPrograms = true;
    r.currentProgram = d.currentProgram;
    r.programNames = d.programNames;
    return r;
}

// Asks the plug-in a capability: 1 yes, -1 no, 0 it does not say.
intptr_t canDo(PluginInstance& plugin, const char* capability) {
    char text[64] = {};
    std::snprintf(text, sizeof text, "%s", capability);
    return plugin.dispatch(effCanDo, 0, 0, text);
}
}  // namespace

Vst2Plugin::~Vst2Plugin() = default;

std::unique_ptr<HostedPlugin> openVst2Plugin(const std::string& path, const PluginOpening& opening,
                                             std::string& error) {
    if (!opening.pluginId.empty()) {
        error = "a VST 2.4 module holds one plug-in, with no id to choose it by ('" + opening.pluginId + "')";
        return nullptr;
    }
    std::unique_ptr<Vst2Plugin> plugin(new Vst2Plugin);
    if (!plugin->module.load(path, error)) {
        error = "cannot load the plug-in: " + error;
        return nullptr;
    }
    PlayingHost& host = plugin->host;
    host.sampleRateAnswer = static_cast<intptr_t>(opening.sampleRate);
    host.sampleRate = opening.sampleRate;
    host.transport = opening.transport;
    host.blockSizeAnswer = opening.largestBlock;
    const auto log = opening.log;
    if (log) {
        host.observer = [log](const HostCall& call) { log(describeHostCall(call)); };
        log("-> entry (" + path + ")");
    }
    plugin->instance = PluginInstance::create(plugin->module, host, error);
    if (!plugin->instance) {
        error = path + " is not a VST 2.4 plug-in: " + error;
        return nullptr;
    }
    PluginInstance& instance = *plugin->instance;
    if (log) instance.requestObserver = [log](const HostRequest& r) { log(describeRequest(r)); };
    instance.open();
    instance.setSampleRate(static_cast<float>(opening.sampleRate));
    instance.setBlockSize(opening.largestBlock);
    return plugin;
}

std::string Vst2Plugin::name() {
    std::string text = instance->productString();
    if (text.empty()) text = instance->effectName();
    if (text.empty()) text = fileName(module.path());
    return text;
}

PluginReport Vst2Plugin::describe() { return reportOf(describePlugin(*instance)); }

HostedPlugin::MidiInput Vst2Plugin::midiInput() {
    const intptr_t events = canDo(*instance, "receiveVstEvents");
    const intptr_t midi = canDo(*instance, "receiveVstMidiEvent");
    if (events < 0 || midi < 0) return MidiInput::Refused;
    if (events > 0 || midi > 0 || (instance->effect()->flags & effFlagsIsSynth)) return MidiInput::Taken;
    return MidiInput::Unsaid;
}

void Vst2Plugin::selectProgram(int32_t program) {
    instance->dispatch(effBeginSetProgram);
    instance->setProgram(program);
    instance->dispatch(effEndSetProgram);
}

bool Vst2Plugin::loadPreset(const std::vector<uint8_t>& bytes, const std::string&, std::string& error) {
    FxPreset preset;
    return parseFxPreset(bytes, preset, error) && loadFxPreset(*instance, preset, error);
}

bool Vst2Plugin::savePreset(bool bank, std::vector<uint8_t>& bytes, std::string&) {
    bytes = bank ? serializeFxBank(captureFxBank(*instance))
                 : serializeFxProgram(captureFxProgram(*instance));
    return true;
}

bool Vst2Plugin::activate(std::string&) {
    instance->resume();
    return true;
}

bool Vst2Plugin::startProcessing(std::string&) {
    instance->startProcessing();
    // A change it announced on the way here is read with the delay itself.
    instance->takeIoChange();
    return true;
}

void Vst2Plugin::process(const ProcessCall& call) {
    host.blockStarting(call.start);
    if (call.messageCount > 0) {
        // Every message of the block in one list, each placed by its frame.
        midiRecords.assign(call.messageCount, VstMidiEvent{});
        for (size_t i = 0; i < call.messageCount; ++i) {
            const TimedMidiMessage& message = call.messages[i];
            VstMidiEvent& record = midiRecords[i];
            record.type = kVstMidiType;
            record.byteSize = static_cast<int32_t>(sizeof(VstMidiEvent));
            record.deltaFrames = static_cast<int32_t>(std::max<int64_t>(message.frame - call.start, 0));
            for (size_t b = 0; b < 3; ++b) record.midiData[b] = static_cast<char>(message.bytes[b]);
        }
        // The list's pointers run on past the two of its declaration.
        const size_t bytes = std::max(sizeof(VstEvents),
                                      offsetof(VstEvents, events) + call.messageCount * sizeof(VstEvent*));
        eventList.assign((bytes + sizeof(intptr_t) - 1) / sizeof(intptr_t), 0);
        VstEvents* events = reinterpret_cast<VstEvents*>(eventList.data());
        events->numEvents = static_cast<int32_t>(call.messageCount);
        VstEvent** pointers = reinterpret_cast<VstEvent**>(reinterpret_cast<char*>(events) +
                                                           offsetof(VstEvents, events));
        for (size_t i = 0; i < call.messageCount; ++i)
            pointers[i] = reinterpret_cast<VstEvent*>(&midiRecords[i]);
        instance->dispatch(effProcessEvents, 0, 0, events);
    }
    // The record takes values between blocks only: changes come before the
    // block, the host having split it where they fall.
    for (size_t i = 0; i < call.changeCount; ++i)
        instance->setParameter(call.changes[i].index, call.changes[i].value);
    instance->processReplacing(const_cast<float**>(call.inputs), const_cast<float**>(call.outputs),
                               static_cast<int32_t>(call.frames));
}
