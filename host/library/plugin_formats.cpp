#include "host/library/plugin_formats.h"

#include <cctype>

#include "host/library/clap_plugin.h"
#include "host/library/vst2_plugin.h"
#include "host/library/vst3_plugin.h"

namespace {
bool endsWith(const std::string& path, const char* ending) {
    const std::string end = ending;
    if (path.size() < end.size()) return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(path[path.size() - end.size() + i])) != end[i])
            return false;
    return true;
}

struct PluginFormat {
    const char* name;
    bool (*recognises)(const std::string& path);
    std::unique_ptr<HostedPlugin> (*open)(const std::string& path, const PluginOpening& opening,
                                          std::string& error);
};

// The first format that recognises the file opens it; VST 2.4, the last,
// takes any other.
const PluginFormat kFormats[] = {
    {"CLAP", [](const std::string& path) { return endsWith(path, ".clap"); }, openClapPlugin},
    {"VST3",
     [](const std::string& path) { return endsWith(path, ".vst3") || endsWith(path, ".vst3/"); },
     openVst3Plugin},
    {"VST 2.4", [](const std::string&) { return true; }, openVst2Plugin},
};

const PluginFormat& formatOf(const std::string& path) {
    for (const PluginFormat& format : kFormats)
        if (format.recognises(path)) return format;
    return kFormats[sizeof kFormats / sizeof kFormats[0] - 1];
}
}  // namespace

const char* pluginFormatOf(const std::string& path) { return formatOf(path).name; }

std::unique_ptr<HostedPlugin> openHostedPlugin(const std::string& path, const PluginOpening& opening,
                                               std::string& error) {
    return formatOf(path).open(path, opening, error);
}
