// What every command shares: the options that stand before or beside any
// command, the exit statuses, and how the tool speaks to the user. Whatever
// a command makes as its result (a report, or audio for "-") goes to
// standard output; everything said about it goes to standard error.
#pragma once

#include <string>

struct ToolOptions {
    bool log = false;  // --log: every request and callback, one line each
};

enum ExitStatus {
    kSuccess = 0,
    kFailure = 1,
    kUsage = 2,
    // diff: a file that cannot be read or compared, as cmp and diff say it.
    kTrouble = 2,
};

// Says what went wrong on standard error; the status to exit with.
int failure(const std::string& message);
// A malformed command line, with a pointer to the command's help.
int usageFailure(const std::string& command, const std::string& message);
// Something the user should know although the command succeeds.
void warning(const std::string& message);
// What a command made, said on standard error ("out.wav: 4410 frames ...").
void status(const std::string& message);

