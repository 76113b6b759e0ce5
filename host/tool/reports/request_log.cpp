#include "host/tool/reports/request_log.h"

#include <cstdio>

void logLine(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}
