#include "tests/tool/tool_runner.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>

extern char** environ;

namespace {
std::string makeTemporaryDirectory(const char* stem) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + stem + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data())) return name.data();
    ADD_FAILURE() << "cannot make a scratch directory";
    return std::string();
}
}  // namespace

RunningProgram::RunningProgram(const std::vector<std::string>& command)
    : capture(makeTemporaryDirectory("tool-run")) {
    const std::string outPath = capture + "/stdout", errPath = capture + "/stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::vector<char>> words;
    std::vector<char*> argv;
    for (const std::string& word : command) words.emplace_back(word.begin(), word.end());
    for (auto& word : words) {
        word.push_back('\0');
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t spawned = 0;
    if (posix_spawnp(&spawned, argv[0], &actions, nullptr, argv.data(), environ) == 0) child = spawned;
    else ADD_FAILURE() << "cannot start " << command[0];
    posix_spawn_file_actions_destroy(&actions);
}

RunningProgram::~RunningProgram() {
    if (child > 0 && !waited) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    for (const char* name : {"/stdout", "/stderr"}) std::remove((capture + name).c_str());
    rmdir(capture.c_str());
}

bool RunningProgram::running() {
    if (child <= 0 || waited) return false;
    if (waitpid(child, &status, WNOHANG) == child) waited = true;
    return !waited;
}

ToolResult RunningProgram::wait() {
    ToolResult result;
    if (child <= 0) return result;
    if (!waited) waitpid(child, &status, 0);
    waited = true;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.out = readText(capture + "/stdout");
    result.err = readText(capture + "/stderr");
    // In sanitizer builds a report from the tool must fail the test, even
    // where the test expects the tool to fail for its own reasons.
    for (const char* report : {"Sanitizer", "runtime error:"})
        EXPECT_EQ(result.err.find(report), std::string::npos) << result.err;
    return result;
}

ToolResult runProgram(const std::vector<std::string>& command) {
    RunningProgram program(command);
    return program.wait();
}

std::vector<std::string> toolCommand(const std::vector<std::string>& arguments) {
    std::vector<std::string> command = {VST2HOST_PATH};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

ToolResult runTool(const std::vector<std::string>& arguments) {
    return runProgram(toolCommand(arguments));
}

ToolResult runToolWithin(size_t kilobytes, const std::vector<std::string>& arguments) {
    std::vector<std::string> command = {"sh", "-c",
                                        "ulimit -v " + std::to_string(kilobytes) + " && exec \"$@\"",
                                        "sh", VST2HOST_PATH};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runProgram(command);
}

bool addressSpaceCanBeLimited() { return !TOOL_SANITIZED; }

ScratchDirectory::ScratchDirectory() : path(makeTemporaryDirectory("tool-test")) {}

ScratchDirectory::~ScratchDirectory() {
    for (const std::string& name : names()) std::remove(file(name).c_str());
    rmdir(path.c_str());
}

std::vector<std::string> ScratchDirectory::names() const {
    std::vector<std::string> found;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") found.push_back(name);
        }
        closedir(dir);
    }
    return found;
}

bool fileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string installedPlugin(const std::string& relativePath) {
    const std::string path = std::string(THIRD_PARTY_PLUGIN_DIR) + "/" + relativePath;
    return fileExists(path) ? path : std::string();
}

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
    return lines;
}

std::string toolMessages(const ToolResult& result) {
    std::string said;
    for (const std::string& line : linesStartingWith(result.err, "vst2host")) said += line + "\n";
    return said;
}
