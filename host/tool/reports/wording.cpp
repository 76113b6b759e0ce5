#include "host/tool/reports/wording.h"

#include <cstdio>

std::string counted(size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string hertzText(double rate) {
    char text[48];
    std::snprintf(text, sizeof text, "%.10g Hz", rate);
    return text;
}
