#include "host/tool/parameter_assignment.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
std::string trimmed(const std::string& text) {
    const auto notBlank = [](unsigned char c) { return !std::isspace(c); };
    auto first = std::find_if(text.begin(), text.end(), notBlank);
    auto last = std::find_if(text.rbegin(), text.rend(), notBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string lowered(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The whole text as a number; false if anything but blanks follows it.
bool parseNumber(const std::string& text, double& number) {
    const std::string t = trimmed(text);
    if (t.empty()) return false;
    char* end = nullptr;
    number = std::strtod(t.c_str(), &end);
    return end && *end == '\0' && std::isfinite(number);
}

// The number at the start of a display text ("200.0", "-3.5 dB"), if any.
bool leadingNumber(const std::string& text, double& number) {
    const std::string t = trimmed(text);
    char* end = nullptr;
    number = std::strtod(t.c_str(), &end);
    return end != t.c_str() && std::isfinite(number);
}

double displayedNumber(PluginInstance& plugin, int32_t index, float x, bool& ok) {
    plugin.setParameter(index, x);
    double number = 0.0;
    ok = leadingNumber(plugin.parameterDisplay(index), number);
    return number;
}

bool setByDisplayedNumber(PluginInstance& plugin, int32_t index, double target,
                          std::string& error) {
    bool okLow = false, okHigh = false;
    const double low = displayedNumber(plugin, index, 0.0f, okLow);
    const double high = displayedNumber(plugin, index, 1.0f, okHigh);
    if (!okLow || !okHigh) return false;
    const double smallest = std::min(low, high), largest = std::max(low, high);
    if (target < smallest || target > largest) {
        char range[96];
        std::snprintf(range, sizeof range, "%g to %g", smallest, largest);
        error = "the display of parameter " + std::to_string(index) + " runs from " + range;
        return false;
    }
    const bool rising = high >= low;
    float below = 0.0f, above = 1.0f;  // the target lies between their displays
    for (int step = 0; step < 40 && above - below > 0.0f; ++step) {
        const float middle = below + (above - below) * 0.5f;
        if (middle == below || middle == above) break;
        bool ok = false;
        const double shown = displayedNumber(plugin, index, middle, ok);
        if (!ok) break;
        if ((shown < target) == rising) below = middle;
        else above = middle;
    }
    bool ok = false;
    const double belowMiss = std::fabs(displayedNumber(plugin, index, below, ok) - target);
    const double aboveMiss = std::fabs(displayedNumber(plugin, index, above, ok) - target);
    plugin.setParameter(index, belowMiss < aboveMiss ? below : above);
    return true;
}

// Named values ("Low", "Band") sit anywhere in the range; a fine grid finds
// the stretch that shows the name, and the middle of it is the safest choice.
bool setByDisplayedText(PluginInstance& plugin, int32_t index, const std::string& target) {
    constexpr int kSteps = 1 << 14;
    const std::string wanted = lowered(trimmed(target));
    int first = -1, last = -1;
    for (int step = 0; step <= kSteps; ++step) {
        plugin.setParameter(index, static_cast<float>(step) / kSteps);
        const bool match = lowered(trimmed(plugin.parameterDisplay(index))) == wanted;
        if (match && first < 0) first = step;
        if (match) last = step;
        if (!match && first >= 0) break;
    }
    if (first < 0) return false;
    plugin.setParameter(index, static_cast<float>(first + last) / 2.0f / kSteps);
    return true;
}
}  // namespace

bool parseParameterAssignment(const std::string& text, ParameterAssignment& assignment,
                              std::string& error) {
    const size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        error = "'" + text + "' is not NAME=VALUE";
        return false;
    }
    assignment.parameter = text.substr(0, equals);
    assignment.value = text.substr(equals + 1);
    assignment.asDisplayed = !assignment.value.empty() && assignment.value[0] == '@';
    if (assignment.asDisplayed) assignment.value.erase(0, 1);
    if (trimmed(assignment.value).empty()) {
        error = "'" + text + "' has no value";
        return false;
    }
    return true;
}

int32_t findParameter(PluginInstance& plugin, const std::string& nameOrIndex, std::string& error) {
    const std::string wanted = lowered(trimmed(nameOrIndex));
    for (int32_t i = 0; i < plugin.numParams(); ++i)
        if (lowered(trimmed(plugin.parameterName(i))) == wanted) return i;
    const bool digits = !wanted.empty() && std::all_of(wanted.begin(), wanted.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
    if (digits && wanted.size() < 10) {
        const long index = std::strtol(wanted.c_str(), nullptr, 10);
        if (index < plugin.numParams()) return static_cast<int32_t>(index);
        error = "there is no parameter " + wanted + ": the plug-in has " +
                std::to_string(plugin.numParams()) + " (0 to " +
                std::to_string(plugin.numParams() - 1) + ")";
        return -1;
    }
    error = "unknown parameter '" + trimmed(nameOrIndex) + "' (see the info command for names)";
    return -1;
}

bool applyParameterAssignment(PluginInstance& plugin, const ParameterAssignment& assignment,
                              std::string& error) {
    const int32_t index = findParameter(plugin, assignment.parameter, error);
    if (index < 0) return false;
    const std::string name = "'" + trimmed(assignment.parameter) + "'";
    if (!assignment.asDisplayed) {
        double value = 0.0;
        if (!parseNumber(assignment.value, value) || value < 0.0 || value > 1.0) {
            error = "the value '" + assignment.value + "' for " + name +
                    " is not a normalised value from 0 to 1 (use @VALUE for a displayed value)";
            return false;
        }
        plugin.setParameter(index, static_cast<float>(value));
        return true;
    }
    const float before = plugin.getParameter(index);
    double number = 0.0;
    if (parseNumber(assignment.value, number)) {
        error.clear();
        if (setByDisplayedNumber(plugin, index, number, error)) return true;
        if (!error.empty()) {
            plugin.setParameter(index, before);
            error = "cannot show " + assignment.value + " for " + name + ": " + error;
            return false;
        }
    }
    if (setByDisplayedText(plugin, index, assignment.value)) return true;
    plugin.setParameter(index, before);
    error = "no value of " + name + " shows as '" + assignment.value + "'";
    return false;
}
