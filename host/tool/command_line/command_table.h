// The tool's commands, one line each in one table: adding a command is its
// file in commands/ and its line here. Each command declares its options
// once (option_set.h); its help and the manual page are made from them.
#pragma once

#include <string>
#include <vector>

#include "host/tool/command_line/argument_list.h"
#include "host/tool/command_line/option_set.h"
#include "host/tool/command_line/tool_options.h"

struct Command {
    const char* name;
    const char* synopsis;     // the words after the name
    const char* description;  // its first line is the overview's
    // Every option it takes, under their headings.
    std::vector<OptionLine> (*options)();
    // Takes the words after the name; returns the process's exit status.
    int (*run)(ArgumentList& arguments, const ToolOptions& options);
};

// The option lines of a command whose choices declare themselves
// (Choices::declare(OptionSet&)), for its help.
template <class Choices>
std::vector<OptionLine> declaredOptions() {
    OptionSet set;
    Choices choices;
    choices.declare(set);
    return set.lines();
}

const std::vector<Command>& commandTable();
// Null when there is no command of that name.
const Command* findCommand(const std::string& name);

// The tool's own words, before any command: its usage line and what it is.
extern const char* const kToolUsage;
extern const char* const kToolDescription;
// What the options that stand before or beside any command do.
std::vector<OptionLine> toolOptions();
// What the exit statuses mean.
extern const char* const kExitStatusText;

// Every command with its synopsis and the first line of its help.
std::string overview();
std::string commandHelp(const Command& command);
// "vst2host 1.0.7"
std::string versionText();
