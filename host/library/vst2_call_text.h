// One line per request a host sends a VST 2.4 plug-in ("->") and per call
// the plug-in makes back to its host ("<-"), for a log.
#pragma once

#include <string>

#include "host/library/host_request.h"
#include "host/library/plugin_host.h"

std::string describeRequest(const HostRequest& request);
std::string describeHostCall(const HostCall& call);
