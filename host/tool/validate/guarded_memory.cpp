#include "host/tool/validate/guarded_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <new>

#include "host/tool/validate/child_report.h"

namespace {
constexpr size_t kMarginBefore = 64;
constexpr size_t kZones = 2048;

// The guards of every buffer alive in this process, for the crash handler.
struct Zone {
    std::atomic<uintptr_t> begin{0};
    uintptr_t end = 0;
    char name[96] = {};
};
Zone zones[kZones];

void addZone(const uint8_t* begin, size_t bytes, const std::string& name) {
    for (Zone& zone : zones) {
        if (zone.begin.load(std::memory_order_relaxed) != 0) continue;
        zone.end = reinterpret_cast<uintptr_t>(begin) + bytes;
        copyField(zone.name, name.c_str());
        zone.begin.store(reinterpret_cast<uintptr_t>(begin), std::memory_order_release);
        return;
    }
}

void removeZones(const uint8_t* from, const uint8_t* to) {
    for (Zone& zone : zones) {
        const uintptr_t begin = zone.begin.load(std::memory_order_relaxed);
        if (begin >= reinterpret_cast<uintptr_t>(from) && begin < reinterpret_cast<uintptr_t>(to))
            zone.begin.store(0, std::memory_order_release);
    }
}

size_t pageSize() {
    static const size_t size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

// A pattern that a plug-in's own bytes are unlikely to repeat, varying with
// the position so that a copied run of it still shows.
uint8_t canary(const uint8_t* at) {
    return static_cast<uint8_t>(0xA5 ^ ((reinterpret_cast<uintptr_t>(at) * 0x3B) >> 2));
}

void fillCanary(uint8_t* from, uint8_t* to) {
    for (uint8_t* p = from; p < to; ++p) *p = canary(p);
}
}  // namespace

const char* guardZoneAt(uintptr_t address) {
    for (const Zone& zone : zones) {
        const uintptr_t begin = zone.begin.load(std::memory_order_acquire);
        if (begin != 0 && address >= begin && address < zone.end) return zone.name;
    }
    return nullptr;
}

GuardedBuffer::GuardedBuffer(std::string bufferName, size_t capacity) : name(std::move(bufferName)) {
    map(capacity);
}

GuardedBuffer::~GuardedBuffer() { unmap(); }

void GuardedBuffer::map(size_t capacity) {
    const size_t page = pageSize();
    const size_t usableBytes = (capacity + kMarginBefore + 64 + page - 1) / page * page;
    regionBytes = usableBytes + 2 * page;
    void* mapped = mmap(nullptr, regionBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                        -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    region = static_cast<uint8_t*>(mapped);
    usable = region + page;
    usableEnd = usable + usableBytes;
    mprotect(region, page, PROT_NONE);
    mprotect(usableEnd, page, PROT_NONE);
    addZone(region, page, "in front of " + name);
    addZone(usableEnd, page, "past the end of " + name);
    start = usableEnd;
}

void GuardedBuffer::unmap() {
    if (!region) return;
    removeZones(region, region + regionBytes);
    munmap(region, regionBytes);
    region = nullptr;
}

uint8_t* GuardedBuffer::place(size_t bytes, size_t alignment, size_t watchFrom) {
    if (alignment == 0) alignment = 1;
    if (bytes + alignment + kMarginBefore > static_cast<size_t>(usableEnd - usable)) {
        unmap();
        map(bytes + alignment);
    }
    const uintptr_t last = reinterpret_cast<uintptr_t>(usableEnd) - bytes;
    start = reinterpret_cast<uint8_t*>(last - last % alignment);
    watched = watchFrom < bytes ? watchFrom : bytes;
    std::memset(start, 0, watched);
    fillCanary(start + watched, usableEnd);
    fillCanary(start - kMarginBefore, start);
    return start;
}

size_t GuardedBuffer::reach() const {
    for (const uint8_t* p = usableEnd; p > start + watched;) {
        --p;
        if (*p != canary(p)) return static_cast<size_t>(p + 1 - start);
    }
    return 0;
}

bool GuardedBuffer::damagedBefore() const {
    for (const uint8_t* p = start - kMarginBefore; p < start; ++p)
        if (*p != canary(p)) return true;
    return false;
}
