// The manual page vst2host(1), in roff, made from the same declarations as
// the tool's help: the overview, every command with its options, the exit
// statuses. It is written at build time, so it cannot drift from the tool.
#pragma once

#include <string>

std::string manualPage();
