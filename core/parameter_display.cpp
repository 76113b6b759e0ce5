#include "core/parameter_display.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/filter_type_names.h"
#include "core/varnolet_parameters.h"

namespace varnolet {

namespace {

bool isParameter(int32_t index) { return index >= 0 && index < kNumParameters; }

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether [begin, end) spells `word`, letters in any case.
bool spells(const char* begin, const char* end, const char* word) {
    const size_t length = std::strlen(word);
    if (static_cast<size_t>(end - begin) != length) return false;
    for (size_t i = 0; i < length; ++i)
        if (lower(begin[i]) != lower(word[i])) return false;
    return true;
}

// The whole value a name stands for, the default first where it has that name.
bool valueOfName(int32_t index, const char* begin, const char* end, float& value) {
    if (index != kFilterType) return false;
    const float byDefault = kParameters[index].defaultValue;
    if (const char* name = filterTypeName(byDefault)) {
        if (spells(begin, end, name)) {
            value = byDefault;
            return true;
        }
    }
    for (int32_t n = 0; n < kNumFilterTypeNames; ++n) {
        if (spells(begin, end, kFilterTypeNames[n])) {
            value = static_cast<float>(n);
            return true;
        }
    }
    return false;
}

}  // namespace

void displayText(int32_t index, float value, char (&text)[kDisplaySize]) {
    text[0] = '\0';
    if (!isParameter(index)) return;
    if (index == kFilterType) {
        if (const char* name = filterTypeName(value)) {
            std::snprintf(text, sizeof text, "%s", name);
            return;
        }
    }
    parameter_text::formatParameterValue(text, value);
}

const char* unitLabel(int32_t index) {
    return isParameter(index) ? parameter_text::labelForUnit(kParameters[index].unit) : "";
}

void displayWithLabel(int32_t index, float value, char* text, size_t size) {
    if (!text || size == 0) return;
    char display[kDisplaySize];
    displayText(index, value, display);
    const char* label = unitLabel(index);
    std::snprintf(text, size, *label ? "%s %s" : "%s", display, label);
}

bool valueFromText(int32_t index, const char* text, float& value) {
    if (!isParameter(index) || !text) return false;
    const char* begin = text;
    const char* end = text + std::strlen(text);
    while (begin < end && isSpace(*begin)) ++begin;
    while (end > begin && isSpace(end[-1])) --end;
    if (begin == end) return false;

    if (valueOfName(index, begin, end, value)) return true;

    // from_chars reads the same in every locale; it takes no leading '+'.
    const char* number = *begin == '+' ? begin + 1 : begin;
    double parsed = 0.0;
    const std::from_chars_result read = std::from_chars(number, end, parsed);
    if (read.ec != std::errc() || read.ptr == number || !std::isfinite(parsed)) return false;
    const char* rest = read.ptr;
    while (rest < end && isSpace(*rest)) ++rest;
    if (rest != end && !spells(rest, end, unitLabel(index))) return false;

    const ParameterDescription& p = kParameters[index];
    value = static_cast<float>(std::min<double>(p.maxValue, std::max<double>(p.minValue, parsed)));
    return true;
}

}  // namespace varnolet
