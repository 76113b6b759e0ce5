#include "host/tool/command_line/tool_options.h"

#include <cstdio>

int failure(const std::string& message) {
    std::fprintf(stderr, "vst2host: %s\n", message.c_str());
    return kFailure;
}

int usageFailure(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "vst2host%s%s: %s\n(see vst2host %s--help)\n", command.empty() ? "" : " ",
                 command.c_str(), message.c_str(), command.empty() ? "" : (command + " ").c_str());
    return kUsage;
}

void warning(const std::string& message) {
    std::fprintf(stderr, "vst2host: warning: %s\n", message.c_str());
}

void status(const std::string& message) { std::fprintf(stderr, "%s\n", message.c_str()); }

