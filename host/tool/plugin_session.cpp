#include "host/tool/plugin_session.h"

#include <cstdlib>

#include "host/library/plugin_formats.h"
#include "host/tool/output_file.h"
#include "host/tool/parameter_assignment.h"
#include "host/tool/request_log.h"

namespace {
bool loadPresetFile(HostedPlugin& plugin, const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes, error)) return false;
    if (!plugin.loadPreset(bytes, plugin.path(), error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool applySettings(HostedPlugin& plugin, const PluginSettings& settings, std::string& error) {
    if (!settings.presetPath.empty() && !loadPresetFile(plugin, settings.presetPath, error))
        return false;
    if (settings.program >= 0) {
        if (settings.program >= plugin.programCount()) {
            error = "there is no program " + std::to_string(settings.program) + ": the plug-in has " +
                    std::to_string(plugin.programCount());
            return false;
        }
        plugin.selectProgram(settings.program);
    }
    for (const ParameterAssignment& assignment : settings.assignments)
        if (!applyParameterAssignment(plugin, assignment, error)) return false;
    return true;
}
}  // namespace

bool PluginSettings::take(ArgumentList& arguments, std::string& error) {
    arguments.value("--preset", presetPath);
    arguments.value("--plugin-id", pluginId);
    std::string text;
    if (arguments.value("--program", text)) {
        char* end = nullptr;
        const long number = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || number < 0 || number > 1 << 20) {
            error = "--program needs a program number, not '" + text + "'";
            return false;
        }
        program = static_cast<int32_t>(number);
    }
    for (const std::string& word : arguments.values("--set")) {
        ParameterAssignment assignment;
        if (!parseParameterAssignment(word, assignment, error)) return false;
        assignments.push_back(assignment);
    }
    return true;
}

std::unique_ptr<HostedPlugin> openPreparedPlugin(const std::string& path, const PluginSettings& settings,
                                                 const PluginUse& use, const ToolOptions& options,
                                                 std::string& error) {
    PluginOpening opening;
    opening.sampleRate = use.sampleRate;
    opening.largestBlock = use.largestBlock;
    opening.transport = use.transport;
    opening.pluginId = settings.pluginId;
    if (options.log) opening.log = logLine;
    std::unique_ptr<HostedPlugin> plugin = openHostedPlugin(path, opening, error);
    if (!plugin) return nullptr;
    if (use.needsOutputs && plugin->outputCount() <= 0) {
        error = "the plug-in has no audio outputs";
        return nullptr;
    }
    if (!applySettings(*plugin, settings, error)) return nullptr;
    return plugin;
}
