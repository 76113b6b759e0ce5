#include "core/bypass_parameter.h"

#include <cctype>
#include <cmath>
#include <cstring>

namespace varnolet {

bool bypassFromValue(double value, bool& bypass) {
    if (std::isnan(value)) return false;
    bypass = value >= 0.5;
    return true;
}

const char* bypassText(bool bypass) { return bypass ? "On" : "Off"; }

bool bypassFromText(const char* text, bool& bypass) {
    if (!text) return false;
    while (*text == ' ') ++text;
    size_t length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ') --length;
    const auto is = [&](const char* word) {
        if (length != std::strlen(word)) return false;
        for (size_t i = 0; i < length; ++i)
            if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
        return true;
    };
    if (is("on") || is("1")) bypass = true;
    else if (is("off") || is("0")) bypass = false;
    else return false;
    return true;
}

}  // namespace varnolet
