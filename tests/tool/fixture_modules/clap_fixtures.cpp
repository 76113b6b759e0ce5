// A CLAP module whose factory holds small plug-ins for the host's tests:
//   latency    stereo; its output is its input "Delay" frames later, a delay
//              it reports when activated, or ("Announce" 1) asks a restart
//              for in its first block and reports after it, or ("Announce"
//              2) only tells the host it changed, from its first block, or
//              ("Announce" 3) reports it from its first block on, untold;
//   frames     mono in (unheard), stereo out: every frame holds "Level" as it stands
//              at that frame, so a test sees where each change landed; it
//              also checks the host's thread answers, and writes 1000
//              where a call came from the wrong thread;
//   mono       one channel in and out, halved; it says it rings 1000 frames;
//   sidechain  a main stereo pair and a stereo sidechain in, their sum out;
//   refuses    will not activate;
//   bad-ports  cannot describe its audio ports;
// and, last, a place whose descriptor is missing.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "clap/clap_interface.h"

namespace {
enum class Kind { Latency, Frames, Mono, Sidechain, Refuses, BadPorts };

struct Parameter {
    const char* name;
    double minimum, maximum, defaultValue;
    uint32_t flags;
};

const char* const kFeatures[] = {VCLAP_PLUGIN_FEATURE_AUDIO_EFFECT, nullptr};

#define FIXTURE_DESCRIPTOR(id, name)                                                             \
    vclap_plugin_descriptor_t {                                                                  \
        VCLAP_VERSION_INIT, id, name, "Varnolet tests", "", "", "", "1.0", "a test fixture", \
            kFeatures                                                                            \
    }

struct Plugin {
    Kind kind;
    vclap_plugin_descriptor_t descriptor;
    std::vector<uint32_t> inputs, outputs;  // channels per port
    std::vector<Parameter> parameters;
};

const Plugin kPlugins[] = {
    {Kind::Latency, FIXTURE_DESCRIPTOR("org.varnolet.fixture.latency", "Latency Fixture"), {2}, {2},
     {{"Delay", 0, 1000, 100, VCLAP_PARAM_IS_STEPPED}, {"Announce", 0, 3, 0, VCLAP_PARAM_IS_STEPPED}}},
    {Kind::Frames, FIXTURE_DESCRIPTOR("org.varnolet.fixture.frames", "Frames Fixture"), {1}, {2},
     {{"Level", -1, 1, 0, 0}}},
    {Kind::Mono, FIXTURE_DESCRIPTOR("org.varnolet.fixture.mono", "Mono Fixture"), {1}, {1}, {}},
    {Kind::Sidechain, FIXTURE_DESCRIPTOR("org.varnolet.fixture.sidechain", "Sidechain Fixture"),
     {2, 2}, {2}, {}},
    {Kind::Refuses, FIXTURE_DESCRIPTOR("org.varnolet.fixture.refuses", "Refusing Fixture"), {2}, {2}, {}},
    {Kind::BadPorts, FIXTURE_DESCRIPTOR("org.varnolet.fixture.bad-ports", "Bad Ports Fixture"), {2},
     {2}, {}},
};
constexpr uint32_t kPluginCount = sizeof kPlugins / sizeof kPlugins[0];
constexpr size_t kLongestDelay = 1000;

struct Instance {
    vclap_plugin_t clap{};
    const Plugin* plugin = nullptr;
    const vclap_host_t* host = nullptr;
    const vclap_host_thread_check_t* threads = nullptr;
    std::vector<double> values;
    bool settled = false;  // the delay has been reported once, however announced
    bool firstBlock = true;
    uint32_t reported = 0;
    std::vector<float> lines[2];  // the last kLongestDelay + 1 frames of each input
    size_t position = 0;
    bool wrongThread = false;
};

Instance* self(const vclap_plugin_t* p) { return static_cast<Instance*>(p->plugin_data); }

bool onMainThread(Instance* in) { return !in->threads || in->threads->is_main_thread(in->host); }
bool onAudioThread(Instance* in) { return !in->threads || in->threads->is_audio_thread(in->host); }

template <class Table>
const Table* hostExtension(Instance* in, const char* id) {
    return static_cast<const Table*>(in->host->get_extension(in->host, id));
}

uint32_t delayOf(Instance* in) { return static_cast<uint32_t>(in->values[0]); }

void applyEvent(Instance* in, const vclap_event_header_t* e) {
    if (!e || e->space_id != VCLAP_CORE_EVENT_SPACE_ID || e->type != VCLAP_EVENT_PARAM_VALUE) return;
    const auto* v = reinterpret_cast<const vclap_event_param_value_t*>(e);
    if (v->param_id < in->values.size()) in->values[v->param_id] = v->value;
}

bool init(const vclap_plugin_t* p) {
    Instance* in = self(p);
    in->threads = hostExtension<vclap_host_thread_check_t>(in, VCLAP_EXT_THREAD_CHECK);
    return true;
}

void destroy(const vclap_plugin_t* p) { delete self(p); }

bool activate(const vclap_plugin_t* p, double, uint32_t, uint32_t) {
    Instance* in = self(p);
    if (!onMainThread(in)) in->wrongThread = true;
    if (in->plugin->kind == Kind::Refuses) return false;
    // The line outlives a restart, so that nothing of the input is lost.
    for (auto& line : in->lines)
        if (line.empty()) line.assign(kLongestDelay + 1, 0.0f);
    const int announce = static_cast<int>(in->values.size() > 1 ? in->values[1] : 0);
    if (announce == 0 || (announce == 1 && in->settled)) {
        in->reported = in->plugin->kind == Kind::Latency ? delayOf(in) : 0;
        if (announce == 1) {
            const auto* latency = hostExtension<vclap_host_latency_t>(in, VCLAP_EXT_LATENCY);
            if (latency) latency->changed(in->host);
        }
    }
    return true;
}

void deactivate(const vclap_plugin_t* p) {
    if (!onMainThread(self(p))) self(p)->wrongThread = true;
}

bool startProcessing(const vclap_plugin_t* p) {
    if (!onAudioThread(self(p))) self(p)->wrongThread = true;
    return true;
}

void stopProcessing(const vclap_plugin_t* p) {
    if (!onAudioThread(self(p))) self(p)->wrongThread = true;
}

void reset(const vclap_plugin_t*) {}

vclap_process_status process(const vclap_plugin_t* p, const vclap_process_t* block) {
    Instance* in = self(p);
    if (!onAudioThread(in)) in->wrongThread = true;
    const uint32_t frames = block->frames_count;
    const vclap_input_events_t* events = block->in_events;
    const uint32_t eventCount = events ? events->size(events) : 0;
    uint32_t next = 0;
    float** out = block->audio_outputs_count > 0 ? block->audio_outputs[0].data32 : nullptr;
    for (uint32_t i = 0; i < frames; ++i) {
        while (next < eventCount && events->get(events, next)->time <= i) applyEvent(in, events->get(events, next++));
        switch (in->plugin->kind) {
            case Kind::Latency:
                for (int c = 0; c < 2; ++c) {
                    std::vector<float>& line = in->lines[c];
                    line[in->position] = block->audio_inputs[0].data32[c][i];
                    out[c][i] = line[(in->position + line.size() - delayOf(in)) % line.size()];
                }
                in->position = (in->position + 1) % (kLongestDelay + 1);
                break;
            case Kind::Frames:
                for (int c = 0; c < 2; ++c)
                    out[c][i] = in->wrongThread ? 1000.0f : static_cast<float>(in->values[0]);
                break;
            case Kind::Mono:
                out[0][i] = 0.5f * block->audio_inputs[0].data32[0][i];
                break;
            case Kind::Sidechain:
                for (int c = 0; c < 2; ++c)
                    out[c][i] = block->audio_inputs[0].data32[c][i] + block->audio_inputs[1].data32[c][i];
                break;
            default:
                break;
        }
    }
    while (next < eventCount) applyEvent(in, events->get(events, next++));
    if (in->plugin->kind == Kind::Latency && in->firstBlock) {
        const int announce = static_cast<int>(in->values[1]);
        in->settled = true;
        if (announce == 1) in->host->request_restart(in->host);
        if (announce == 3) in->reported = delayOf(in);
        if (announce == 2) {
            in->reported = delayOf(in);
            const auto* latency = hostExtension<vclap_host_latency_t>(in, VCLAP_EXT_LATENCY);
            if (latency) latency->changed(in->host);
        }
    }
    in->firstBlock = false;
    return VCLAP_PROCESS_CONTINUE;
}

// ---- audio ports
uint32_t portCount(const vclap_plugin_t* p, bool input) {
    const Plugin* plugin = self(p)->plugin;
    return static_cast<uint32_t>((input ? plugin->inputs : plugin->outputs).size());
}

bool portInfo(const vclap_plugin_t* p, uint32_t index, bool input, vclap_audio_port_info_t* info) {
    const Plugin* plugin = self(p)->plugin;
    const auto& ports = input ? plugin->inputs : plugin->outputs;
    if (plugin->kind == Kind::BadPorts || index >= ports.size()) return false;
    info->id = index;
    std::snprintf(info->name, sizeof info->name, "%s %u", index == 0 ? "main" : "sidechain", index);
    info->flags = index == 0 ? VCLAP_AUDIO_PORT_IS_MAIN : 0;
    info->channel_count = ports[index];
    info->port_type = ports[index] == 2 ? VCLAP_PORT_STEREO : VCLAP_PORT_MONO;
    info->in_place_pair = VCLAP_INVALID_ID;
    return true;
}

const vclap_plugin_audio_ports_t kPorts = {portCount, portInfo};

// ---- parameters
uint32_t paramCount(const vclap_plugin_t* p) { return static_cast<uint32_t>(self(p)->plugin->parameters.size()); }

bool paramInfo(const vclap_plugin_t* p, uint32_t index, vclap_param_info_t* info) {
    const auto& all = self(p)->plugin->parameters;
    if (index >= all.size()) return false;
    std::memset(info, 0, sizeof *info);
    info->id = index;
    info->flags = all[index].flags | VCLAP_PARAM_IS_AUTOMATABLE;
    std::snprintf(info->name, sizeof info->name, "%s", all[index].name);
    info->min_value = all[index].minimum;
    info->max_value = all[index].maximum;
    info->default_value = all[index].defaultValue;
    return true;
}

bool paramValue(const vclap_plugin_t* p, vclap_id id, double* value) {
    if (id >= self(p)->values.size()) return false;
    *value = self(p)->values[id];
    return true;
}

bool valueToText(const vclap_plugin_t* p, vclap_id id, double value, char* text, uint32_t size) {
    if (id >= self(p)->values.size()) return false;
    if (self(p)->plugin->kind == Kind::Latency)
        std::snprintf(text, size, id == 0 ? "%.0f frames" : "%.0f", value);
    else
        std::snprintf(text, size, "%.4f", value);
    return true;
}

bool textToValue(const vclap_plugin_t* p, vclap_id id, const char* text, double* value) {
    if (id >= self(p)->values.size()) return false;
    char* end = nullptr;
    *value = std::strtod(text, &end);
    return end != text;
}

void flush(const vclap_plugin_t* p, const vclap_input_events_t* in, const vclap_output_events_t*) {
    for (uint32_t i = 0; i < in->size(in); ++i) applyEvent(self(p), in->get(in, i));
}

const vclap_plugin_params_t kParams = {paramCount, paramInfo, paramValue, valueToText, textToValue, flush};

uint32_t latency(const vclap_plugin_t* p) { return self(p)->reported; }
const vclap_plugin_latency_t kLatency = {latency};

uint32_t tail(const vclap_plugin_t*) { return 1000; }
const vclap_plugin_tail_t kTail = {tail};

const void* extension(const vclap_plugin_t* p, const char* id) {
    if (std::strcmp(id, VCLAP_EXT_AUDIO_PORTS) == 0) return &kPorts;
    if (std::strcmp(id, VCLAP_EXT_PARAMS) == 0) return &kParams;
    if (std::strcmp(id, VCLAP_EXT_LATENCY) == 0 && self(p)->plugin->kind == Kind::Latency) return &kLatency;
    if (std::strcmp(id, VCLAP_EXT_TAIL) == 0 && self(p)->plugin->kind == Kind::Mono) return &kTail;
    return nullptr;
}

void onMainThreadCall(const vclap_plugin_t*) {}

// ---- factory and entry
uint32_t pluginCount(const vclap_plugin_factory_t*) { return kPluginCount + 1; }

const vclap_plugin_descriptor_t* descriptor(const vclap_plugin_factory_t*, uint32_t index) {
    return index < kPluginCount ? &kPlugins[index].descriptor : nullptr;
}

const vclap_plugin_t* create(const vclap_plugin_factory_t*, const vclap_host_t* host, const char* id) {
    for (const Plugin& plugin : kPlugins) {
        if (std::strcmp(plugin.descriptor.id, id) != 0) continue;
        Instance* in = new Instance;
        in->plugin = &plugin;
        in->host = host;
        for (const Parameter& parameter : plugin.parameters) in->values.push_back(parameter.defaultValue);
        in->clap = vclap_plugin_t{&plugin.descriptor, in,         init,    destroy,   activate,
                                  deactivate,         startProcessing, stopProcessing, reset, process,
                                  extension,          onMainThreadCall};
        return &in->clap;
    }
    return nullptr;
}

const vclap_plugin_factory_t kFactory = {pluginCount, descriptor, create};

bool entryInit(const char*) { return true; }
void entryDeinit() {}
const void* factory(const char* id) {
    return std::strcmp(id, VCLAP_PLUGIN_FACTORY_ID) == 0 ? &kFactory : nullptr;
}
}  // namespace

extern "C"
#if defined(_WIN32)
    __declspec(dllexport)
#else
    __attribute__((visibility("default")))
#endif
    const vclap_plugin_entry_t clap_entry = {VCLAP_VERSION_INIT, entryInit, entryDeinit, factory};
