// The tool's subcommands. Each takes the words after its name and returns
// the process's exit status.
#pragma once

#include <string>

#include "host/tool/argument_list.h"

struct ToolOptions {
    bool log = false;  // --log: every request and callback, one line each
};

enum ExitStatus { kSuccess = 0, kFailure = 1, kUsage = 2 };

int infoCommand(ArgumentList& arguments, const ToolOptions& options);
int renderCommand(ArgumentList& arguments, const ToolOptions& options);
int plotCommand(ArgumentList& arguments, const ToolOptions& options);
int diffCommand(ArgumentList& arguments, const ToolOptions& options);
int benchCommand(ArgumentList& arguments, const ToolOptions& options);
int savePresetCommand(ArgumentList& arguments, const ToolOptions& options);
int generateCommand(ArgumentList& arguments, const ToolOptions& options);

// Says what went wrong on standard error; the status to exit with.
int failure(const std::string& message);
int usageFailure(const std::string& command, const std::string& message);
void printUsage(const std::string& command);
