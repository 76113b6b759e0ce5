// The factory presets as CLAP hosts index them: a preset-discovery factory
// with one provider, whose presets lie inside the plug-in itself, each known
// by its symbol as its load key.
#pragma once

#include "clap/clap_interface.h"

namespace varnolet_clap {

extern const vclap_preset_discovery_factory_t kPresetDiscoveryFactory;

// The native values of the preset at a location of the provider's, or null
// for a location or key that names none.
const float* factoryPresetValues(uint32_t locationKind, const char* location, const char* loadKey);

}  // namespace varnolet_clap
