// The factory presets as a CLAP host finds and loads them: the module's
// preset-discovery factory lists them inside the plug-in, and the plug-in's
// preset-load extension takes each by its load key.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/bypass_parameter.h"
#include "core/factory_presets.h"
#include "tests/clap/clap_driver.h"

namespace {

using varnolet::kFactoryPresets;
using varnolet::kNumParameters;

// What an indexer hears from the provider.
struct Index {
    std::vector<vclap_preset_discovery_location_t> locations;
    struct Preset {
        std::string name, key, pluginAbi, pluginId;
        uint32_t flags = 0;
    };
    std::vector<Preset> presets;
};

Index& indexOf(const void* data) { return *static_cast<Index*>(const_cast<void*>(data)); }

bool VCLAP_ABI declareLocation(const vclap_preset_discovery_indexer_t* indexer,
                               const vclap_preset_discovery_location_t* location) {
    indexOf(indexer->indexer_data).locations.push_back(*location);
    return true;
}
bool VCLAP_ABI beginPreset(const vclap_preset_discovery_metadata_receiver_t* receiver,
                           const char* name, const char* key) {
    indexOf(receiver->receiver_data).presets.push_back({name, key ? key : "", "", "", 0});
    return true;
}
void VCLAP_ABI addPluginId(const vclap_preset_discovery_metadata_receiver_t* receiver,
                           const vclap_universal_plugin_id_t* id) {
    indexOf(receiver->receiver_data).presets.back().pluginAbi = id->abi;
    indexOf(receiver->receiver_data).presets.back().pluginId = id->id;
}
void VCLAP_ABI setFlags(const vclap_preset_discovery_metadata_receiver_t* receiver, uint32_t flags) {
    indexOf(receiver->receiver_data).presets.back().flags = flags;
}

TEST(ClapPresets, TheDiscoveryFactoryListsEveryFactoryPresetInsideThePlugin) {
    const auto* factory = static_cast<const vclap_preset_discovery_factory_t*>(
        clapEntry()->get_factory(VCLAP_PRESET_DISCOVERY_FACTORY_ID));
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(clapEntry()->get_factory(VCLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT), factory);
    ASSERT_EQ(factory->count(factory), 1u);
    const auto* descriptor = factory->get_descriptor(factory, 0);
    ASSERT_NE(descriptor, nullptr);

    Index index;
    vclap_preset_discovery_indexer_t indexer{};
    indexer.clap_version = VCLAP_VERSION_INIT;
    indexer.name = "clap_tests";
    indexer.indexer_data = &index;
    indexer.declare_location = declareLocation;
    EXPECT_EQ(factory->create(factory, &indexer, "another.provider"), nullptr);
    const auto* provider = factory->create(factory, &indexer, descriptor->id);
    ASSERT_NE(provider, nullptr);
    ASSERT_TRUE(provider->init(provider));
    ASSERT_EQ(index.locations.size(), 1u);
    EXPECT_EQ(index.locations[0].kind, VCLAP_PRESET_DISCOVERY_LOCATION_PLUGIN);
    EXPECT_EQ(index.locations[0].location, nullptr);
    EXPECT_TRUE(index.locations[0].flags & VCLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT);

    vclap_preset_discovery_metadata_receiver_t receiver{};
    receiver.receiver_data = &index;
    receiver.begin_preset = beginPreset;
    receiver.add_plugin_id = addPluginId;
    receiver.set_flags = setFlags;
    EXPECT_FALSE(provider->get_metadata(provider, VCLAP_PRESET_DISCOVERY_LOCATION_FILE, "/tmp", &receiver));
    ASSERT_TRUE(provider->get_metadata(provider, VCLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, &receiver));
    ASSERT_EQ(index.presets.size(), static_cast<size_t>(varnolet::kNumFactoryPresets));
    for (size_t i = 0; i < index.presets.size(); ++i) {
        EXPECT_EQ(index.presets[i].name, kFactoryPresets[i].name);
        EXPECT_EQ(index.presets[i].pluginAbi, "clap");
        EXPECT_EQ(index.presets[i].pluginId, "com.tolmark.varnolet-delay");
        EXPECT_EQ(index.presets[i].flags, VCLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT);
    }
    provider->destroy(provider);
}

TEST(ClapPresets, LoadingAPresetByItsKeySetsEveryValueAndTellsTheHost) {
    std::unique_ptr<ClapPlugin> clap = ClapPlugin::create();
    ASSERT_TRUE(clap);
    const auto* load = static_cast<const vclap_plugin_preset_load_t*>(
        clap->plugin()->get_extension(clap->plugin(), VCLAP_EXT_PRESET_LOAD));
    ASSERT_NE(load, nullptr);
    // Inactive, then active: a host loads presets either way.
    for (bool active : {false, true}) {
        if (active) {
            ASSERT_TRUE(clap->activate(48000));
        }
        for (const varnolet::FactoryPreset& preset : kFactoryPresets) {
            const int rescans = clap->valueRescans();
            ASSERT_TRUE(load->from_location(clap->plugin(), VCLAP_PRESET_DISCOVERY_LOCATION_PLUGIN,
                                            nullptr, preset.symbol))
                << preset.name;
            EXPECT_EQ(clap->valueRescans(), rescans + 1);
            for (uint32_t id = 0; id < static_cast<uint32_t>(kNumParameters); ++id)
                EXPECT_EQ(clap->value(id), preset.values[id]) << preset.name << ", parameter " << id;
        }
    }
    // The bypass is the user's, not the preset's.
    clap->flush({{0, static_cast<uint32_t>(varnolet::kBypassIndex), 1.0}});
    ASSERT_TRUE(load->from_location(clap->plugin(), VCLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr,
                                    kFactoryPresets[1].symbol));
    EXPECT_EQ(clap->value(static_cast<uint32_t>(varnolet::kBypassIndex)), 1.0);
    // A key or location that names no preset changes nothing.
    const double held = clap->value(0);
    EXPECT_FALSE(load->from_location(clap->plugin(), VCLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr,
                                     "no-such-preset"));
    EXPECT_FALSE(load->from_location(clap->plugin(), VCLAP_PRESET_DISCOVERY_LOCATION_FILE, "/tmp",
                                     kFactoryPresets[0].symbol));
    EXPECT_EQ(clap->value(0), held);
}

}  // namespace
