#include "host/tool/sessions/plugin_session.h"


#include "host/library/plugin_formats.h"
#include "host/tool/command_line/number_text.h"
#include "host/tool/files/output_file.h"
#include "host/tool/sessions/parameter_assignment.h"
#include "host/tool/reports/request_log.h"

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

bool applySettings(HostedPlugin& plugin, const PluginSettings& settings,
                   const ParameterDefaults& defaults, std::string& error) {
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
        if (!applyParameterAssignment(plugin, assignment, defaults, error)) return false;
    return true;
}
}  // namespace

void PluginSettings::declare(OptionSet& set) {
    set.value("--set", "NAME=VALUE",
              "a parameter by name or index: VALUE normalised 0..1 over its\n"
              "range (a CLAP parameter's minimum to maximum); @VALUE as the\n"
              "plug-in's display shows it (@300, @Band)",
              [this](const std::string& text, std::string& error) {
                  ParameterAssignment assignment;
                  if (!parseParameterAssignment(text, assignment, error)) return false;
                  assignments.push_back(assignment);
                  return true;
              });
    set.value("--program", "N", "choose program N (VST 2.4, VST3)",
              [this](const std::string& text, std::string& error) {
                  int64_t number = 0;
                  if (!parseWholeNumber(text, number) || number < 0 || number > 1 << 20) {
                      error = "--program needs a program number, not '" + text + "'";
                      return false;
                  }
                  program = static_cast<int32_t>(number);
                  return true;
              });
    set.text("--preset", "FILE", "load a .fxp program or .fxb bank first (VST 2.4)", presetPath);
    set.text("--plugin-id", "ID|N",
             "of a CLAP or VST3 module holding several plug-ins, the\n"
             "one with that id (a VST3 class's name or id), or the\n"
             "Nth from 0 (default: the first)",
             pluginId);
}

std::unique_ptr<HostedPlugin> openPreparedPlugin(const std::string& path, const PluginSettings& settings,
                                                 const PluginUse& use, const ToolOptions& options,
                                                 std::string& error, ParameterDefaults* defaults) {
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
    ParameterDefaults remembered;
    for (const ParameterAssignment& assignment : settings.assignments)
        if (assignment.asDisplayed) remembered.remember(*plugin, assignment.parameter);
    for (const std::string& name : use.displayedParameters) remembered.remember(*plugin, name);
    if (!applySettings(*plugin, settings, remembered, error)) return nullptr;
    if (defaults) *defaults = remembered;
    return plugin;
}
