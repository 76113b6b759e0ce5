#include "host/tool/plot/gnuplot_runner.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "host/tool/files/output_file.h"

extern char** environ;

namespace {
constexpr const char* kInstallHint = "cannot run gnuplot (install Debian's gnuplot-nox)";

// gnuplot's last words, one line, for a message.
std::string lastWords(const std::string& logPath) {
    std::vector<uint8_t> bytes;
    std::string error;
    if (!readWholeFile(logPath, bytes, error)) return std::string();
    std::string text(bytes.begin(), bytes.end());
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    const size_t line = text.rfind('\n');
    return line == std::string::npos ? text : text.substr(line + 1);
}
}  // namespace

bool runGnuplot(const std::string& scriptPath, const std::string& logPath, std::string& error) {
    std::vector<char> program = {'g', 'n', 'u', 'p', 'l', 'o', 't', '\0'};
    std::vector<char> script(scriptPath.begin(), scriptPath.end());
    script.push_back('\0');
    char* arguments[] = {program.data(), script.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    const int status = posix_spawnp(&child, "gnuplot", &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0) {
        error = std::string(kInstallHint) + ": " + std::strerror(status);
        return false;
    }
    int result = 0;
    while (waitpid(child, &result, 0) < 0) {
        if (errno != EINTR) {
            error = std::string("lost track of gnuplot: ") + std::strerror(errno);
            return false;
        }
    }
    if (WIFEXITED(result) && WEXITSTATUS(result) == 127) {
        error = kInstallHint;
        return false;
    }
    if (!WIFEXITED(result) || WEXITSTATUS(result) != 0) {
        const std::string words = lastWords(logPath);
        error = "gnuplot failed" + (words.empty() ? std::string() : ": " + words);
        return false;
    }
    return true;
}

std::string gnuplotQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += "''";
        else if (c == '\n' || c == '\r') quoted += ' ';
        else quoted += c;
    }
    return quoted + "'";
}
