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

void encodeState(const EffectState& state, uint8_t (&bytes)[kStateSize]) {
    std::memcpy(bytes, kMagic, 4);
    put(bytes + 4, kStateVersion);
    put(bytes + 8, kStateValues);
    for (int32_t i = 0; i < kNumParameters; ++i) put(bytes + 12 + 4 * i, bitsOf(state.values[i]));
    put(bytes + 12 + 4 * kNumParameters, bitsOf(state.bypassed ? 1.0f : 0.0f));
    put(bytes + kStateSize - 4, crc32(bytes, kStateSize - 4));
}

size_t stateSizeFromHeader(const uint8_t (&header)[12]) {
    if (std::memcmp(header, kMagic, 4) != 0) return 0;
    const uint32_t version = get(header + 4), count = get(header + 8);
    if (version == kStateVersion && count == kStateValues) return kStateSize;
    if (version == 1 && count == kFirstVersionValues) return kFirstVersionStateSize;
    return 0;
}

bool decodeState(const uint8_t* bytes, size_t size, EffectState& state) {
    if (!bytes || size < 12) return false;
    uint8_t header[12];
    std::memcpy(header, bytes, sizeof header);
    if (size != stateSizeFromHeader(header)) return false;
    if (get(bytes + size - 4) != crc32(bytes, size - 4)) return false;
    EffectState decoded;
    for (int32_t i = 0; i < kNumParameters; ++i) {
        decoded.values[i] = floatOf(get(bytes + 12 + 4 * i));
        if (!(decoded.values[i] >= kParameters[i].minValue &&
              decoded.values[i] <= kParameters[i].maxValue))
            return false;
    }
    if (size == kStateSize) {
        const float bypass = floatOf(get(bytes + 12 + 4 * kNumParameters));
        if (bypass != 0.0f && bypass != 1.0f) return false;
        decoded.bypassed = bypass == 1.0f;
    }
    state = decoded;
    return true;
}

}  // namespace varnolet
