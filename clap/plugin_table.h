// The table a CLAP host calls one instance of the plug-in through.
#pragma once

#include "clap/clap_interface.h"
#include "clap/effect_instance.h"

namespace varnolet_clap {

// A new instance for the host; null when memory runs out. The host's destroy
// call frees it.
const vclap_plugin_t* createPlugin(const vclap_host_t* host);

// The instance behind a table the host passes back; null for a null table.
EffectInstance* instanceOf(const vclap_plugin_t* plugin);

}  // namespace varnolet_clap
