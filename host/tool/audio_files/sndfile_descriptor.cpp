#include "host/tool/audio_files/sndfile_descriptor.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace {
SndfileDescriptor& of(void* self) { return *static_cast<SndfileDescriptor*>(self); }
}  // namespace

std::string sndfileText(const char* given) {
    std::string text = given ? given : "";
    for (const char* prefix : {"System error : ", "Error : "})
        if (text.rfind(prefix, 0) == 0) text.erase(0, std::string(prefix).size());
    while (!text.empty() && (text.back() == '.' || text.back() == ' ' || text.back() == '\n'))
        text.pop_back();
    return text;
}

SNDFILE* SndfileDescriptor::open(int mode, SF_INFO& info) {
    static SF_VIRTUAL_IO calls = {length, seek, read, write, tell};
    return sf_open_virtual(&calls, mode, &info, this);
}

void SndfileDescriptor::failed(int reason) {
    if (firstFailure == 0) firstFailure = reason ? reason : EIO;
}

sf_count_t SndfileDescriptor::length(void* self) {
    struct stat info;
    if (fstat(of(self).fd, &info) != 0) {
        of(self).failed(errno);
        return -1;
    }
    return static_cast<sf_count_t>(info.st_size);
}

sf_count_t SndfileDescriptor::seek(sf_count_t offset, int whence, void* self) {
    const off_t at = lseek(of(self).fd, static_cast<off_t>(offset), whence);
    if (at < 0) of(self).failed(errno);
    return static_cast<sf_count_t>(at);
}

sf_count_t SndfileDescriptor::tell(void* self) { return seek(0, SEEK_CUR, self); }

sf_count_t SndfileDescriptor::read(void* data, sf_count_t count, void* self) {
    sf_count_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(of(self).fd, static_cast<char*>(data) + done,
                                   static_cast<size_t>(count - done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) of(self).failed(errno);
        if (got <= 0) break;
        done += got;
    }
    return done;
}

sf_count_t SndfileDescriptor::write(const void* data, sf_count_t count, void* self) {
    sf_count_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(of(self).fd, static_cast<const char*>(data) + done,
                                    static_cast<size_t>(count - done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            of(self).failed(put < 0 ? errno : EIO);
            break;
        }
        done += put;
    }
    return done;
}

std::string sndfileReason(SNDFILE* file, bool reading) {
    if (!reading) return sndfileText(sf_strerror(file));
    switch (sf_error(file)) {
        case SF_ERR_UNRECOGNISED_FORMAT: return "its format is not one libsndfile reads";
        case SF_ERR_MALFORMED_FILE: return "it is malformed: its format is known, its contents are broken";
        case SF_ERR_UNSUPPORTED_ENCODING: return "its encoding is not one libsndfile reads";
        default: return sndfileText(sf_strerror(file));
    }
}
