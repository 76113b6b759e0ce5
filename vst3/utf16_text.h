// The format's texts are UTF-16; the effect's are ASCII.
#pragma once

#include <cstddef>

#include "vst3/vst3_interface.h"

namespace varnolet_vst3 {

// Copies an ASCII text into a UTF-16 field of `size` characters, cut to fit
// with its terminator, the rest of the field cleared.
void toUtf16(const char* text, vst3::TChar* field, size_t size);

// The host's UTF-16 text as ASCII, cut to fit `size` bytes with its
// terminator; anything beyond ASCII becomes '?', which no value's text holds.
// A text without a terminator ends after 128 characters, a String128's size.
void fromUtf16(const vst3::TChar* text, char* ascii, size_t size);

}  // namespace varnolet_vst3
