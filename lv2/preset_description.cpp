#include "lv2/preset_description.h"

#include <sstream>

#include "core/factory_presets.h"
#include "lv2/lv2_layout.h"
#include "lv2/port_description.h"

namespace varnolet_lv2 {

namespace {

const char* const kPresetPrefix = "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n";

std::string presetUri(const varnolet::FactoryPreset& preset) {
    return std::string("<") + kPluginUri + ":preset:" + preset.symbol + ">";
}

}  // namespace

std::string presetManifestEntries() {
    std::ostringstream out;
    out << kPresetPrefix;
    for (const varnolet::FactoryPreset& preset : varnolet::kFactoryPresets)
        out << "\n" << presetUri(preset) << "\n"
            << "\ta pset:Preset ;\n"
            << "\tlv2:appliesTo <" << kPluginUri << "> ;\n"
            << "\trdfs:seeAlso <" << kPresetFile << "> .\n";
    return out.str();
}

std::string presetDescriptions() {
    std::ostringstream out;
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
        << kPresetPrefix
        << "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
    for (const varnolet::FactoryPreset& preset : varnolet::kFactoryPresets) {
        // The names hold no quote or backslash that would need escaping.
        out << "\n" << presetUri(preset) << "\n"
            << "\ta pset:Preset ;\n"
            << "\tlv2:appliesTo <" << kPluginUri << "> ;\n"
            << "\trdfs:label \"" << preset.name << "\" ;\n"
            << "\tlv2:port ";
        for (int32_t i = 0; i < varnolet::kNumParameters; ++i)
            out << (i ? " , " : "") << "[\n\t\tlv2:symbol \""
                << portSymbol(varnolet::kParameters[i].name) << "\" ;\n\t\tpset:value "
                << turtleNumber(preset.values[i]) << "\n\t]";
        out << " .\n";
    }
    return out.str();
}

}  // namespace varnolet_lv2
