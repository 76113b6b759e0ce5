#include "host/tool/command_line/command_table.h"

Command infoCommand();
Command renderCommand();
Command plotCommand();
Command diffCommand();
Command benchCommand();
Command savePresetCommand();
Command generateCommand();
Command validateCommand();

namespace {
const std::vector<Command> kCommands = {
    infoCommand(),     renderCommand(),   plotCommand(),     diffCommand(),
    benchCommand(),    savePresetCommand(), generateCommand(), validateCommand(),
};

std::string firstLine(const char* text) {
    const std::string all = text;
    return all.substr(0, all.find('\n'));
}
}  // namespace

const char* const kToolUsage = "vst2host [--log] COMMAND [options] [--] ...";

const char* const kToolDescription =
    "Loads a plug-in by path and talks to it as a host does: a VST 2.4 module (.so,\n"
    ".dll), a CLAP module (.clap) or a VST3 bundle (.vst3), each by its name.\n"
    "validate, save-preset and --preset with .fxp/.fxb files are VST 2.4's. A file\n"
    "named - is standard input or output.\n";

const char* const kExitStatusText =
    "0 done; 1 failed, or for diff the files differ; 2 a malformed command line,\n"
    "or for diff a file that cannot be read.\n";

std::vector<OptionLine> toolOptions() {
    return {
        {false, "--log", "", "print every request sent to the plug-in (->) and every call\n"
                             "it makes to the host (<-) on standard error, one line each"},
        {false, "--help", "", "the overview, or with a command its options"},
        {false, "--version", "", "the tool's version"},
        {false, "--", "", "the end of the options: every word after it is an argument"},
    };
}

const std::vector<Command>& commandTable() { return kCommands; }

const Command* findCommand(const std::string& name) {
    for (const Command& command : kCommands)
        if (name == command.name) return &command;
    return nullptr;
}

std::string overview() {
    std::string text = std::string("usage: ") + kToolUsage + "\n\n" + kToolDescription + "\ncommands:\n";
    for (const Command& command : kCommands)
        text += std::string("  ") + command.name + " " + command.synopsis + "\n      " +
                firstLine(command.description) + "\n";
    text += "\noptions, before the command or among its own:\n" + optionHelpText(toolOptions());
    text += "'vst2host COMMAND --help' tells more; the manual page vst2host(1) tells all.\n";
    return text + "Exit status: " + kExitStatusText;
}

std::string commandHelp(const Command& command) {
    return std::string("usage: vst2host ") + command.name + " " + command.synopsis + "\n" +
           command.description + optionHelpText(command.options());
}

std::string versionText() { return std::string("vst2host ") + VARNOLET_VERSION; }
