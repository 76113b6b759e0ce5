// Opens a plug-in file in whichever format it is, ready for a host: every
// format's plug-in is opened by this one call, and a new format is one more
// line in its table.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "host/library/hosted_plugin.h"
#include "host/library/transport.h"

// What a host opens a plug-in for.
struct PluginOpening {
    double sampleRate = 44100.0;
    int32_t largestBlock = 1024;
    // What the transport says to a plug-in that asks.
    Transport transport;
    // Of a module holding several plug-ins: the one with this id, or this
    // index from 0; empty: the first.
    std::string pluginId;
    // Told a line for every call to the plug-in and back, when set.
    std::function<void(const std::string&)> log;
};

// The name of the format the file is in, as openHostedPlugin takes it:
// "CLAP" for a .clap, "VST3" for a .vst3 bundle (or its binary), else
// "VST 2.4".
const char* pluginFormatOf(const std::string& path);

// Loads the file, creates one instance and tells it the rate and largest
// block; it is left inactive, its parameters at their defaults. Null, with
// the reason, when the file is no plug-in of its format or the plug-in
// misbehaves on the way.
std::unique_ptr<HostedPlugin> openHostedPlugin(const std::string& path, const PluginOpening& opening,
                                               std::string& error);
