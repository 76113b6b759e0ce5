// Runs the built vst2host as a user would, and gives each test a directory
// of its own for the files it makes.
#pragma once

#include <string>
#include <vector>

struct ToolResult {
    int status = -1;  // the exit status; -1 when the tool did not exit normally
    int signal = 0;   // the signal that ended it, if one did
    std::string out;
    std::string err;
};

// A program started and not yet waited for, its output captured.
class RunningProgram {
public:
    explicit RunningProgram(const std::vector<std::string>& command);
    ~RunningProgram();  // kills it if it still runs
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    int pid() const { return child; }
    bool running();
    ToolResult wait();

private:
    std::string capture;  // a directory for its standard output and error
    int child = -1;
    int status = 0;
    bool waited = false;
};
std::vector<std::string> toolCommand(const std::vector<std::string>& arguments);

ToolResult runTool(const std::vector<std::string>& arguments);
// Runs the tool with its address space limited to that many kilobytes
// (ulimit -v), as on a machine with that much memory.
ToolResult runToolWithin(size_t kilobytes, const std::vector<std::string>& arguments);
// Address-space limits do not fit builds whose sanitizers reserve terabytes.
bool addressSpaceCanBeLimited();
// Runs any program, found on the PATH.
ToolResult runProgram(const std::vector<std::string>& command);

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string file(const std::string& name) const { return path + "/" + name; }
    // Names of the files in it, to show that nothing partial was left.
    std::vector<std::string> names() const;

    std::string path;
};

bool fileExists(const std::string& path);
std::string readText(const std::string& path);

// Declares VARIABLE as the path of one of Debian's dpf-plugins-vst, or skips
// the test, saying which package it needs, when that plug-in is missing.
#define DEBIAN_PLUGIN_OR_SKIP(variable, name)                 \
    const std::string variable = installedPlugin(name);        \
    if (variable.empty())                                      \
    GTEST_SKIP() << name << " is not installed; Debian's dpf-plugins-vst has it"
// A plug-in of another Debian package, by its path under the VST folder;
// empty when the package is not installed, for tests that skip then.
std::string installedPlugin(const std::string& relativePath);

// What the tool said on standard error beyond the status line of what it
// made: its warnings and failures, every line of which names the tool.
std::string toolMessages(const ToolResult& result);

// Every line of the text that starts with the prefix.
std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix);
