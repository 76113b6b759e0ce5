#include "host/tool/staged_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

StagedFile::StagedFile(const std::string& path) : target(path) {
    std::vector<char> name(target.begin(), target.end());
    const char suffix[] = ".partial-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) {
        reason = "cannot create a file beside " + target + ": " + std::strerror(errno);
        return;
    }
    // mkstemp makes the file private; the result should get the usual mode.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
    close(descriptor);
    temporary = name.data();
}

StagedFile::~StagedFile() {
    if (!committed && !temporary.empty()) std::remove(temporary.c_str());
}

bool StagedFile::commit(std::string& error) {
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = "cannot write " + target + ": " + std::strerror(errno);
        return false;
    }
    committed = true;
    return true;
}

bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    StagedFile staged(path);
    if (!staged.ok()) {
        error = staged.error();
        return false;
    }
    {
        std::ofstream out(staged.path(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            error = "cannot write " + path;
            return false;
        }
    }
    return staged.commit(error);
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}
