// The tool's subcommands, one entry each in one table: adding a command is
// its entry and its file in commands/.
#pragma once

#include <string>
#include <vector>

#include "host/tool/command_line/argument_list.h"
#include "host/tool/command_line/tool_options.h"

struct Command {
    const char* name;
    const char* synopsis;  // the words after the name, for the overview
    const char* help;      // what it does and every option it takes
    // Takes the words after the name; returns the process's exit status.
    int (*run)(ArgumentList& arguments, const ToolOptions& options);
};

const std::vector<Command>& commandTable();
// Null when there is no command of that name.
const Command* findCommand(const std::string& name);

// Every command with its synopsis and the first line of its help.
std::string overview();
std::string commandHelp(const Command& command);
