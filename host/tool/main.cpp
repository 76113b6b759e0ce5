// vst2host: loads a VST 2.4 or CLAP plug-in and inspects, renders, plots,
// times or validates it; also compares audio files and writes test signals.
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/tool/command_line/command_table.h"
#include "host/tool/files/standard_output.h"

namespace {
int runCommand(int argc, char** argv) {
    ToolOptions options;
    bool help = false, version = false, optionsEnded = false;
    std::string name;
    std::vector<std::string> arguments;
    // A "--" before the command ends the command's options too.
    // The tool's own options may stand anywhere before a "--"; before the
    // command nothing else may. The command is the first word that is no
    // option.
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--") optionsEnded = true;
        if (!optionsEnded && word == "--log") options.log = true;
        else if (!optionsEnded && (word == "--help" || word == "-h")) help = true;
        else if (!optionsEnded && word == "--version") version = true;
        else if (!name.empty()) arguments.push_back(word);
        else if (optionsEnded && word == "--") arguments.push_back(word);
        else if (!optionsEnded && looksLikeOption(word))
            return usageFailure("", "unknown option " + word.substr(0, word.find('=')) +
                                        " (options of a command stand after its name)");
        else name = word;
    }
    if (version) {
        std::printf("%s\n", versionText().c_str());
        return kSuccess;
    }
    if (name.empty()) {
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
    ArgumentList list(arguments);
    return command->run(list, options);
}
}  // namespace

int main(int argc, char** argv) {
    int status = kSuccess;
    // Whatever runs out of memory, the tool ends with a message: the files
    // it was writing are removed on the way out, and nothing aborts.
    try {
        status = runCommand(argc, argv);
    } catch (const std::bad_alloc&) {
        status = failure("out of memory");
    } catch (const std::length_error&) {
        status = failure("out of memory");
    }
    std::string error;
    if (!closeStandardOutput(error)) {
        failure(error);
        if (status == kSuccess) status = kFailure;
    }
    return status;
}
