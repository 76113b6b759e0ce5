#include "host/tool/sessions/automation_option.h"

#include <cmath>

#include "host/tool/command_line/number_text.h"
#include "host/tool/sessions/parameter_assignment.h"

bool parseAutomationRequest(const std::string& text, AutomationRequest& request,
                            std::string& error) {
    const size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        error = "--automate needs NAME=TIME:VALUE,TIME:VALUE,..., not '" + text + "'";
        return false;
    }
    request = AutomationRequest{};
    request.parameter = text.substr(0, equals);
    for (const std::string& point : splitList(text.substr(equals + 1))) {
        const size_t colon = point.find(':');
        double seconds = 0.0;
        if (colon == std::string::npos || !parseDecimal(point.substr(0, colon), seconds) ||
            seconds < 0.0 || colon + 1 == point.size()) {
            error = "--automate point '" + point + "' is not TIME:VALUE with TIME in seconds";
            return false;
        }
        if (!request.points.empty() && seconds < request.points.back().seconds) {
            error = "--automate times must not go back: " + point;
            return false;
        }
        request.points.push_back({seconds, point.substr(colon + 1)});
    }
    return true;
}

bool hasDisplayedValues(const AutomationRequest& request) {
    for (const AutomationRequest::Point& point : request.points)
        if (!point.value.empty() && point.value[0] == '@') return true;
    return false;
}

bool resolveAutomation(HostedPlugin& plugin, const AutomationRequest& request, double sampleRate,
                       const ParameterDefaults& defaults, ParameterRamp& ramp, std::string& error) {
    const int32_t index = findParameter(plugin, request.parameter, error);
    if (index < 0) return false;
    const float before = plugin.parameterValue(index);
    ramp = ParameterRamp{};
    ramp.parameter = index;
    bool resolved = true;
    for (const AutomationRequest::Point& point : request.points) {
        ParameterAssignment assignment;
        std::string text = request.parameter + "=" + point.value;
        // Checks the value as --set does, and finds a displayed one.
        resolved = parseParameterAssignment(text, assignment, error) &&
                   applyParameterAssignment(plugin, assignment, defaults, error);
        if (!resolved) break;
        double value = 0.0;
        if (!assignment.asDisplayed && parseDecimal(assignment.value, value))
            ramp.points.push_back({std::llround(point.seconds * sampleRate), static_cast<float>(value)});
        else
            ramp.points.push_back({std::llround(point.seconds * sampleRate), plugin.parameterValue(index)});
    }
    plugin.setParameterValue(index, before);
    if (!resolved) error = "--automate: " + error;
    return resolved;
}
