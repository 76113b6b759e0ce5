// Where a command's output goes. A regular file, or a new one, is written
// under a temporary name beside it and moved into place only when it is
// complete, so that a failure leaves the old file (or none) rather than a
// partial one. A symbolic link is followed to the file it names, a file
// with other hard links is filled in place at the end so that every name
// sees the result, and a device, a FIFO or a socket is written to directly,
// as a shell's redirection would; "-" is standard output. A file this user
// may not write is refused, as cp refuses it, although the folder would let
// a new one take its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();  // removes the staged file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Prepares the output: creates the staged file, or opens the device.
    bool open(const std::string& path, std::string& error);

    // Open for writing, and for reading back too when staged.
    int descriptor() const { return fd; }
    // Writing goes to a device, a FIFO or standard output as it comes: no
    // staging, and perhaps no going back.
    bool direct() const { return staged.empty(); }
    // Whether the output can be gone back over (a file, /dev/full), unlike
    // a pipe.
    bool seekable() const;
    // The name for messages: the path as given, or "standard output".
    const std::string& name() const { return named; }

    // Writes all the bytes; false, with the system's reason, when they do
    // not arrive.
    bool write(const void* data, size_t size, std::string& error);
    // Finishes: makes the bytes durable, closes the descriptor and moves
    // the staged file into place. False, with the reason, when anything
    // of that fails; the old file is then kept.
    bool commit(std::string& error);

private:
    void closeDescriptor();

    std::string named;    // as the user gave it, for messages
    std::string target;   // the file itself, links followed
    std::string staged;   // the temporary file beside it
    int fd = -1;
    bool fillInPlace = false;  // the target has other hard links
    bool committed = false;
};

// Writes the bytes to the path through an output file.
bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
