// One plug-in as the tool holds it, in whichever format, and the one call
// every command opens it with.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/library/hosted_plugin.h"
#include "host/library/transport.h"
#include "host/tool/command_line/option_set.h"
#include "host/tool/sessions/parameter_assignment.h"
#include "host/tool/command_line/tool_options.h"

// What the command line asks to be set before the plug-in runs: a preset
// file first, then a program, then single parameters; and which plug-in of
// a module that holds several.
struct PluginSettings {
    std::string presetPath;
    int32_t program = -1;
    std::vector<ParameterAssignment> assignments;
    std::string pluginId;

    // Declares --set (each in order), --program, --preset and --plugin-id,
    // filling these; a malformed one (a --set without NAME=VALUE, say) is a
    // malformed command line.
    void declare(OptionSet& set);
};

// How a command is going to use the plug-in: what it is prepared for, and
// what it must be able to take. (How its inputs are fed is the chain's
// concern: plugin_chain.h.)
struct PluginUse {
    double sampleRate = 44100.0;
    int32_t largestBlock = 1024;
    bool needsOutputs = false;
    // What the host's transport tells the plug-in.
    Transport transport;
    // Parameters given displayed values beyond the settings (--automate's),
    // whose defaults are remembered before anything is set.
    std::vector<std::string> displayedParameters;
};

// Opens the plug-in in its format, checks that it can be used so, and
// applies the settings; the plug-in is left inactive, ready to be switched
// on. Null, with the reason, when any step fails. defaults, when given,
// keeps the defaults of the parameters given displayed values.
std::unique_ptr<HostedPlugin> openPreparedPlugin(const std::string& path, const PluginSettings& settings,
                                                 const PluginUse& use, const ToolOptions& options,
                                                 std::string& error, ParameterDefaults* defaults = nullptr);
