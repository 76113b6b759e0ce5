// A file written under a temporary name beside its target and renamed into
// place only when it is complete, so that a failure never leaves a partial
// file at the target path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class StagedFile {
public:
    // Creates the temporary file; check ok() before use.
    explicit StagedFile(const std::string& target);
    ~StagedFile();  // removes the temporary file unless committed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    bool ok() const { return !temporary.empty(); }
    const std::string& error() const { return reason; }
    const std::string& path() const { return temporary; }
    // Moves the finished file to the target path.
    bool commit(std::string& error);

private:
    std::string target;
    std::string temporary;
    std::string reason;
    bool committed = false;
};

// Writes the bytes to the path through a staged file.
bool writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);
bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
