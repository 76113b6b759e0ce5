#include "core/effect_state.h"

#include <cmath>
#include <cstring>

namespace varnolet {

namespace {

constexpr uint8_t kMagic[4] = {'V', 'r', 'n', 'D'};

uint32_t crc32(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put(uint8_t* at, uint32_t word) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(word >> (8 * i));
}

uint32_t get(const uint8_t* at) {
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) word |= static_cast<uint32_t>(at[i]) << (8 * i);
    return word;
}

uint32_t bitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float floatOf(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

void encodeState(const float (&values)[kNumParameters], uint8_t (&bytes)[kStateSize]) {
    std::memcpy(bytes, kMagic, 4);
    put(bytes + 4, kStateVersion);
    put(bytes + 8, kNumParameters);
    for (int32_t i = 0; i < kNumParameters; ++i) put(bytes + 12 + 4 * i, bitsOf(values[i]));
    put(bytes + kStateSize - 4, crc32(bytes, kStateSize - 4));
}

bool decodeState(const uint8_t* bytes, size_t size, float (&values)[kNumParameters]) {
    if (!bytes || size != kStateSize || std::memcmp(bytes, kMagic, 4) != 0) return false;
    if (get(bytes + 4) != kStateVersion || get(bytes + 8) != kNumParameters) return false;
    if (get(bytes + kStateSize - 4) != crc32(bytes, kStateSize - 4)) return false;
    float decoded[kNumParameters];
    for (int32_t i = 0; i < kNumParameters; ++i) {
        decoded[i] = floatOf(get(bytes + 12 + 4 * i));
        if (!(decoded[i] >= kParameters[i].minValue && decoded[i] <= kParameters[i].maxValue))
            return false;
    }
    std::memcpy(values, decoded, sizeof values);
    return true;
}

}  // namespace varnolet
