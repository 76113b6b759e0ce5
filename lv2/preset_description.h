// The factory presets as LV2 presets: the manifest names each and where it is
// described, a file of their own gives each control's value by port symbol.
#pragma once

#include <string>

namespace varnolet_lv2 {

constexpr const char* kPresetFile = "presets.ttl";

// The manifest's entries, after its prefixes for lv2 and rdfs.
std::string presetManifestEntries();
// The whole of presets.ttl.
std::string presetDescriptions();

}  // namespace varnolet_lv2
