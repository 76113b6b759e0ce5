#include "host/tool/files/standard_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

bool isStandardStream(const std::string& path) { return path == kStandardStream; }

bool writeStandardOutput(const std::string& text, std::string& error) {
    // Whatever stdio holds comes first.
    if (std::fflush(stdout) != 0) {
        error = std::string("cannot write standard output: ") + std::strerror(errno);
        return false;
    }
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            error = std::string("cannot write standard output: ") +
                    std::strerror(written < 0 ? errno : EIO);
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

bool closeStandardOutput(std::string& error) {
    const bool failedBefore = std::ferror(stdout) != 0;
    errno = 0;
    int reason = std::fflush(stdout) == 0 ? 0 : errno;
    errno = 0;
    if (std::fclose(stdout) != 0 && reason == 0) reason = errno;
    if (!failedBefore && reason == 0) return true;
    error = std::string("cannot write standard output: ") +
            (reason ? std::strerror(reason) : "part of it was lost");
    return false;
}
