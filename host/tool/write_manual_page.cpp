// Writes the manual page vst2host(1) to standard output; run by the build.
#include <cstdio>

#include "host/tool/command_line/manual_page.h"

int main() {
    const std::string page = manualPage();
    return std::fwrite(page.data(), 1, page.size(), stdout) == page.size() && std::fflush(stdout) == 0 ? 0 : 1;
}
