#include <algorithm>
#include <cstdio>

#include "host/library/channel_blocks.h"
#include "host/tool/command_line/command_table.h"
#include "host/tool/command_line/common_options.h"
#include "host/tool/files/standard_output.h"
#include "host/tool/reports/json_writer.h"
#include "host/tool/sessions/plugin_session.h"

namespace {
struct InfoOptions {
    bool json = false;
    PluginSettings settings;

    void declare(OptionSet& set) {
        set.heading("options:");
        declareJson(set, json);
        settings.declare(set);
    }
};

void writeValue(JsonWriter& json, const ReportValue& value) {
    switch (value.kind) {
        case ReportValue::Kind::Text: json.string(value.text); break;
        case ReportValue::Kind::Integer: json.integer(value.integer); break;
        case ReportValue::Kind::Number: json.number(value.number); break;
        case ReportValue::Kind::Object:
            json.beginObject();
            for (const auto& member : value.members) {
                json.key(member.first);
                writeValue(json, member.second);
            }
            json.endObject();
            break;
        case ReportValue::Kind::List:
            json.beginArray();
            for (const ReportValue& item : value.items) writeValue(json, item);
            json.endArray();
            break;
    }
}

void writeMembers(JsonWriter& json, const ReportValue::Members& members) {
    for (const auto& member : members) {
        json.key(member.first);
        writeValue(json, member.second);
    }
}

std::string jsonReport(const std::string& path, const char* format, const PluginReport& r) {
    JsonWriter json;
    json.beginObject();
    json.key("module").path(path);
    json.key("format").string(format);
    for (const PluginFact& fact : r.facts) writeMembers(json, fact.json);
    json.key("parameters").beginArray();
    for (const ParameterReport& p : r.parameters) {
        json.beginObject();
        json.key("index").integer(p.index);
        json.key("name").string(p.name);
        json.key("label").string(p.label);
        json.key("display").string(p.display);
        json.key("value").number(p.value);
        writeMembers(json, p.more);
        json.endObject();
    }
    json.endArray();
    if (r.hasPrograms) {
        json.key("currentProgram").integer(r.currentProgram);
        json.key("programs").beginArray();
        for (size_t i = 0; i < r.programNames.size(); ++i) {
            json.beginObject();
            json.key("index").integer(static_cast<int64_t>(i));
            json.key("name").string(r.programNames[i]);
            json.endObject();
        }
        json.endArray();
    }
    json.endObject();
    return json.text() + "\n";
}

template <class... Values>
void appendFormatted(std::string& text, const char* format, Values... values) {
    char line[1024];
    std::snprintf(line, sizeof line, format, values...);
    text += line;
}

void appendLine(std::string& text, const std::string& label, const std::string& value) {
    appendFormatted(text, "%-17s%s\n", (label + ":").c_str(), value.c_str());
}

std::string textReport(const std::string& path, const char* format, const PluginReport& r) {
    std::string text;
    appendLine(text, "Module", path);
    appendLine(text, "Format", format);
    for (const PluginFact& fact : r.facts)
        if (!fact.label.empty()) appendLine(text, fact.label, fact.text);
    appendFormatted(text, "Parameters:      %zu\n", r.parameters.size());
    if (!r.parameters.empty())
        appendFormatted(text, "  %5s  %-24s %-10s %-16s %s\n", "index", "name", "value", "display", "label");
    for (const ParameterReport& p : r.parameters)
        appendFormatted(text, "  %5d  %-24s %-10.6f %-16s %s\n", p.index, p.name.c_str(),
                        static_cast<double>(p.value), p.display.c_str(), p.label.c_str());
    if (!r.hasPrograms) return text;
    appendFormatted(text, "Programs:        %zu (current %d)\n", r.programNames.size(), r.currentProgram);
    for (size_t i = 0; i < r.programNames.size(); ++i)
        appendFormatted(text, "  %5zu  %s\n", i, r.programNames[i].c_str());
    return text;
}

int runInfo(ArgumentList& arguments, const ToolOptions& options) {
    InfoOptions choices;
    OptionSet set;
    choices.declare(set);
    std::vector<std::string> positional;
    std::string error;
    if (!set.take(arguments, error) || !arguments.positionals(1, 1, positional, error))
        return usageFailure("info", error);

    const PluginUse use;
    const auto plugin = openPreparedPlugin(positional[0], choices.settings, use, options, error);
    if (!plugin) return failure(error);
    // A plug-in settles its delay when switched on, some only in their first
    // block (LSP's), so the report is made after one block of silence.
    if (!plugin->activate(error) || !plugin->startProcessing(error)) return failure(error);
    const size_t block = static_cast<size_t>(use.largestBlock);
    ChannelBlocks inputs(static_cast<size_t>(std::max(plugin->inputCount(), 0)), block);
    ChannelBlocks outputs(static_cast<size_t>(std::max(plugin->outputCount(), 0)), block);
    ProcessCall call;
    call.inputs = inputs.data();
    call.outputs = outputs.data();
    call.frames = static_cast<uint32_t>(use.largestBlock);
    plugin->process(call);
    plugin->afterBlock();
    plugin->stopProcessing();
    const PluginReport report = plugin->describe();
    plugin->deactivate();
    const std::string text = choices.json ? jsonReport(positional[0], plugin->formatName(), report)
                                          : textReport(positional[0], plugin->formatName(), report);
    if (!writeStandardOutput(text, error)) return failure(error);
    return kSuccess;
}
}  // namespace

Command infoCommand() {
    return {"info", "PLUGIN [options]",
            "What a host sees: identity, layout, flags, parameters, programs.\n",
            declaredOptions<InfoOptions>, runInfo};
}
