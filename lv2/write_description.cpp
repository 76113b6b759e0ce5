// Writes the LV2 bundle's description from the effect's own tables:
//   varnolet_lv2_description BUNDLE_DIR BINARY MINOR_VERSION MICRO_VERSION
// makes BUNDLE_DIR/manifest.ttl, BUNDLE_DIR/varnolet.ttl and, for the factory
// presets, BUNDLE_DIR/presets.ttl. Every name, range, default, unit, value
// name and preset comes from the effect, so the description cannot drift from
// what the plug-in does.
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "core/filter_type_names.h"
#include "core/effect_identity.h"
#include "core/parameter_comments.h"
#include "core/varnolet_parameters.h"
#include "lv2/lv2_layout.h"
#include "lv2/port_description.h"
#include "lv2/preset_description.h"

using namespace varnolet_lv2;
using varnolet::kNumParameters;
using varnolet::kParameters;

namespace {

constexpr const char* kDescriptionFile = "varnolet.ttl";
constexpr const char* kEnabledSymbol = "enabled";

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

void writeAudioPort(std::ostream& out, uint32_t index, const char* direction, const char* symbol,
                    const char* name) {
    out << "\t\ta lv2:AudioPort , lv2:" << direction << " ;\n"
        << "\t\tlv2:index " << index << " ;\n"
        << "\t\tlv2:symbol " << quoted(symbol) << " ;\n"
        << "\t\tlv2:name " << quoted(name) << "\n";
}

void writeControlPort(std::ostream& out, int32_t parameter) {
    const ParameterDescription& p = kParameters[parameter];
    out << "\t\ta lv2:InputPort , lv2:ControlPort ;\n"
        << "\t\tlv2:index " << controlPort(parameter) << " ;\n"
        << "\t\tlv2:symbol " << quoted(portSymbol(p.name)) << " ;\n"
        << "\t\tlv2:name " << quoted(p.name) << " ;\n"
        << "\t\tlv2:default " << turtleNumber(p.defaultValue) << " ;\n"
        << "\t\tlv2:minimum " << turtleNumber(p.minValue) << " ;\n"
        << "\t\tlv2:maximum " << turtleNumber(p.maxValue) << " ;\n"
        << "\t\trdfs:comment " << quoted(varnolet::parameterComment(parameter));
    if (*lv2Unit(p.unit)) out << " ;\n\t\tunits:unit " << lv2Unit(p.unit);
    // LV2 has no unit of its own for a position in the stereo field.
    if (p.unit == kAudioUnitParameterUnit_Pan)
        out << " ;\n\t\tunits:unit [\n\t\t\ta units:Unit ;\n\t\t\trdfs:label \"pan\" ;\n"
               "\t\t\tunits:symbol \"L/R\" ;\n\t\t\tunits:render \"%f L/R\"\n\t\t]";
    // The host's 0..1 is logarithmic for a frequency; an LV2 host's slider
    // should be too.
    if (p.unit == kAudioUnitParameterUnit_Hertz) out << " ;\n\t\tlv2:portProperty pprops:logarithmic";
    if (p.unit == kAudioUnitParameterUnit_Indexed) out << " ;\n\t\tlv2:portProperty lv2:integer";
    if (p.unit == kAudioUnitParameterUnit_Boolean) out << " ;\n\t\tlv2:portProperty lv2:toggled";
    if (parameter == varnolet::kFilterType) {
        // The named values are points on a continuous scale: between them
        // the responses crossfade.
        for (int32_t n = 0; n < varnolet::kNumFilterTypeNames; ++n)
            out << " ;\n\t\tlv2:scalePoint [\n\t\t\trdfs:label "
                << quoted(varnolet::kFilterTypeNames[n]) << " ;\n\t\t\trdf:value "
                << turtleNumber(static_cast<float>(n)) << "\n\t\t]";
    }
    out << "\n";
}

// The switch hosts find by its designation and use as their own bypass.
void writeEnabledPort(std::ostream& out) {
    out << "\t\ta lv2:InputPort , lv2:ControlPort ;\n"
        << "\t\tlv2:index " << kEnabled << " ;\n"
        << "\t\tlv2:symbol " << quoted(kEnabledSymbol) << " ;\n"
        << "\t\tlv2:name \"Enabled\" ;\n"
        << "\t\tlv2:designation lv2:enabled ;\n"
        << "\t\tlv2:portProperty lv2:toggled ;\n"
        << "\t\tlv2:default " << turtleNumber(1.0f) << " ;\n"
        << "\t\tlv2:minimum " << turtleNumber(0.0f) << " ;\n"
        << "\t\tlv2:maximum " << turtleNumber(1.0f) << " ;\n"
        << "\t\trdfs:comment "
        << quoted("1 runs the effect; 0 bypasses it: the output is the input, crossfaded over "
                  "5 ms either way, and the line goes on taking the input, so echoes of what "
                  "was played while bypassed follow when the effect is enabled again.")
        << "\n";
}

std::string pluginDescription(const std::string& minor, const std::string& micro) {
    const char* product = varnolet::kProductName;
    const char* vendor = varnolet::kVendorName;

    std::ostringstream out;
    out << "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
           "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
           "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
           "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
           "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
           "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
           "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n"
        << "<" << kPluginUri << ">\n"
        << "\ta lv2:Plugin , lv2:DelayPlugin , doap:Project ;\n"
        << "\tdoap:name " << quoted(product) << " ;\n"
        << "\tdoap:license <https://spdx.org/licenses/MIT> ;\n"
        << "\trdfs:comment " << quoted(varnolet::kEffectComment) << " ;\n"
        << "\tdoap:maintainer [\n\t\tfoaf:name " << quoted(vendor) << "\n\t] ;\n"
        << "\tlv2:minorVersion " << minor << " ;\n"
        << "\tlv2:microVersion " << micro << " ;\n"
        << "\tlv2:optionalFeature lv2:hardRTCapable ;\n"
        << "\tlv2:port [\n";
    writeAudioPort(out, kInputLeft, "InputPort", "in_left", "Left input");
    out << "\t] , [\n";
    writeAudioPort(out, kInputRight, "InputPort", "in_right", "Right input");
    out << "\t] , [\n";
    writeAudioPort(out, kOutputLeft, "OutputPort", "out_left", "Left output");
    out << "\t] , [\n";
    writeAudioPort(out, kOutputRight, "OutputPort", "out_right", "Right output");
    for (int32_t i = 0; i < kNumParameters; ++i) {
        out << "\t] , [\n";
        writeControlPort(out, i);
    }
    out << "\t] , [\n";
    writeEnabledPort(out);
    out << "\t] .\n";
    return out.str();
}

std::string manifest(const std::string& binary) {
    std::ostringstream out;
    out << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
           "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n\n"
        << "<" << kPluginUri << ">\n"
        << "\ta lv2:Plugin ;\n"
        << "\tlv2:binary <" << binary << "> ;\n"
        << "\trdfs:seeAlso <" << kDescriptionFile << "> .\n\n"
        << presetManifestEntries();
    return out.str();
}

// Two parameters whose names differ only in punctuation would share a
// symbol, and hosts find ports by symbol.
bool symbolsAreDistinct() {
    std::set<std::string> seen = {kEnabledSymbol};
    for (int32_t i = 0; i < kNumParameters; ++i) {
        const std::string symbol = portSymbol(kParameters[i].name);
        if (symbol.empty() || (symbol[0] >= '0' && symbol[0] <= '9') || !seen.insert(symbol).second) {
            std::fprintf(stderr, "parameter %d (%s) has no symbol of its own: \"%s\"\n", i,
                         kParameters[i].name, symbol.c_str());
            return false;
        }
    }
    return true;
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s BUNDLE_DIR BINARY MINOR_VERSION MICRO_VERSION\n", argv[0]);
        return 2;
    }
    const std::string bundle = argv[1];
    if (!symbolsAreDistinct()) return 1;
    return writeFile(bundle + "/manifest.ttl", manifest(argv[2])) &&
                   writeFile(bundle + "/" + kDescriptionFile, pluginDescription(argv[3], argv[4])) &&
                   writeFile(bundle + "/" + kPresetFile, presetDescriptions())
               ? 0
               : 1;
}
