// Memory handed to a plug-in with pages it may not touch on either side and
// canary bytes in between, so that a write or read past a buffer stops the
// plug-in at once with an address that names the buffer, and a write that
// stays short of the guard is seen in the canary afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The guard an address lies in ("past the end of output 1"), or null. Safe
// in a signal handler.
const char* guardZoneAt(uintptr_t address);

class GuardedBuffer {
public:
    explicit GuardedBuffer(std::string name, size_t capacity = 4096);
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    // Places a buffer of `bytes` with its start aligned and its end as close
    // to the trailing guard as the alignment allows; zero-fills its first
    // `watchFrom` bytes and fills the rest of it, what lies after it up to
    // the guard and a margin before it with the canary. Grows as needed.
    uint8_t* place(size_t bytes, size_t alignment, size_t watchFrom);
    uint8_t* data() const { return start; }

    // After the call: the end of the furthest changed byte past watchFrom,
    // counted from the buffer's start (0: nothing changed there), and
    // whether the margin before the buffer changed.
    size_t reach() const;
    bool damagedBefore() const;

private:
    void map(size_t capacity);
    void unmap();

    std::string name;
    uint8_t* region = nullptr;  // the whole mapping, guards included
    size_t regionBytes = 0;
    uint8_t* usable = nullptr;
    uint8_t* usableEnd = nullptr;
    uint8_t* start = nullptr;
    size_t watched = 0;
};
