// The effect's state as hosts keep it in their projects: the native value of
// every parameter, in one little-endian layout that every build reads and
// writes alike, so a project saved on one platform restores exactly on any
// other.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/varnolet_parameters.h"

namespace varnolet {

// Its layout: the four bytes "VrnD", the layout's version and the number of
// values (unsigned 32-bit), each value (a 32-bit float), and a CRC-32 of every
// byte before it.
constexpr uint32_t kStateVersion = 1;
constexpr size_t kStateSize = 4 + 4 + 4 + 4 * kNumParameters + 4;
// Anything longer is not a state of ours, whatever it holds.
constexpr size_t kLongestState = kStateSize;

void encodeState(const float (&values)[kNumParameters], uint8_t (&bytes)[kStateSize]);

// The values of a state: false, and `values` untouched, for one that is
// truncated, longer than it says, damaged, of a later version, not ours, or
// holds a value that is not a number or lies outside its parameter's range.
bool decodeState(const uint8_t* bytes, size_t size, float (&values)[kNumParameters]);

}  // namespace varnolet
