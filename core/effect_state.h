// The effect's state as hosts keep it in their projects: the native value of
// every parameter and whether the effect is bypassed, in one little-endian
// layout that every build reads and writes alike, so that a project saved on
// one platform restores exactly on any other.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/varnolet_parameters.h"

namespace varnolet {

struct EffectState {
    float values[kNumParameters];
    bool bypassed = false;
};

// Its layout: the four bytes "VrnD", the layout's version and the number of
// values (unsigned 32-bit), each value (a 32-bit float), and a CRC-32 of every
// byte before it. Version 1 holds the parameters' values alone; version 2,
// written now, has one more value after them: 1 where the effect is bypassed,
// else 0.
constexpr uint32_t kStateVersion = 2;
constexpr uint32_t kStateValues = kNumParameters + 1;
constexpr size_t kStateSize = 4 + 4 + 4 + 4 * kStateValues + 4;
constexpr uint32_t kFirstVersionValues = kNumParameters;
constexpr size_t kFirstVersionStateSize = 4 + 4 + 4 + 4 * kFirstVersionValues + 4;
// Anything longer is not a state of ours, whatever it holds.
constexpr size_t kLongestState = kStateSize;

void encodeState(const EffectState& state, uint8_t (&bytes)[kStateSize]);

// The size a state whose first 12 bytes are `header` says it has: 0 for one
// of a version this build does not read, or that is not ours.
size_t stateSizeFromHeader(const uint8_t (&header)[12]);

// The state the bytes hold, a version 1 state not bypassed: false, and
// `state` untouched, for one that is truncated, longer than it says,
// damaged, of a later version, not ours, or holds a value that is not a
// number or lies outside its parameter's range.
bool decodeState(const uint8_t* bytes, size_t size, EffectState& state);

}  // namespace varnolet
