// Standard output as the tool writes its results there: a report, or, for
// an output named "-", a file's bytes. Nothing written there may be lost
// without a word.
#pragma once

#include <string>

// The name that stands for standard input or output.
constexpr const char* kStandardStream = "-";
bool isStandardStream(const std::string& path);

// Writes the whole text to standard output at once; false, with the
// system's reason, when it does not arrive (a full disk, a closed pipe).
bool writeStandardOutput(const std::string& text, std::string& error);

// Flushes and closes standard output, with whatever stdio still holds
// (help, the version); false, with the reason, when any of it was lost.
bool closeStandardOutput(std::string& error);
