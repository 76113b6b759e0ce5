#include "host/tool/command_line/number_text.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

bool parseDecimal(const std::string& text, double& number) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    number = std::strtod(text.c_str(), &end);
    return *end == '\0' && errno == 0 && std::isfinite(number);
}

bool parseWholeNumber(const std::string& text, int64_t& number) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    number = std::strtoll(text.c_str(), &end, 10);
    return *end == '\0' && errno == 0;
}

std::vector<std::string> splitList(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

bool parseWholeNumberList(const std::string& text, std::vector<int64_t>& numbers) {
    numbers.clear();
    for (const std::string& part : splitList(text)) {
        int64_t number = 0;
        if (!parseWholeNumber(part, number)) return false;
        numbers.push_back(number);
    }
    return !numbers.empty();
}
