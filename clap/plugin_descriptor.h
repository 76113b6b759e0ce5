// Who the plug-in is to a CLAP host.
#pragma once

#include "clap/clap_interface.h"

namespace varnolet_clap {

// Never changes: hosts find the plug-in of a saved project by it.
constexpr const char* kPluginId = "com.tolmark.varnolet-delay";

extern const vclap_plugin_descriptor_t kDescriptor;

}  // namespace varnolet_clap
