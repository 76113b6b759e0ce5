#include "clap/preset_discovery.h"

#include <cstring>
#include <new>

#include "clap/plugin_descriptor.h"
#include "core/effect_identity.h"
#include "core/factory_presets.h"

namespace varnolet_clap {

namespace {

const vclap_preset_discovery_provider_descriptor_t kProviderDescriptor = {
    VCLAP_VERSION_INIT, "com.tolmark.varnolet-delay.factory-presets", "Varnolet Delay factory presets",
    varnolet::kVendorName};

struct Provider {
    vclap_preset_discovery_provider_t table;
    const vclap_preset_discovery_indexer_t* indexer;
};

bool VCLAP_ABI init(const vclap_preset_discovery_provider_t* provider) {
    const auto* self = static_cast<const Provider*>(provider->provider_data);
    if (!self->indexer->declare_location) return false;
    const vclap_preset_discovery_location_t location = {VCLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT,
                                                        "Factory presets",
                                                        VCLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr};
    return self->indexer->declare_location(self->indexer, &location);
}

void VCLAP_ABI destroy(const vclap_preset_discovery_provider_t* provider) {
    delete static_cast<const Provider*>(provider->provider_data);
}

bool VCLAP_ABI getMetadata(const vclap_preset_discovery_provider_t*, uint32_t kind, const char* location,
                           const vclap_preset_discovery_metadata_receiver_t* receiver) {
    if (kind != VCLAP_PRESET_DISCOVERY_LOCATION_PLUGIN || location || !receiver || !receiver->begin_preset)
        return false;
    const vclap_universal_plugin_id_t plugin = {"clap", kPluginId};
    for (const varnolet::FactoryPreset& preset : varnolet::kFactoryPresets) {
        if (!receiver->begin_preset(receiver, preset.name, preset.symbol)) break;
        if (receiver->add_plugin_id) receiver->add_plugin_id(receiver, &plugin);
        if (receiver->set_flags) receiver->set_flags(receiver, VCLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT);
    }
    return true;
}

const void* VCLAP_ABI providerExtension(const vclap_preset_discovery_provider_t*, const char*) {
    return nullptr;
}

uint32_t VCLAP_ABI providerCount(const vclap_preset_discovery_factory_t*) { return 1; }

const vclap_preset_discovery_provider_descriptor_t* VCLAP_ABI providerDescriptor(
    const vclap_preset_discovery_factory_t*, uint32_t index) {
    return index == 0 ? &kProviderDescriptor : nullptr;
}

const vclap_preset_discovery_provider_t* VCLAP_ABI createProvider(
    const vclap_preset_discovery_factory_t*, const vclap_preset_discovery_indexer_t* indexer,
    const char* id) {
    if (!indexer || !id || std::strcmp(id, kProviderDescriptor.id) != 0) return nullptr;
    Provider* provider = new (std::nothrow) Provider;
    if (!provider) return nullptr;
    provider->table = {&kProviderDescriptor, provider, init, destroy, getMetadata, providerExtension};
    provider->indexer = indexer;
    return &provider->table;
}

}  // namespace

const vclap_preset_discovery_factory_t kPresetDiscoveryFactory = {providerCount, providerDescriptor,
                                                                   createProvider};

const float* factoryPresetValues(uint32_t locationKind, const char* location, const char* loadKey) {
    if (locationKind != VCLAP_PRESET_DISCOVERY_LOCATION_PLUGIN || location || !loadKey) return nullptr;
    for (const varnolet::FactoryPreset& preset : varnolet::kFactoryPresets)
        if (std::strcmp(loadKey, preset.symbol) == 0) return preset.values;
    return nullptr;
}

}  // namespace varnolet_clap
