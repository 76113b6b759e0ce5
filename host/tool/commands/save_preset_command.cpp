#include <cctype>
#include <cstdio>

#include "host/tool/output_file.h"
#include "host/tool/plugin_session.h"

namespace {
bool endsWith(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i])
            return false;
    return true;
}
}  // namespace

int runSavePreset(ArgumentList& arguments, const ToolOptions& options) {
    PluginSettings settings;
    std::vector<std::string> positional;
    std::string error;
    bool bank = arguments.flag("--bank");
    if (!settings.take(arguments, error) || !arguments.positionals(2, 2, positional, error))
        return usageFailure("save-preset", error);
    bank = bank || endsWith(positional[1], ".fxb");

    const auto plugin = openPreparedPlugin(positional[0], settings, PluginUse(), options, error);
    if (!plugin) return failure(error);
    std::vector<uint8_t> bytes;
    if (!plugin->savePreset(bank, bytes, error) || !writeWholeFile(positional[1], bytes, error))
        return failure(error);
    std::printf("%s: %s of %s, %zu bytes\n", positional[1].c_str(),
                bank ? "bank of every program" : "current program", plugin->name().c_str(),
                bytes.size());
    return kSuccess;
}
