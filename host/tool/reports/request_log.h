// Where --log writes its lines: one per request sent to a plug-in ("->")
// and per call it makes back to the host ("<-").
#pragma once

#include <string>

// Standard error, so that reports on standard output stay clean.
void logLine(const std::string& line);
