#include <cctype>

#include "host/tool/command_line/command_table.h"
#include "host/tool/files/output_file.h"
#include "host/tool/files/standard_output.h"
#include "host/tool/sessions/plugin_session.h"

namespace {
struct SavePresetOptions {
    bool bank = false;
    PluginSettings settings;

    void declare(OptionSet& set) {
        set.heading("options:");
        set.flag("--bank", "every program, as a bank", bank);
        settings.declare(set);
    }
};

bool endsWith(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i])
            return false;
    return true;
}

int runSavePreset(ArgumentList& arguments, const ToolOptions& options) {
    SavePresetOptions choices;
    OptionSet set;
    choices.declare(set);
    std::vector<std::string> positional;
    std::string error;
    if (!set.take(arguments, error) || !arguments.positionals(2, 2, positional, error))
        return usageFailure("save-preset", error);
    const bool bank = choices.bank || endsWith(positional[1], ".fxb");

    const auto plugin = openPreparedPlugin(positional[0], choices.settings, PluginUse(), options, error);
    if (!plugin) return failure(error);
    std::vector<uint8_t> bytes;
    if (!plugin->savePreset(bank, bytes, error) || !writeWholeFile(positional[1], bytes, error))
        return failure(error);
    status((isStandardStream(positional[1]) ? std::string("standard output") : positional[1]) + ": " +
           (bank ? "bank of every program" : "current program") + " of " + plugin->name() + ", " +
           std::to_string(bytes.size()) + " bytes");
    return kSuccess;
}
}  // namespace

Command savePresetCommand() {
    return {"save-preset", "PLUGIN OUT.fxp|OUT.fxb [options]",
            "Writes the current program or the bank of a VST 2.4 plug-in.\n"
            "Writes the current program as .fxp, or with --bank or an .fxb name all\n"
            "programs as a bank, after the settings; - writes it to standard output.\n",
            declaredOptions<SavePresetOptions>, runSavePreset};
}
