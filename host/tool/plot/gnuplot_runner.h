// Runs Debian's gnuplot on a script file.
#pragma once

#include <string>

// False, with the reason, when gnuplot cannot be started or fails.
bool runGnuplot(const std::string& scriptPath, std::string& error);

// Text as a gnuplot single-quoted string.
std::string gnuplotQuoted(const std::string& text);
