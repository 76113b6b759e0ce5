#include "host/tool/audio_files/ogg_stream_number.h"

#include <cstring>
#include <vector>

#include <unistd.h>

namespace {
// An Ogg page: "OggS", version, flags, granule position (8 bytes), stream
// number (4, little-endian, at 14), page number (4), checksum (4, at 22),
// the count of segments (at 26), their lengths, then the segments.
constexpr size_t kHeaderBytes = 27;
constexpr size_t kNumberAt = 14, kChecksumAt = 22, kSegmentsAt = 26;

// Ogg's CRC-32: polynomial 0x04C11DB7, most significant bit first, no
// reflection, starting at 0, over the page with its checksum field zeroed.
uint32_t oggChecksum(const unsigned char* bytes, size_t size) {
    static const std::vector<uint32_t> table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int bit = 0; bit < 8; ++bit) r = r & 0x80000000u ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ bytes[i]) & 0xFF];
    return crc;
}

void putLittleEndian(unsigned char* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

bool readAt(int fd, unsigned char* to, size_t size, off_t at) {
    while (size > 0) {
        const ssize_t got = pread(fd, to, size, at);
        if (got <= 0) return false;
        to += got;
        size -= static_cast<size_t>(got);
        at += got;
    }
    return true;
}
}  // namespace

bool numberOggStream(int fd, uint32_t number, std::string& error) {
    std::vector<unsigned char> page;
    off_t at = 0;
    unsigned char header[kHeaderBytes];
    while (readAt(fd, header, kHeaderBytes, at)) {
        if (std::memcmp(header, "OggS", 4) != 0) {
            error = "not an Ogg page where one should start";
            return false;
        }
        const size_t segments = header[kSegmentsAt];
        page.assign(header, header + kHeaderBytes);
        page.resize(kHeaderBytes + segments);
        if (!readAt(fd, page.data() + kHeaderBytes, segments, at + static_cast<off_t>(kHeaderBytes)))
            break;
        size_t body = 0;
        for (size_t s = 0; s < segments; ++s) body += page[kHeaderBytes + s];
        const size_t start = page.size();
        page.resize(start + body);
        if (!readAt(fd, page.data() + start, body, at + static_cast<off_t>(start))) break;
        putLittleEndian(&page[kNumberAt], number);
        putLittleEndian(&page[kChecksumAt], 0);
        putLittleEndian(&page[kChecksumAt], oggChecksum(page.data(), page.size()));
        if (pwrite(fd, page.data(), kHeaderBytes, at) != static_cast<ssize_t>(kHeaderBytes)) {
            error = "cannot rewrite an Ogg page";
            return false;
        }
        at += static_cast<off_t>(page.size());
    }
    return true;
}
