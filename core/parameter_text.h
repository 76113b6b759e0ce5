// The texts a host shows beside a parameter: its unit label and its value as a
// number.
#pragma once

#include <cstdint>

namespace parameter_text {
// Longest display text written, terminator included.
constexpr int kMaxDisplaySize = 24;

const char* labelForUnit(int32_t unit);
// Prints the value with a precision chosen by its size.
void formatParameterValue(char* text, float value);
}  // namespace parameter_text
