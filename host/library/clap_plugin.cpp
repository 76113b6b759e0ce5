#include "host/library/clap_plugin.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
// More than this is taken for a fault, not a layout.
constexpr uint32_t kMostPorts = 64;
constexpr uint32_t kMostChannels = 4096;
constexpr uint32_t kMostParameters = 1 << 16;
constexpr size_t kTextSize = 256;

std::string text(const char* s) { return s ? s : ""; }

// A fixed text field of the plug-in's, which may lack its end.
std::string field(const char* s, size_t size) { return std::string(s, std::find(s, s + size, '\0')); }

std::string fileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool allDigits(const std::string& s) {
    return !s.empty() && s.size() < 10 &&
           std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

std::string numberText(double value) {
    char out[32];
    std::snprintf(out, sizeof out, "%g", value);
    return out;
}

PluginFact textFact(const char* label, const char* key, const std::string& value) {
    return PluginFact{label, value, {{key, ReportValue::of(value)}}};
}
}  // namespace

std::unique_ptr<HostedPlugin> openClapPlugin(const std::string& path, const PluginOpening& opening,
                                             std::string& error) {
    std::unique_ptr<ClapPlugin> p(new ClapPlugin);
    p->log = opening.log;
    p->say("-> clap_entry.init (" + path + ")");
    p->module = ClapModule::load(path, error);
    if (!p->module) return nullptr;
    const vclap_plugin_factory_t& factory = p->module->factory();
    p->factoryCount = factory.get_plugin_count(&factory);
    if (p->factoryCount == 0) {
        error = path + " holds no plug-in";
        return nullptr;
    }
    // The one asked for: by index, else by id; the first without a choice.
    uint32_t index = 0;
    bool found = opening.pluginId.empty();
    if (!found && allDigits(opening.pluginId)) {
        index = static_cast<uint32_t>(std::stoul(opening.pluginId));
        found = index < p->factoryCount;
    }
    std::string ids;
    for (uint32_t i = 0; i < p->factoryCount && !found; ++i) {
        const vclap_plugin_descriptor_t* d = factory.get_plugin_descriptor(&factory, i);
        const std::string id = d ? text(d->id) : std::string();
        ids += (ids.empty() ? "" : ", ") + id;
        if (id == opening.pluginId) {
            index = i;
            found = true;
        }
    }
    if (!found) {
        error = path + " holds no plug-in '" + opening.pluginId + "' (it holds " +
                std::to_string(p->factoryCount) + ": " + ids + ")";
        return nullptr;
    }
    p->factoryIndex = index;
    const vclap_plugin_descriptor_t* descriptor = factory.get_plugin_descriptor(&factory, index);
    if (!descriptor || !descriptor->id) {
        error = path + " describes no plug-in at its place " + std::to_string(index);
        return nullptr;
    }
    const std::string id = descriptor->id;

    p->hostSide = std::make_unique<ClapHostSide>();
    p->hostSide->log = opening.log;
    p->say("-> create_plugin " + id);
    p->plugin = factory.create_plugin(&factory, p->hostSide->table(), descriptor->id);
    const vclap_plugin_t* plugin = p->plugin;
    if (!plugin) {
        error = path + " did not create its plug-in " + id;
        return nullptr;
    }
    if (!plugin->init || !plugin->destroy || !plugin->activate || !plugin->deactivate ||
        !plugin->start_processing || !plugin->stop_processing || !plugin->process ||
        !plugin->get_extension) {
        // Without all of its functions nothing can be asked of it, not even
        // to go; it is left as it is.
        p->plugin = nullptr;
        error = "the plug-in " + id + " of " + path + " lacks functions every CLAP plug-in has";
        return nullptr;
    }
    p->say("-> init");
    if (!plugin->init(plugin)) {
        error = "the plug-in " + id + " of " + path + " failed to initialise";
        return nullptr;
    }
    const auto extension = [&](const char* name) {
        const void* table = plugin->get_extension(plugin, name);
        if (table) p->extensionsOffered.push_back(name);
        return table;
    };
    p->audioPorts = static_cast<const vclap_plugin_audio_ports_t*>(extension(VCLAP_EXT_AUDIO_PORTS));
    p->params = static_cast<const vclap_plugin_params_t*>(extension(VCLAP_EXT_PARAMS));
    p->latencyExtension = static_cast<const vclap_plugin_latency_t*>(extension(VCLAP_EXT_LATENCY));
    p->tailExtension = static_cast<const vclap_plugin_tail_t*>(extension(VCLAP_EXT_TAIL));
    p->notePorts = static_cast<const vclap_plugin_note_ports_t*>(extension(VCLAP_EXT_NOTE_PORTS));
    extension(VCLAP_EXT_STATE);
    const auto* render = static_cast<const vclap_plugin_render_t*>(extension(VCLAP_EXT_RENDER));
    // The render runs offline, as a VST 2.4 plug-in is told too.
    if (render && render->set) render->set(plugin, VCLAP_RENDER_OFFLINE);

    if (!p->readPorts(true, p->inputs, error) || !p->readPorts(false, p->outputs, error)) {
        error = "the plug-in " + id + " of " + path + ": " + error;
        return nullptr;
    }
    p->readParameters();
    p->sampleRate = opening.sampleRate;
    p->largestBlock = static_cast<uint32_t>(std::max(opening.largestBlock, 1));
    p->inEvents.ctx = &p->events;
    p->inEvents.size = ClapPlugin::eventCount;
    p->inEvents.get = ClapPlugin::eventAt;
    p->outEvents.try_push = ClapPlugin::dropEvent;
    return p;
}

ClapPlugin::~ClapPlugin() {
    if (!plugin) return;
    if (processing) stopProcessing();
    if (active) deactivate();
    say("-> destroy");
    plugin->destroy(plugin);
}

void ClapPlugin::say(const std::string& line) const {
    if (log) log(line);
}

bool ClapPlugin::readPorts(bool input, std::vector<Port>& ports, std::string& error) {
    const char* side = input ? "input" : "output";
    if (!audioPorts) return true;  // none: no audio that way
    if (!audioPorts->count || !audioPorts->get) {
        error = "its audio ports cannot be asked";
        return false;
    }
    const uint32_t count = audioPorts->count(plugin, input);
    if (count > kMostPorts) {
        error = "it claims " + std::to_string(count) + " audio " + side + " ports";
        return false;
    }
    uint32_t channels = 0;
    for (uint32_t i = 0; i < count; ++i) {
        vclap_audio_port_info_t info{};
        if (!audioPorts->get(plugin, i, input, &info)) {
            error = "it does not describe its audio " + std::string(side) + " port " + std::to_string(i);
            return false;
        }
        channels += std::min(info.channel_count, kMostChannels + 1);
        if (channels > kMostChannels) {
            error = "it claims more than " + std::to_string(kMostChannels) + " audio " + side +
                    " channels";
            return false;
        }
        ports.push_back(Port{field(info.name, sizeof info.name), info.channel_count, info.flags,
                             text(info.port_type)});
    }
    return true;
}

void ClapPlugin::readParameters() {
    if (!params || !params->count || !params->get_info) return;
    const uint32_t count = std::min(params->count(plugin), kMostParameters);
    for (uint32_t i = 0; i < count; ++i) {
        vclap_param_info_t info{};
        Parameter p;
        if (params->get_info(plugin, i, &info)) {
            p.id = info.id;
            p.flags = info.flags;
            p.cookie = info.cookie;
            p.name = field(info.name, sizeof info.name);
            // A range that is no range is taken as 0..1, so that a normalised
            // value still means something.
            if (std::isfinite(info.min_value) && std::isfinite(info.max_value) &&
                info.max_value >= info.min_value) {
                p.minimum = info.min_value;
                p.maximum = info.max_value;
            }
            p.defaultValue = std::isfinite(info.default_value)
                                 ? std::min(std::max(info.default_value, p.minimum), p.maximum)
                                 : p.minimum;
        } else {
            p.id = VCLAP_INVALID_ID;
        }
        p.lastSet = p.defaultValue;
        parameters.push_back(p);
    }
}

int32_t ClapPlugin::channelTotal(const std::vector<Port>& ports) {
    uint32_t total = 0;
    for (const Port& port : ports) total += port.channels;
    return static_cast<int32_t>(total);
}

std::string ClapPlugin::name() {
    const vclap_plugin_descriptor_t* d = plugin->desc;
    std::string n = d ? text(d->name) : std::string();
    return n.empty() ? fileName(path()) : n;
}

HostedPlugin::MidiInput ClapPlugin::midiInput() {
    if (!notePorts || !notePorts->count) return MidiInput::Refused;
    return notePorts->count(plugin, true) > 0 ? MidiInput::Taken : MidiInput::Refused;
}

const ClapPlugin::Parameter* ClapPlugin::parameter(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < parameters.size() ? &parameters[static_cast<size_t>(index)]
                                                                        : nullptr;
}

double ClapPlugin::plainOf(const Parameter& p, float value) const {
    const double v = std::min(std::max(static_cast<double>(value), 0.0), 1.0);
    double plain = p.minimum + v * (p.maximum - p.minimum);
    if (p.flags & VCLAP_PARAM_IS_STEPPED) plain = std::round(plain);
    return std::min(std::max(plain, p.minimum), p.maximum);
}

float ClapPlugin::normalisedOf(const Parameter& p, double plain) const {
    if (!(p.maximum > p.minimum) || !std::isfinite(plain)) return 0.0f;
    const double v = (plain - p.minimum) / (p.maximum - p.minimum);
    return static_cast<float>(std::min(std::max(v, 0.0), 1.0));
}

double ClapPlugin::plainValue(const Parameter& p) {
    double plain = 0.0;
    if (params && params->get_value && p.id != VCLAP_INVALID_ID && params->get_value(plugin, p.id, &plain) &&
        std::isfinite(plain))
        return plain;
    return p.lastSet;
}

std::string ClapPlugin::parameterName(int32_t index) {
    const Parameter* p = parameter(index);
    return p ? p->name : std::string();
}

float ClapPlugin::parameterValue(int32_t index) {
    const Parameter* p = parameter(index);
    return p ? normalisedOf(*p, plainValue(*p)) : 0.0f;
}

std::string ClapPlugin::parameterDisplay(int32_t index) {
    const Parameter* p = parameter(index);
    if (!p) return std::string();
    const double plain = plainValue(*p);
    char out[kTextSize] = {};
    if (params && params->value_to_text && p->id != VCLAP_INVALID_ID &&
        params->value_to_text(plugin, p->id, plain, out, sizeof out))
        return field(out, sizeof out);
    return numberText(plain);
}

bool ClapPlugin::parameterValueOfText(int32_t index, const std::string& shown, float& value) {
    const Parameter* p = parameter(index);
    double plain = 0.0;
    if (!p || !params || !params->text_to_value || p->id == VCLAP_INVALID_ID ||
        !params->text_to_value(plugin, p->id, shown.c_str(), &plain) || !std::isfinite(plain))
        return false;
    value = normalisedOf(*p, plain);
    return true;
}

ClapPlugin::Event ClapPlugin::parameterEvent(const Parameter& p, double plain, uint32_t frame) const {
    Event e;
    std::memset(&e, 0, sizeof e);
    vclap_event_param_value_t& v = e.parameter;
    v.header.size = sizeof v;
    v.header.time = frame;
    v.header.space_id = VCLAP_CORE_EVENT_SPACE_ID;
    v.header.type = VCLAP_EVENT_PARAM_VALUE;
    v.param_id = p.id;
    v.cookie = p.cookie;
    v.note_id = -1;
    v.port_index = -1;
    v.channel = -1;
    v.key = -1;
    v.value = plain;
    return e;
}

void ClapPlugin::setParameterValue(int32_t index, float value) {
    if (!parameter(index)) return;
    Parameter& p = parameters[static_cast<size_t>(index)];
    if (p.id == VCLAP_INVALID_ID) return;
    const double plain = plainOf(p, value);
    p.lastSet = plain;
    if (processing) {
        pending.push_back(parameterEvent(p, plain, 0));
        return;
    }
    events.assign(1, parameterEvent(p, plain, 0));
    flush();
}

void ClapPlugin::flush() {
    if (params && params->flush) {
        char line[96];
        std::snprintf(line, sizeof line, "-> params.flush events=%zu", events.size());
        say(line);
        // An active plug-in takes a flush on its audio thread.
        if (active) {
            ClapHostSide::AudioThreadCall audio(*hostSide);
            params->flush(plugin, &inEvents, &outEvents);
        } else {
            params->flush(plugin, &inEvents, &outEvents);
        }
    }
    events.clear();
}

void ClapPlugin::setLargestBlock(int32_t frames) { largestBlock = static_cast<uint32_t>(std::max(frames, 1)); }

void ClapPlugin::readLatency() {
    reportedLatency = 0;
    if (latencyExtension && latencyExtension->get)
        reportedLatency = static_cast<int32_t>(std::min<uint32_t>(latencyExtension->get(plugin), INT32_MAX));
    hostSide->takeLatencyChange();
}

bool ClapPlugin::activate(std::string& error) {
    if (active) return true;
    char line[96];
    std::snprintf(line, sizeof line, "-> activate rate=%g min=1 max=%u", sampleRate, largestBlock);
    say(line);
    if (!plugin->activate(plugin, sampleRate, 1, largestBlock)) {
        error = name() + " refused to activate at " + numberText(sampleRate) + " Hz with blocks of up to " +
                std::to_string(largestBlock) + " frames";
        return false;
    }
    active = true;
    readLatency();
    blockSinceActivation = false;
    return true;
}

void ClapPlugin::deactivate() {
    if (!active) return;
    if (processing) stopProcessing();
    say("-> deactivate");
    plugin->deactivate(plugin);
    active = false;
}

bool ClapPlugin::startProcessing(std::string& error) {
    if (processing) return true;
    if (!active) {
        error = name() + " is not active";
        return false;
    }
    say("-> start_processing");
    ClapHostSide::AudioThreadCall audio(*hostSide);
    if (!plugin->start_processing(plugin)) {
        error = name() + " refused to start processing";
        return false;
    }
    processing = true;
    return true;
}

void ClapPlugin::stopProcessing() {
    if (!processing) return;
    say("-> stop_processing");
    ClapHostSide::AudioThreadCall audio(*hostSide);
    plugin->stop_processing(plugin);
    processing = false;
}

void ClapPlugin::process(const ProcessCall& call) {
    const auto silence = [&]() {
        for (int32_t c = 0; c < outputCount(); ++c) std::fill_n(call.outputs[c], call.frames, 0.0f);
    };
    if (!processing) {
        silence();
        return;
    }
    // Values set since the last block come first, then the block's changes
    // and messages, in order of frame.
    events.swap(pending);
    pending.clear();
    const size_t changesFrom = events.size();
    for (size_t i = 0; i < call.changeCount; ++i) {
        const ParameterChange& change = call.changes[i];
        const Parameter* p = parameter(change.index);
        if (!p || p->id == VCLAP_INVALID_ID) continue;
        parameters[static_cast<size_t>(change.index)].lastSet = plainOf(*p, change.value);
        events.push_back(parameterEvent(*p, plainOf(*p, change.value), change.frame));
    }
    for (size_t i = 0; i < call.messageCount; ++i) {
        const TimedMidiMessage& message = call.messages[i];
        Event e;
        std::memset(&e, 0, sizeof e);
        e.midi.header.size = sizeof e.midi;
        e.midi.header.time = static_cast<uint32_t>(std::max<int64_t>(message.frame - call.start, 0));
        e.midi.header.space_id = VCLAP_CORE_EVENT_SPACE_ID;
        e.midi.header.type = VCLAP_EVENT_MIDI;
        std::memcpy(e.midi.data, message.bytes, 3);
        events.push_back(e);
    }
    std::stable_sort(events.begin() + static_cast<std::ptrdiff_t>(changesFrom), events.end(),
                     [](const Event& a, const Event& b) { return a.header.time < b.header.time; });

    // Each port's channels, where the host's channels for it start.
    const size_t inChannels = static_cast<size_t>(inputCount());
    channelPointers.assign(call.inputs, call.inputs + inChannels);
    channelPointers.insert(channelPointers.end(), call.outputs, call.outputs + outputCount());
    const auto lay = [&](const std::vector<Port>& ports, std::vector<vclap_audio_buffer_t>& buffers,
                         size_t first) {
        buffers.assign(ports.size(), vclap_audio_buffer_t{});
        for (size_t i = 0; i < ports.size(); ++i) {
            buffers[i].data32 = channelPointers.data() + first;
            buffers[i].channel_count = ports[i].channels;
            first += ports[i].channels;
        }
    };
    lay(inputs, inputBuffers, 0);
    lay(outputs, outputBuffers, inChannels);

    vclap_process_t block{};
    block.steady_time = call.start;
    block.frames_count = call.frames;
    block.transport = nullptr;
    block.audio_inputs = inputBuffers.data();
    block.audio_outputs = outputBuffers.data();
    block.audio_inputs_count = static_cast<uint32_t>(inputBuffers.size());
    block.audio_outputs_count = static_cast<uint32_t>(outputBuffers.size());
    block.in_events = &inEvents;
    block.out_events = &outEvents;
    if (log) {
        char line[96];
        std::snprintf(line, sizeof line, "-> process frames=%u events=%zu", call.frames, events.size());
        say(line);
    }
    vclap_process_status status;
    {
        ClapHostSide::AudioThreadCall audio(*hostSide);
        status = plugin->process(plugin, &block);
    }
    events.clear();
    // A block the plug-in failed holds nothing it vouches for.
    if (status == VCLAP_PROCESS_ERROR) silence();
}

bool ClapPlugin::afterBlock() {
    bool changed = false;
    if (hostSide->takeRestart() && active) {
        // Restarted between blocks: its delay may differ afterwards.
        const bool wasProcessing = processing;
        deactivate();
        std::string error;
        if (activate(error) && wasProcessing) startProcessing(error);
        changed = true;
    }
    if (hostSide->takeLatencyChange() && active) {
        readLatency();
        changed = true;
    }
    // A delay settled in the first block is read whether or not the plug-in
    // told of it.
    if (active && !blockSinceActivation) {
        blockSinceActivation = true;
        const int32_t before = reportedLatency;
        readLatency();
        changed = changed || reportedLatency != before;
    }
    if (hostSide->takeCallback() && plugin->on_main_thread) {
        say("-> on_main_thread");
        plugin->on_main_thread(plugin);
    }
    return changed;
}

TailReport ClapPlugin::tail() {
    TailReport report;
    if (!tailExtension || !tailExtension->get || !active) return report;
    const uint32_t frames = tailExtension->get(plugin);
    report.kind = frames >= VCLAP_TAIL_INFINITE ? TailReport::Kind::Infinite : TailReport::Kind::Frames;
    report.frames = frames;
    return report;
}

uint32_t ClapPlugin::eventCount(const vclap_input_events_t* list) {
    return list && list->ctx ? static_cast<uint32_t>(static_cast<const std::vector<Event>*>(list->ctx)->size())
                             : 0;
}

const vclap_event_header_t* ClapPlugin::eventAt(const vclap_input_events_t* list, uint32_t index) {
    if (!list || !list->ctx) return nullptr;
    const auto& all = *static_cast<const std::vector<Event>*>(list->ctx);
    return index < all.size() ? &all[index].header : nullptr;
}

bool ClapPlugin::dropEvent(const vclap_output_events_t*, const vclap_event_header_t*) {
    // What the plug-in says back (its own parameter changes) has no listener
    // in an offline render.
    return true;
}

PluginReport ClapPlugin::describe() {
    PluginReport r;
    const vclap_plugin_descriptor_t* d = plugin->desc;
    const auto descriptorText = [d](const char* vclap_plugin_descriptor_t::*member) {
        return d ? text(d->*member) : std::string();
    };
    r.facts.push_back(textFact("Plug-in id", "id", descriptorText(&vclap_plugin_descriptor_t::id)));
    r.facts.push_back(textFact("Name", "name", descriptorText(&vclap_plugin_descriptor_t::name)));
    r.facts.push_back(textFact("Vendor", "vendor", descriptorText(&vclap_plugin_descriptor_t::vendor)));
    r.facts.push_back(textFact("Version", "version", descriptorText(&vclap_plugin_descriptor_t::version)));
    r.facts.push_back(
        textFact("Description", "description", descriptorText(&vclap_plugin_descriptor_t::description)));
    r.facts.push_back(textFact("URL", "url", descriptorText(&vclap_plugin_descriptor_t::url)));
    std::vector<ReportValue> features;
    std::string featureText;
    for (const char* const* f = d ? d->features : nullptr; f && *f && features.size() < 64; ++f) {
        features.push_back(ReportValue::of(std::string(*f)));
        featureText += (featureText.empty() ? "" : " ") + std::string(*f);
    }
    r.facts.push_back(PluginFact{"Features", featureText.empty() ? "(none)" : featureText,
                                 {{"features", ReportValue::list(features)}}});
    const vclap_version_t v = d ? d->clap_version : vclap_version_t{0, 0, 0};
    r.facts.push_back(textFact("CLAP version", "clapVersion",
                               std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
                                   std::to_string(v.revision)));
    r.facts.push_back(PluginFact{"In its module",
                                 std::to_string(factoryIndex + 1) + " of " + std::to_string(factoryCount),
                                 {{"factoryIndex", ReportValue::of(int64_t{factoryIndex})},
                                  {"factoryCount", ReportValue::of(int64_t{factoryCount})}}});
    const auto portFact = [](const char* label, const char* key, const std::vector<Port>& ports) {
        std::vector<ReportValue> list;
        std::string line;
        for (const Port& port : ports) {
            const bool main = port.flags & VCLAP_AUDIO_PORT_IS_MAIN;
            list.push_back(ReportValue::object({{"name", ReportValue::of(port.name)},
                                                {"channels", ReportValue::of(int64_t{port.channels})},
                                                {"type", ReportValue::of(port.type)},
                                                {"main", ReportValue::of(int64_t{main})}}));
            line += (line.empty() ? "" : ", ") + std::string("\"") + port.name + "\" " +
                    std::to_string(port.channels) + (main ? " (main)" : "");
        }
        return PluginFact{label, line.empty() ? "(none)" : line, {{key, ReportValue::list(list)}}};
    };
    r.facts.push_back(portFact("Audio inputs", "audioInputs", inputs));
    r.facts.push_back(portFact("Audio outputs", "audioOutputs", outputs));
    addChannelsLatencyAndTail(r);
    std::vector<ReportValue> offered;
    std::string offeredText;
    for (const std::string& e : extensionsOffered) {
        offered.push_back(ReportValue::of(e));
        offeredText += (offeredText.empty() ? "" : " ") + e;
    }
    r.facts.push_back(PluginFact{"Extensions", offeredText.empty() ? "(none)" : offeredText,
                                 {{"extensions", ReportValue::list(offered)}}});
    for (int32_t i = 0; i < parameterCount(); ++i) {
        const Parameter& p = parameters[static_cast<size_t>(i)];
        const double plain = plainValue(p);
        r.parameters.push_back(ParameterReport{
            i, p.name, "", parameterDisplay(i), normalisedOf(p, plain),
            {{"id", ReportValue::of(int64_t{p.id})},
             {"minimum", ReportValue::ofNumber(p.minimum)},
             {"maximum", ReportValue::ofNumber(p.maximum)},
             {"default", ReportValue::ofNumber(p.defaultValue)},
             {"plainValue", ReportValue::ofNumber(plain)},
             {"stepped", ReportValue::of(int64_t{(p.flags & VCLAP_PARAM_IS_STEPPED) != 0})}}});
    }
    return r;
}
