// A state as the builds before the bypass wrote it for CLAP and VST3 hosts:
// "VrnD", version 1, the count 23, the 23 native values, and a CRC-32 of the
// bytes before it, all little-endian. Projects saved then hold these bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

inline std::vector<uint8_t> firstVersionState(const std::vector<float>& values) {
    std::vector<uint8_t> bytes = {'V', 'r', 'n', 'D', 1, 0, 0, 0};
    const auto put = [&bytes](uint32_t word) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
    };
    put(static_cast<uint32_t>(values.size()));
    for (float v : values) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        put(bits);
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    put(~crc);
    return bytes;
}
