// One plug-in as the tool holds it: its module, the host side of its
// callback, its instance, and the log of what passes between them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/plugin_instance.h"
#include "host/recording_host.h"
#include "host/tool/argument_list.h"
#include "host/vst_module.h"

// What the command line asks to be set before the plug-in runs: a preset
// file first, then a program, then single parameters.
struct PluginSettings {
    std::string presetPath;
    int32_t program = -1;
    std::vector<std::string> assignments;  // NAME=VALUE

    // Takes --preset, --program and every --set; false on a malformed one.
    bool take(ArgumentList& arguments, std::string& error);
};

class PluginSession {
public:
    explicit PluginSession(bool logRequests) : log(logRequests) {}
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    // Loads the module, creates an instance and opens it, with the host
    // answering for that sample rate and largest block.
    bool load(const std::string& path, double sampleRate, int32_t blockSize, std::string& error);
    // Sets the rate and block size, as hosts do before switching on.
    void prepare(double sampleRate, int32_t blockSize);
    bool apply(const PluginSettings& settings, std::string& error);

    PluginInstance& plugin() { return *instance; }
    const std::string& path() const { return module.path(); }
    std::string displayName();

private:
    bool log;
    VstModule module;
    RecordingHost host;
    std::unique_ptr<PluginInstance> instance;
};
