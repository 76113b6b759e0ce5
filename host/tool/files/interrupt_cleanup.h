// Files that must not outlive an interrupted command: a staged output,
// gnuplot's scratch files. On SIGINT, SIGTERM or SIGHUP they are removed
// (the files, then the directories) before the signal takes its usual
// course.
#pragma once

#include <string>

// Registers a file or an empty directory; at most 16 at once (a command
// has a few), beyond which false.
bool removeOnInterrupt(const std::string& path);
// Forgets it: it was moved into place or removed.
void forgetOnInterrupt(const std::string& path);
