#include "clap/plugin_extensions.h"

#include <cstdio>
#include <cstring>

#include "clap/parameter_events.h"
#include "clap/plugin_table.h"
#include "core/bypass_parameter.h"
#include "core/parameter_display.h"
#include "core/varnolet_parameters.h"

namespace varnolet_clap {

namespace {

using varnolet::kNumParameters;

// ---- Audio ports: one stereo port each way, which may share its buffers.

uint32_t VCLAP_ABI audioPortCount(const vclap_plugin_t*, bool) { return 1; }

bool VCLAP_ABI audioPortInfo(const vclap_plugin_t*, uint32_t index, bool isInput,
                             vclap_audio_port_info_t* info) {
    if (index != 0 || !info) return false;
    std::memset(info, 0, sizeof *info);
    info->id = 0;
    std::snprintf(info->name, sizeof info->name, "%s", isInput ? "Input" : "Output");
    info->flags = VCLAP_AUDIO_PORT_IS_MAIN;
    info->channel_count = 2;
    info->port_type = VCLAP_PORT_STEREO;
    info->in_place_pair = 0;
    return true;
}

const vclap_plugin_audio_ports_t kAudioPorts = {audioPortCount, audioPortInfo};

// ---- Parameters: ids are the VST 2.4 module's indices, values native; the
// bypass follows them.

// The VST 2.4 module's names keep 15 characters; hosts that know both list
// the same names.
constexpr size_t kNameLength = 15;

constexpr uint32_t kBypassId = static_cast<uint32_t>(varnolet::kBypassIndex);

uint32_t VCLAP_ABI parameterCount(const vclap_plugin_t*) { return kBypassId + 1; }

bool VCLAP_ABI parameterInfo(const vclap_plugin_t*, uint32_t index, vclap_param_info_t* info) {
    if (index == kBypassId && info) {
        std::memset(info, 0, sizeof *info);
        info->id = kBypassId;
        info->flags = VCLAP_PARAM_IS_AUTOMATABLE | VCLAP_PARAM_IS_STEPPED | VCLAP_PARAM_IS_BYPASS;
        std::strncpy(info->name, varnolet::kBypassName, kNameLength);
        info->min_value = 0.0;
        info->max_value = 1.0;
        info->default_value = 0.0;
        return true;
    }
    if (index >= static_cast<uint32_t>(kNumParameters) || !info) return false;
    const ParameterDescription& p = varnolet::kParameters[index];
    std::memset(info, 0, sizeof *info);
    info->id = index;
    // Every value between the ends is a setting of its own, "Filter Type"'s
    // crossfades too.
    info->flags = VCLAP_PARAM_IS_AUTOMATABLE;
    std::strncpy(info->name, p.name, kNameLength);
    info->min_value = p.minValue;
    info->max_value = p.maxValue;
    info->default_value = p.defaultValue;
    return true;
}

bool VCLAP_ABI parameterValue(const vclap_plugin_t* plugin, vclap_id id, double* value) {
    EffectInstance* effect = instanceOf(plugin);
    return effect && value && effect->parameterValue(id, *value);
}

bool VCLAP_ABI valueToText(const vclap_plugin_t*, vclap_id id, double value, char* text,
                           uint32_t capacity) {
    float held;
    if (!text || capacity == 0 || id > kBypassId || !heldValue(static_cast<int32_t>(id), value, held))
        return false;
    if (id == kBypassId) std::snprintf(text, capacity, "%s", varnolet::bypassText(held != 0.0f));
    else varnolet::displayWithLabel(static_cast<int32_t>(id), held, text, capacity);
    return true;
}

bool VCLAP_ABI textToValue(const vclap_plugin_t*, vclap_id id, const char* text, double* value) {
    bool bypass = false;
    if (value && id == kBypassId && varnolet::bypassFromText(text, bypass)) {
        *value = bypass ? 1.0 : 0.0;
        return true;
    }
    float parsed;
    if (!value || id >= static_cast<vclap_id>(kNumParameters) ||
        !varnolet::valueFromText(static_cast<int32_t>(id), text, parsed))
        return false;
    *value = parsed;
    return true;
}

void VCLAP_ABI flush(const vclap_plugin_t* plugin, const vclap_input_events_t* in,
                     const vclap_output_events_t*) {
    if (EffectInstance* effect = instanceOf(plugin)) effect->flush(in);
}

const vclap_plugin_params_t kParams = {parameterCount, parameterInfo, parameterValue,
                                       valueToText,    textToValue,   flush};

// ---- State, latency, tail.

bool VCLAP_ABI saveState(const vclap_plugin_t* plugin, const vclap_ostream_t* stream) {
    EffectInstance* effect = instanceOf(plugin);
    return effect && effect->saveState(stream);
}

bool VCLAP_ABI loadState(const vclap_plugin_t* plugin, const vclap_istream_t* stream) {
    EffectInstance* effect = instanceOf(plugin);
    return effect && effect->loadState(stream);
}

const vclap_plugin_state_t kState = {saveState, loadState};

// ---- Preset loading: the factory presets the discovery factory lists.

bool VCLAP_ABI loadPreset(const vclap_plugin_t* plugin, uint32_t kind, const char* location,
                          const char* key) {
    EffectInstance* effect = instanceOf(plugin);
    return effect && effect->loadFactoryPreset(kind, location, key);
}

const vclap_plugin_preset_load_t kPresetLoad = {loadPreset};

uint32_t VCLAP_ABI latency(const vclap_plugin_t*) { return 0; }

const vclap_plugin_latency_t kLatency = {latency};

uint32_t VCLAP_ABI tail(const vclap_plugin_t* plugin) {
    EffectInstance* effect = instanceOf(plugin);
    return effect ? effect->tail() : 0;
}

const vclap_plugin_tail_t kTail = {tail};

}  // namespace

const void* extension(const char* id) {
    if (!id) return nullptr;
    struct Offered {
        const char* id;
        const void* table;
    };
    static const Offered offered[] = {{VCLAP_EXT_AUDIO_PORTS, &kAudioPorts},
                                      {VCLAP_EXT_PARAMS, &kParams},
                                      {VCLAP_EXT_STATE, &kState},
                                      {VCLAP_EXT_PRESET_LOAD, &kPresetLoad},
                                      {VCLAP_EXT_PRESET_LOAD_COMPAT, &kPresetLoad},
                                      {VCLAP_EXT_LATENCY, &kLatency},
                                      {VCLAP_EXT_TAIL, &kTail}};
    for (const Offered& o : offered)
        if (std::strcmp(id, o.id) == 0) return o.table;
    return nullptr;
}

}  // namespace varnolet_clap
