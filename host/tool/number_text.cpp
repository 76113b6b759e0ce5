#include "host/tool/number_text.h"

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

bool parseWholeNumberList(const std::string& text, std::vector<int64_t>& numbers) {
    numbers.clear();
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos
                                                                                : comma - start);
        int64_t number = 0;
        if (!parseWholeNumber(part, number)) return false;
        numbers.push_back(number);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return !numbers.empty();
}
