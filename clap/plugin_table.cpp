#include "clap/plugin_table.h"

#include <cstdint>
#include <new>

#include "clap/plugin_descriptor.h"
#include "clap/plugin_extensions.h"

namespace varnolet_clap {

namespace {

struct Plugin {
    explicit Plugin(const vclap_host_t* host) : effect(host) {}
    vclap_plugin_t table{};
    EffectInstance effect;
};

bool VCLAP_ABI init(const vclap_plugin_t* plugin) {
    EffectInstance* effect = instanceOf(plugin);
    if (!effect) return false;
    effect->init();
    return true;
}

void VCLAP_ABI destroy(const vclap_plugin_t* plugin) {
    if (plugin) delete static_cast<Plugin*>(plugin->plugin_data);
}

bool VCLAP_ABI activate(const vclap_plugin_t* plugin, double sampleRate, uint32_t, uint32_t) {
    EffectInstance* effect = instanceOf(plugin);
    return effect && effect->activate(sampleRate);
}

void VCLAP_ABI deactivate(const vclap_plugin_t* plugin) {
    if (EffectInstance* effect = instanceOf(plugin)) effect->deactivate();
}

// Processing needs nothing beyond the activation: the blocks may start.
bool VCLAP_ABI startProcessing(const vclap_plugin_t* plugin) {
    EffectInstance* effect = instanceOf(plugin);
    return effect && effect->active();
}

void VCLAP_ABI stopProcessing(const vclap_plugin_t*) {}

void VCLAP_ABI reset(const vclap_plugin_t* plugin) {
    if (EffectInstance* effect = instanceOf(plugin)) effect->reset();
}

vclap_process_status VCLAP_ABI process(const vclap_plugin_t* plugin, const vclap_process_t* block) {
    EffectInstance* effect = instanceOf(plugin);
    return effect && block ? effect->process(*block) : VCLAP_PROCESS_ERROR;
}

const void* VCLAP_ABI getExtension(const vclap_plugin_t*, const char* id) { return extension(id); }

void VCLAP_ABI onMainThread(const vclap_plugin_t*) {}

}  // namespace

const vclap_plugin_t* createPlugin(const vclap_host_t* host) {
    Plugin* plugin;
    try {
        plugin = new Plugin(host);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    plugin->table = vclap_plugin_t{&kDescriptor, plugin, init, destroy, activate, deactivate,
                                   startProcessing, stopProcessing, reset, process, getExtension,
                                   onMainThread};
    return &plugin->table;
}

EffectInstance* instanceOf(const vclap_plugin_t* plugin) {
    return plugin && plugin->plugin_data ? &static_cast<Plugin*>(plugin->plugin_data)->effect
                                         : nullptr;
}

}  // namespace varnolet_clap
