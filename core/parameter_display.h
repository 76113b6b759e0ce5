// The texts every format shows for the effect's parameters, the same as the
// VST 2.4 module's display and label, and the way back from a text a user
// typed to a value.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/parameter_text.h"

namespace varnolet {

constexpr int kDisplaySize = parameter_text::kMaxDisplaySize;

// The native value as the display shows it: the name of a named value
// ("Thru"), else the number with a precision chosen by its size ("200.0").
void displayText(int32_t index, float value, char (&text)[kDisplaySize]);

// The unit shown beside the display ("ms", "%", "Hz"), or "" where none is.
const char* unitLabel(int32_t index);

// The display followed by the label, one space between ("200.0 ms", "Thru"),
// cut to fit `size` bytes with its terminator.
void displayWithLabel(int32_t index, float value, char* text, size_t size);

// The native value a text stands for: a number as the display shows it, with
// or without the label ("200", "200.0 ms", "-0.5 L/R"), or a value's name in
// any case ("thru" is 0, the default's own of the two values that show it).
// Values beyond the parameter's range come back at its ends. False, and
// `value` untouched, for anything else.
bool valueFromText(int32_t index, const char* text, float& value);

}  // namespace varnolet
