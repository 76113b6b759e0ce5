#include "host/tool/parameter_assignment.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>

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

// Normalised values as the bits of non-negative floats, which order them:
// bisection over the bits reaches neighbouring floats in at most 31 steps.
using Bits = uint32_t;
constexpr Bits kZero = 0x00000000u, kOne = 0x3F800000u;

float valueOf(Bits bits) {
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

Bits bitsOf(float x) {
    Bits bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

// The number a parameter's display shows, turned so that it rises with the
// normalised value.
class NumberDisplay {
public:
    NumberDisplay(HostedPlugin& instance, int32_t parameter, double direction)
        : plugin(instance), index(parameter), sign(direction) {}

    // False when the display shows no number there.
    bool at(Bits x, double& number) {
        plugin.setParameterValue(index, valueOf(x));
        const bool shown = leadingNumber(plugin.parameterDisplay(index), number);
        number *= sign;
        return shown;
    }

    // The first x from from to to whose number passes the test, or to + 1;
    // the test must fail below some x and pass from it on.
    template <class Test>
    Bits first(Bits from, Bits to, Test test, bool& ok) {
        Bits below = from, above = to + 1;  // the answer lies in [below, above]
        while (below < above && ok) {
            const Bits middle = below + (above - below) / 2;
            double number = 0.0;
            ok = at(middle, number);
            if (test(number)) above = middle;
            else below = middle + 1;
        }
        return above;
    }

    HostedPlugin& plugin;
    const int32_t index;
    const double sign;
};

// How many significant digits a float needs to be written exactly. One of
// a few neighbours that needs no more than kRoundDigits is a round value,
// likely the one a plug-in maps exactly (0.15 for 300 ms of 2000).
constexpr int kRoundDigits = 5;

int digitsNeeded(float x) {
    for (int digits = 1; digits < 9; ++digits) {
        char text[32];
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(x));
        if (std::strtof(text, nullptr) == x) return digits;
    }
    return 9;
}

// Displays round their value: the stretch of normalised values that show
// one number ends where the value passes half way to the next number shown.
// Within the stretch the value is taken to run straight from end to end,
// and at the ends of the range to be just what is shown. The x whose value
// comes closest to the target is chosen, or a round neighbour of it, which
// is exact where any is.
bool setByDisplayedNumber(HostedPlugin& plugin, int32_t index, double target,
                          std::string& error) {
    double low = 0.0, high = 0.0;
    NumberDisplay plain(plugin, index, 1.0);
    if (!plain.at(kZero, low) || !plain.at(kOne, high)) return false;
    const double smallest = std::min(low, high), largest = std::max(low, high);
    if (target < smallest || target > largest) {
        char range[96];
        std::snprintf(range, sizeof range, "%g to %g", smallest, largest);
        error = "the display of parameter " + std::to_string(index) + " runs from " + range;
        return false;
    }
    NumberDisplay shown(plugin, index, high >= low ? 1.0 : -1.0);
    const double t = shown.sign * target;
    bool ok = true;
    double number = 0.0;
    const auto numberAt = [&](Bits x) {
        ok = ok && shown.at(x, number);
        return number;
    };

    // The stretch [left, last] showing one number, with the value estimated
    // at left and at right (one past last, or last itself at the range's end).
    Bits e = shown.first(kZero, kOne, [t](double n) { return n >= t; }, ok);
    const double atE = numberAt(e);
    Bits left = e, last = kOne, right = kOne;
    double valueLeft = atE, valueRight = atE, showing = atE;
    const double beforeE = e > kZero ? numberAt(e - 1) : atE;
    const double middleE = (beforeE + atE) / 2.0;
    if (e > kZero && t < middleE) {
        // Closer to the number shown just below: the stretch before e.
        showing = beforeE;
        left = shown.first(kZero, e - 1, [beforeE](double n) { return n >= beforeE; }, ok);
        valueLeft = left > kZero ? (numberAt(left - 1) + beforeE) / 2.0 : beforeE;
        last = e - 1;
        right = e;
        valueRight = middleE;
    } else {
        if (e > kZero) valueLeft = middleE;
        const Bits next = shown.first(e, kOne, [atE](double n) { return n > atE; }, ok);
        if (next <= kOne) {
            last = next - 1;
            right = next;
            valueRight = (atE + numberAt(next)) / 2.0;
        }
    }
    if (!ok) return false;

    const double xLeft = valueOf(left), xRight = valueOf(right);
    double x = valueRight == valueLeft
                   ? (t <= valueLeft ? xLeft : xRight)
                   : xLeft + (xRight - xLeft) * (t - valueLeft) / (valueRight - valueLeft);
    x = std::min(std::max(x, xLeft), static_cast<double>(valueOf(last)));
    const Bits estimate = bitsOf(static_cast<float>(x));
    Bits chosen = estimate;
    int fewest = kRoundDigits + 1;
    for (Bits b = estimate > left + 2 ? estimate - 2 : left; b <= std::min(last, estimate + 2); ++b) {
        const int digits = digitsNeeded(valueOf(b));
        const bool closer = std::fabs(valueOf(b) - x) < std::fabs(valueOf(chosen) - x);
        if (digits < fewest || (digits == fewest && closer) ||
            (fewest > kRoundDigits && digits > kRoundDigits && closer)) {
            chosen = b;
            fewest = std::min(digits, fewest);
        }
    }
    const bool showsIt = numberAt(chosen) == showing && ok;
    // A display that does not rise steadily may show another number there;
    // then the first x that shows at least the target will do.
    plugin.setParameterValue(index, valueOf(showsIt ? chosen : e));
    return true;
}

// Named values ("Low", "Band") sit anywhere in the range; a fine grid finds
// the stretch that shows the name, and the middle of it is the safest choice.
bool setByDisplayedText(HostedPlugin& plugin, int32_t index, const std::string& target) {
    constexpr int kSteps = 1 << 14;
    const std::string wanted = lowered(trimmed(target));
    int first = -1, last = -1;
    for (int step = 0; step <= kSteps; ++step) {
        plugin.setParameterValue(index, static_cast<float>(step) / kSteps);
        const bool match = lowered(trimmed(plugin.parameterDisplay(index))) == wanted;
        if (match && first < 0) first = step;
        if (match) last = step;
        if (!match && first >= 0) break;
    }
    if (first < 0) return false;
    plugin.setParameterValue(index, static_cast<float>(first + last) / 2.0f / kSteps);
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

int32_t findParameter(HostedPlugin& plugin, const std::string& nameOrIndex, std::string& error) {
    const std::string wanted = lowered(trimmed(nameOrIndex));
    for (int32_t i = 0; i < plugin.parameterCount(); ++i)
        if (lowered(trimmed(plugin.parameterName(i))) == wanted) return i;
    const bool digits = !wanted.empty() && std::all_of(wanted.begin(), wanted.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
    if (digits && wanted.size() < 10) {
        const long index = std::strtol(wanted.c_str(), nullptr, 10);
        if (index < plugin.parameterCount()) return static_cast<int32_t>(index);
        error = "there is no parameter " + wanted + ": the plug-in has " +
                std::to_string(plugin.parameterCount()) + " (0 to " +
                std::to_string(plugin.parameterCount() - 1) + ")";
        return -1;
    }
    error = "unknown parameter '" + trimmed(nameOrIndex) + "' (see the info command for names)";
    return -1;
}

bool applyParameterAssignment(HostedPlugin& plugin, const ParameterAssignment& assignment,
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
        plugin.setParameterValue(index, static_cast<float>(value));
        return true;
    }
    float read = 0.0f;
    if (plugin.parameterValueOfText(index, trimmed(assignment.value), read)) {
        plugin.setParameterValue(index, read);
        return true;
    }
    const float before = plugin.parameterValue(index);
    double number = 0.0;
    if (parseNumber(assignment.value, number)) {
        error.clear();
        if (setByDisplayedNumber(plugin, index, number, error)) return true;
        if (!error.empty()) {
            plugin.setParameterValue(index, before);
            error = "cannot show " + assignment.value + " for " + name + ": " + error;
            return false;
        }
    }
    if (setByDisplayedText(plugin, index, assignment.value)) return true;
    plugin.setParameterValue(index, before);
    error = "no value of " + name + " shows as '" + assignment.value + "'";
    return false;
}
