#include <algorithm>
#include <cstdio>

#include "host/library/channel_blocks.h"
#include "host/library/plugin_description.h"
#include "host/tool/argument_list.h"
#include "host/tool/json_writer.h"
#include "host/tool/plugin_session.h"

namespace {
std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : " ") + part;
    return text.empty() ? "(none)" : text;
}

void printJson(const std::string& path, const PluginDescription& d) {
    JsonWriter json;
    json.beginObject();
    json.key("module").string(path);
    json.key("effectName").string(d.effectName);
    json.key("product").string(d.product);
    json.key("vendor").string(d.vendor);
    json.key("vendorVersion").integer(d.vendorVersion);
    json.key("vstVersion").integer(d.vstVersion);
    json.key("recordVersion").integer(d.recordVersion);
    json.key("category").beginObject();
    json.key("number").integer(d.category);
    json.key("name").string(categoryName(d.category));
    json.endObject();
    json.key("uniqueId").beginObject();
    json.key("text").string(fourCharacterText(d.uniqueId));
    json.key("number").integer(d.uniqueId);
    json.endObject();
    json.key("inputs").integer(d.inputs);
    json.key("outputs").integer(d.outputs);
    json.key("flags").beginObject();
    json.key("value").integer(d.flags);
    json.key("names").beginArray();
    for (const std::string& name : flagNames(d.flags)) json.string(name);
    json.endArray();
    json.endObject();
    json.key("initialDelay").integer(d.initialDelay);
    json.key("tailSize").integer(d.tailSize);
    json.key("parameters").beginArray();
    for (const ParameterDescriptionText& p : d.parameters) {
        json.beginObject();
        json.key("index").integer(p.index);
        json.key("name").string(p.name);
        json.key("label").string(p.label);
        json.key("display").string(p.display);
        json.key("value").number(p.value);
        json.endObject();
    }
    json.endArray();
    json.key("currentProgram").integer(d.currentProgram);
    json.key("programs").beginArray();
    for (size_t i = 0; i < d.programNames.size(); ++i) {
        json.beginObject();
        json.key("index").integer(static_cast<int64_t>(i));
        json.key("name").string(d.programNames[i]);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    std::printf("%s\n", json.text().c_str());
}

void printText(const std::string& path, const PluginDescription& d) {
    const std::string code = fourCharacterText(d.uniqueId);
    std::printf("Module:          %s\n", path.c_str());
    std::printf("Effect name:     %s\n", d.effectName.c_str());
    std::printf("Product:         %s\n", d.product.c_str());
    std::printf("Vendor:          %s\n", d.vendor.c_str());
    std::printf("Vendor version:  %d\n", d.vendorVersion);
    std::printf("VST version:     %d\n", d.vstVersion);
    std::printf("Record version:  %d\n", d.recordVersion);
    std::printf("Category:        %d (%s)\n", d.category, categoryName(d.category).c_str());
    std::printf("Unique ID:       %s%s%s%d (0x%08X)\n", code.empty() ? "" : "'", code.c_str(),
                code.empty() ? "" : "' ", d.uniqueId, static_cast<unsigned>(d.uniqueId));
    std::printf("Inputs/outputs:  %d / %d\n", d.inputs, d.outputs);
    std::printf("Flags:           %s\n", joined(flagNames(d.flags)).c_str());
    std::printf("Initial delay:   %d frames\n", d.initialDelay);
    std::printf("Tail size:       %d\n", d.tailSize);
    std::printf("Parameters:      %zu\n", d.parameters.size());
    if (!d.parameters.empty())
        std::printf("  %5s  %-24s %-10s %-16s %s\n", "index", "name", "value", "display", "label");
    for (const ParameterDescriptionText& p : d.parameters)
        std::printf("  %5d  %-24s %-10.6f %-16s %s\n", p.index, p.name.c_str(),
                    static_cast<double>(p.value), p.display.c_str(), p.label.c_str());
    std::printf("Programs:        %zu (current %d)\n", d.programNames.size(), d.currentProgram);
    for (size_t i = 0; i < d.programNames.size(); ++i)
        std::printf("  %5zu  %s\n", i, d.programNames[i].c_str());
}
}  // namespace

int runInfo(ArgumentList& arguments, const ToolOptions& options) {
    const bool json = arguments.flag("--json");
    PluginSettings settings;
    std::vector<std::string> positional;
    std::string error;
    if (!settings.take(arguments, error) || !arguments.positionals(1, 1, positional, error))
        return usageFailure("info", error);

    const PluginUse use;
    const auto session = openPreparedPlugin(positional[0], settings, use, options, error);
    if (!session) return failure(error);
    // A plug-in settles its delay when switched on, some only in their first
    // block (LSP's), so the report is made after one block of silence.
    PluginInstance& plugin = session->plugin();
    plugin.resume();
    plugin.startProcessing();
    const size_t block = static_cast<size_t>(use.largestBlock);
    ChannelBlocks inputs(static_cast<size_t>(std::max(plugin.numInputs(), 0)), block);
    ChannelBlocks outputs(static_cast<size_t>(std::max(plugin.numOutputs(), 0)), block);
    plugin.processReplacing(inputs.data(), outputs.data(), use.largestBlock);
    plugin.stopProcessing();
    const PluginDescription description = describePlugin(plugin);
    plugin.suspend();
    if (json) printJson(positional[0], description);
    else printText(positional[0], description);
    return kSuccess;
}
