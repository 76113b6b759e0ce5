// "--automate NAME=TIME:VALUE,TIME:VALUE,..." on the command line: a
// parameter moved along straight lines between points, times in seconds
// from the start, values as for --set (normalised, or after an '@' as the
// display shows them).
#pragma once

#include <string>
#include <vector>

#include "host/library/parameter_automation.h"
#include "host/library/hosted_plugin.h"
#include "host/tool/sessions/parameter_assignment.h"

struct AutomationRequest {
    struct Point {
        double seconds;
        std::string value;  // with its '@', if any
    };
    std::string parameter;
    std::vector<Point> points;
};

// False, with the reason, for text that is not NAME=TIME:VALUE,...
// with times that never go back.
bool parseAutomationRequest(const std::string& text, AutomationRequest& request,
                            std::string& error);

// The parameter's index and each point as a frame and a normalised value,
// found on the plug-in, whose own value is left as it was.
bool resolveAutomation(HostedPlugin& plugin, const AutomationRequest& request, double sampleRate,
                       const ParameterDefaults& defaults, ParameterRamp& ramp, std::string& error);

// Whether any point's value is given as the display shows it.
bool hasDisplayedValues(const AutomationRequest& request);
