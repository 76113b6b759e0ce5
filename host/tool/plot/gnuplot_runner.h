// Runs Debian's gnuplot on a script file.
#pragma once

#include <string>

// False, with the reason, when gnuplot cannot be started or fails. What
// gnuplot says goes to logPath; it is shown only when gnuplot fails, so
// that its warnings about a picture it drew do not reach the user.
bool runGnuplot(const std::string& scriptPath, const std::string& logPath, std::string& error);

// Text as a gnuplot single-quoted string.
std::string gnuplotQuoted(const std::string& text);
