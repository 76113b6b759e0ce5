// vst2host: loads any VST 2.4 plug-in module and inspects, renders, plots
// or times it; also compares audio files and writes test signals.
#include <map>
#include <string>
#include <vector>

#include "host/tool/commands.h"

int main(int argc, char** argv) {
    ToolOptions options;
    bool help = false;
    std::string command;
    std::vector<std::string> arguments;
    // --log and --help may stand anywhere; the subcommand is the first other
    // word that is not an option.
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--log") options.log = true;
        else if (word == "--help" || word == "-h") help = true;
        else if (command.empty() && !word.empty() && word[0] != '-') command = word;
        else arguments.push_back(word);
    }
    if (command.empty()) {
        if (!arguments.empty() && !help) return usageFailure("", "no command before " + arguments[0]);
        printUsage("");
        return help ? kSuccess : kUsage;
    }
    if (help) {
        printUsage(command);
        return kSuccess;
    }

    static const std::map<std::string, int (*)(ArgumentList&, const ToolOptions&)> commands = {
        {"info", infoCommand},   {"render", renderCommand},
        {"plot", plotCommand},   {"diff", diffCommand},
        {"bench", benchCommand}, {"save-preset", savePresetCommand},
        {"generate", generateCommand}};
    const auto found = commands.find(command);
    if (found == commands.end()) return usageFailure("", "unknown command '" + command + "'");
    ArgumentList list(arguments);
    return found->second(list, options);
}
