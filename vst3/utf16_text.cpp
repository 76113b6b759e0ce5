#include "vst3/utf16_text.h"

namespace varnolet_vst3 {

void toUtf16(const char* text, vst3::TChar* field, size_t size) {
    if (!field || size == 0) return;
    size_t i = 0;
    for (; text && text[i] && i + 1 < size; ++i)
        field[i] = static_cast<vst3::TChar>(static_cast<unsigned char>(text[i]));
    for (; i < size; ++i) field[i] = 0;
}

void fromUtf16(const vst3::TChar* text, char* ascii, size_t size) {
    if (!ascii || size == 0) return;
    constexpr size_t kLongestHostText = 128;
    size_t i = 0;
    for (; text && i < kLongestHostText && text[i] && i + 1 < size; ++i)
        ascii[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    ascii[i] = '\0';
}

}  // namespace varnolet_vst3
