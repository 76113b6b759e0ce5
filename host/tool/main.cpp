// vst2host: loads any VST 2.4 plug-in module and inspects, renders, plots
// or times it; also compares audio files and writes test signals.
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/tool/command_line/command_table.h"

int main(int argc, char** argv) {
    ToolOptions options;
    bool help = false;
    std::string name;
    std::vector<std::string> arguments;
    // --log and --help may stand anywhere; the subcommand is the first other
    // word that is not an option.
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--log") options.log = true;
        else if (word == "--help" || word == "-h") help = true;
        else if (name.empty() && !word.empty() && word[0] != '-') name = word;
        else arguments.push_back(word);
    }
    if (name.empty()) {
        if (!arguments.empty() && !help) return usageFailure("", "no command before " + arguments[0]);
        // Asked for, the overview is the result; otherwise the command line
        // was wrong, and that goes to standard error.
        std::fputs(overview().c_str(), help ? stdout : stderr);
        return help ? kSuccess : kUsage;
    }
    const Command* command = findCommand(name);
    if (!command) return usageFailure("", "unknown command '" + name + "'");
    if (help) {
        std::fputs(commandHelp(*command).c_str(), stdout);
        return kSuccess;
    }
    // Whatever runs out of memory, the tool ends with a message: the files
    // it was writing are removed on the way out, and nothing aborts.
    try {
        ArgumentList list(arguments);
        return command->run(list, options);
    } catch (const std::bad_alloc&) {
        return failure("out of memory");
    } catch (const std::length_error&) {
        return failure("out of memory");
    }
}
