// The module's one export, clap_entry, and the factory that makes the
// plug-in's instances.
#include <cstring>

#include "clap/clap_interface.h"
#include "clap/plugin_descriptor.h"
#include "clap/plugin_table.h"
#include "clap/preset_discovery.h"

namespace {

uint32_t VCLAP_ABI pluginCount(const vclap_plugin_factory_t*) { return 1; }

const vclap_plugin_descriptor_t* VCLAP_ABI pluginDescriptor(const vclap_plugin_factory_t*,
                                                            uint32_t index) {
    return index == 0 ? &varnolet_clap::kDescriptor : nullptr;
}

const vclap_plugin_t* VCLAP_ABI createPlugin(const vclap_plugin_factory_t*, const vclap_host_t* host,
                                             const char* id) {
    if (!id || std::strcmp(id, varnolet_clap::kPluginId) != 0) return nullptr;
    // A host of a draft version lays its tables out otherwise.
    if (host && !vclap_version_is_compatible(host->clap_version)) return nullptr;
    return varnolet_clap::createPlugin(host);
}

const vclap_plugin_factory_t kFactory = {pluginCount, pluginDescriptor, createPlugin};

// Nothing to set up or tear down: every instance owns all it uses.
bool VCLAP_ABI entryInit(const char*) { return true; }
void VCLAP_ABI entryDeinit() {}

const void* VCLAP_ABI factory(const char* id) {
    if (!id) return nullptr;
    if (std::strcmp(id, VCLAP_PLUGIN_FACTORY_ID) == 0) return &kFactory;
    if (std::strcmp(id, VCLAP_PRESET_DISCOVERY_FACTORY_ID) == 0 ||
        std::strcmp(id, VCLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT) == 0)
        return &varnolet_clap::kPresetDiscoveryFactory;
    return nullptr;
}

}  // namespace

#if defined(_WIN32)
#define VCLAP_EXPORT __declspec(dllexport)
#else
#define VCLAP_EXPORT __attribute__((visibility("default")))
#endif

extern "C" VCLAP_EXPORT const vclap_plugin_entry_t clap_entry = {VCLAP_VERSION_INIT, entryInit,
                                                                  entryDeinit, factory};
