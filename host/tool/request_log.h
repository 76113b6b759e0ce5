// One line per request sent to a plug-in ("->") and per call it makes back
// to the host ("<-"), for --log.
#pragma once

#include <cstdio>
#include <string>

#include "host/library/host_request.h"
#include "host/library/plugin_host.h"

std::string describeRequest(const HostRequest& request);
std::string describeHostCall(const HostCall& call);

// Where the lines go; standard error, so that reports on standard output
// stay clean.
void logLine(const std::string& line);
