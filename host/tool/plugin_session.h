// One plug-in as the tool holds it: its module, the host side of its
// callback, its instance; and the one call every command opens it with.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/library/playing_host.h"
#include "host/library/plugin_instance.h"
#include "host/library/vst_module.h"
#include "host/tool/argument_list.h"
#include "host/tool/parameter_assignment.h"
#include "host/tool/tool_options.h"

// What the command line asks to be set before the plug-in runs: a preset
// file first, then a program, then single parameters.
struct PluginSettings {
    std::string presetPath;
    int32_t program = -1;
    std::vector<ParameterAssignment> assignments;

    // Takes --preset, --program and every --set; false on a malformed one
    // (a --set without NAME=VALUE, say), which is a malformed command line.
    bool take(ArgumentList& arguments, std::string& error);
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
};

class PluginSession {
public:
    PluginSession() = default;
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    PluginInstance& plugin() { return *instance; }
    const std::string& path() const { return module.path(); }
    // The product name, else the effect name, else the file's name.
    std::string displayName();

private:
    friend std::unique_ptr<PluginSession> openPreparedPlugin(const std::string&,
                                                             const PluginSettings&, const PluginUse&,
                                                             const ToolOptions&, std::string&);
    // Destroyed in reverse: the instance closes before its host and module go.
    VstModule module;
    PlayingHost host;
    std::unique_ptr<PluginInstance> instance;
};

// Loads the module, creates and opens an instance, checks that it can be
// used so, sends the sample rate and largest block, and applies the
// settings; the plug-in is left switched off, ready to be switched on. Null,
// with the reason, when any step fails.
std::unique_ptr<PluginSession> openPreparedPlugin(const std::string& path,
                                                  const PluginSettings& settings, const PluginUse& use,
                                                  const ToolOptions& options, std::string& error);
