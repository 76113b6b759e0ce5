// The extensions the plug-in offers a CLAP host: audio ports, parameters,
// state, latency and tail.
#pragma once

namespace varnolet_clap {

// The extension's table, or null for one the plug-in does not offer.
const void* extension(const char* id);

}  // namespace varnolet_clap
