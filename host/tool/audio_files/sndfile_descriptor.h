// libsndfile's access to an open descriptor, done by the tool itself so that
// every failed read or write is seen with the system's reason: libsndfile
// loses some (an encoder's last bytes on a full disk) and words others as
// its own. For files and devices that can be gone back over; a pipe is
// left to libsndfile, which knows to write a header it need not rewrite.
#pragma once

#include <string>

#include <sndfile.h>

class SndfileDescriptor {
public:
    explicit SndfileDescriptor(int descriptor) : fd(descriptor) {}
    SndfileDescriptor(const SndfileDescriptor&) = delete;
    SndfileDescriptor& operator=(const SndfileDescriptor&) = delete;

    // Opens it for libsndfile; null, as sf_open's, when it cannot.
    SNDFILE* open(int mode, SF_INFO& info);
    // The first failure's errno, 0 while none.
    int failure() const { return firstFailure; }

private:
    static sf_count_t length(void* self);
    static sf_count_t seek(sf_count_t offset, int whence, void* self);
    static sf_count_t read(void* data, sf_count_t count, void* self);
    static sf_count_t write(const void* data, sf_count_t count, void* self);
    static sf_count_t tell(void* self);
    void failed(int reason);

    int fd;
    int firstFailure = 0;
};

// What libsndfile says went wrong, in the tool's words where it has its
// own for a file being read ("its format is not one libsndfile reads"),
// else the library's text without its decorations ("Error : ", "System
// error : ", the full stop).
std::string sndfileReason(SNDFILE* file, bool reading);
// libsndfile's text for an error number, without its decorations.
std::string sndfileText(const char* text);
