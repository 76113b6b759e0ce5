#include "host/tool/files/output_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/tool/files/interrupt_cleanup.h"
#include "host/tool/files/standard_output.h"

namespace {
std::string reasonOf(int code) { return std::strerror(code); }

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Where a chain of symbolic links ends, for a link whose target does not
// exist yet: writing through it creates that target.
bool followDanglingLinks(std::string& path, std::string& error) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
        std::vector<char> link(PATH_MAX + 1);
        const ssize_t length = readlink(path.c_str(), link.data(), PATH_MAX);
        if (length < 0) {
            error = "cannot follow the link " + path + ": " + reasonOf(errno);
            return false;
        }
        const std::string next(link.data(), static_cast<size_t>(length));
        path = next[0] == '/' ? next : directoryOf(path) + "/" + next;
    }
    error = "cannot follow " + path + ": too many symbolic links";
    return false;
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = EIO;  // no progress and no reason
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Copies the staged file into the target's own inode, keeping its links.
bool copyInto(const std::string& from, const std::string& to, std::string& error) {
    const int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int sink = ::open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool copied = source >= 0 && sink >= 0;
    std::vector<char> buffer(1 << 16);
    while (copied) {
        const ssize_t got = read(source, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            copied = got == 0;
            break;
        }
        copied = writeAll(sink, buffer.data(), static_cast<size_t>(got));
    }
    if (!copied) error = "cannot write " + to + ": " + reasonOf(errno);
    if (source >= 0) close(source);
    if (sink >= 0 && close(sink) != 0 && copied) {
        error = "cannot write " + to + ": " + reasonOf(errno);
        copied = false;
    }
    return copied;
}
}  // namespace

OutputFile::~OutputFile() {
    closeDescriptor();
    if (!committed && !staged.empty()) {
        unlink(staged.c_str());
        forgetOnInterrupt(staged);
    }
}

void OutputFile::closeDescriptor() {
    if (fd >= 0) close(fd);
    fd = -1;
}

bool OutputFile::open(const std::string& path, std::string& error) {
    named = path;
    if (isStandardStream(path)) {
        named = "standard output";
        // A terminal would show the bytes as noise and take no file.
        if (isatty(STDOUT_FILENO)) {
            error = "standard output is a terminal: send it to a file or a pipe";
            return false;
        }
        fd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
        if (fd < 0) error = "cannot write standard output: " + reasonOf(errno);
        return fd >= 0;
    }
    struct stat info;
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error = "cannot write " + path + ": it is a directory";
            return false;
        }
        if (!S_ISREG(info.st_mode)) {
            // The system follows any links, /dev/stdout's too.
            target = path;
            fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0) error = "cannot write " + path + ": " + reasonOf(errno);
            return fd >= 0;
        }
        // The folder may let a new file take the old one's place; the old
        // file's own permissions decide, as for cp and a shell's '>'.
        if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
            error = "cannot write " + path + ": " + reasonOf(errno);
            return false;
        }
        char* real = realpath(path.c_str(), nullptr);
        if (!real) {
            error = "cannot find where " + path + " is: " + reasonOf(errno);
            return false;
        }
        target = real;
        std::free(real);
        fillInPlace = info.st_nlink > 1;
    } else {
        target = path;
        if (!followDanglingLinks(target, error)) return false;
    }

    // A name of its own beside the target, created with the usual mode
    // (the process's umask applies) and never over an existing file.
    std::random_device entropy;
    const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        std::string name = target + ".partial-";
        for (int i = 0; i < 6; ++i) name += letters[entropy() % (sizeof letters - 1)];
        // Registered first, so that no interruption comes between the
        // file's making and its registration.
        removeOnInterrupt(name);
        fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            staged = name;
        } else {
            const int reason = errno;
            forgetOnInterrupt(name);
            errno = reason;
            if (errno != EEXIST) break;
        }
    }
    if (fd < 0) {
        error = "cannot create a file beside " + target + ": " + reasonOf(errno);
        return false;
    }
    if (stat(target.c_str(), &info) == 0) {
        // The result takes the place of the old file with its permissions.
        // Its owner too, where this process may give it (as root).
        fchmod(fd, info.st_mode & 07777);
        const int owned = fchown(fd, info.st_uid, info.st_gid);
        (void)owned;
    }
    return true;
}

bool OutputFile::seekable() const { return fd >= 0 && lseek(fd, 0, SEEK_CUR) >= 0; }

bool OutputFile::write(const void* data, size_t size, std::string& error) {
    if (writeAll(fd, static_cast<const char*>(data), size)) return true;
    error = "cannot write " + named + ": " + reasonOf(errno);
    return false;
}

bool OutputFile::commit(std::string& error) {
    // A file system may report a full disk only when the data goes to it:
    // the old file is replaced only by a result known to be whole.
    if (!direct() && fsync(fd) != 0) {
        error = "cannot write " + named + ": " + reasonOf(errno);
        return false;
    }
    const int descriptor = fd;
    fd = -1;
    if (descriptor >= 0 && close(descriptor) != 0) {
        error = "cannot write " + named + ": " + reasonOf(errno);
        return false;
    }
    if (direct()) {
        committed = true;
        return true;
    }
    if (fillInPlace) {
        if (!copyInto(staged, target, error)) return false;
        unlink(staged.c_str());
    } else if (rename(staged.c_str(), target.c_str()) != 0) {
        error = "cannot write " + named + ": " + reasonOf(errno);
        return false;
    }
    forgetOnInterrupt(staged);
    committed = true;
    return true;
}

bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    OutputFile out;
    return out.open(path, error) && out.write(bytes.data(), bytes.size(), error) && out.commit(error);
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (in < 0 || fstat(in, &info) != 0) {
        error = "cannot read " + path + ": " + reasonOf(errno);
        if (in >= 0) close(in);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        close(in);
        error = "cannot read " + path + ": it is a directory";
        return false;
    }
    bytes.clear();
    std::vector<uint8_t> buffer(1 << 16);
    for (;;) {
        const ssize_t got = read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = "cannot read " + path + ": " + reasonOf(errno);
            close(in);
            return false;
        }
        if (got == 0) break;
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + got);
    }
    close(in);
    return true;
}
