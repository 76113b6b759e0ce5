#include "host/tool/plot/gnuplot_runner.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

bool runGnuplot(const std::string& scriptPath, std::string& error) {
    std::vector<char> program = {'g', 'n', 'u', 'p', 'l', 'o', 't', '\0'};
    std::vector<char> script(scriptPath.begin(), scriptPath.end());
    script.push_back('\0');
    char* arguments[] = {program.data(), script.data(), nullptr};
    pid_t child = 0;
    const int status = posix_spawnp(&child, "gnuplot", nullptr, nullptr, arguments, environ);
    if (status != 0) {
        error = std::string("cannot run gnuplot (install Debian's gnuplot-nox): ") +
                std::strerror(status);
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
        error = "cannot run gnuplot (install Debian's gnuplot-nox)";
        return false;
    }
    if (!WIFEXITED(result) || WEXITSTATUS(result) != 0) {
        error = "gnuplot failed";
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
