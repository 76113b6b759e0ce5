#include "host/tool/sessions/parameter_assignment.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

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
// is exact where any is. The search keeps to [from, to], where the display
// shows numbers that rise or fall steadily. False, saying nothing, when a
// word shows up in between after all.
bool setByDisplayedNumberWithin(HostedPlugin& plugin, int32_t index, double target, Bits from, Bits to) {
    double low = 0.0, high = 0.0;
    NumberDisplay plain(plugin, index, 1.0);
    if (!plain.at(from, low) || !plain.at(to, high)) return false;
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
    Bits e = shown.first(from, to, [t](double n) { return n >= t; }, ok);
    if (e > to) e = to;
    const double atE = numberAt(e);
    Bits left = e, last = to, right = to;
    double valueLeft = atE, valueRight = atE, showing = atE;
    const double beforeE = e > from ? numberAt(e - 1) : atE;
    const double middleE = (beforeE + atE) / 2.0;
    if (e > from && t < middleE) {
        // Closer to the number shown just below: the stretch before e.
        showing = beforeE;
        left = shown.first(from, e - 1, [beforeE](double n) { return n >= beforeE; }, ok);
        valueLeft = left > from ? (numberAt(left - 1) + beforeE) / 2.0 : beforeE;
        last = e - 1;
        right = e;
        valueRight = middleE;
    } else {
        if (e > from) valueLeft = middleE;
        const Bits next = shown.first(e, to, [atE](double n) { return n > atE; }, ok);
        if (next <= to) {
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

// The grid a display is scanned on where a search over its bits cannot go:
// for its named values, and for numbers between words.
constexpr int kGridSteps = 1 << 14;

float gridValue(int step) { return static_cast<float>(step) / kGridSteps; }

// A number the display shows: searched where the display shows numbers
// from end to end of the range, else within each run of numbers between
// its words (Filter Type's "Thru", 0.005 ... 0.995, "Low", ...). False,
// saying nothing, where the display shows no number at all, or, with the
// reason, when it shows none that reaches the target.
bool setByDisplayedNumber(HostedPlugin& plugin, int32_t index, double target, std::string& error) {
    NumberDisplay plain(plugin, index, 1.0);
    double low = 0.0, high = 0.0;
    if (plain.at(kZero, low) && plain.at(kOne, high) && std::min(low, high) <= target &&
        target <= std::max(low, high) && setByDisplayedNumberWithin(plugin, index, target, kZero, kOne))
        return true;
    // Runs of grid steps that show numbers, each searched where its numbers
    // reach the target.
    double smallest = 0.0, largest = 0.0;
    bool anyNumber = false;
    int runStart = -1;
    double runLow = 0.0, runHigh = 0.0;
    for (int step = 0; step <= kGridSteps + 1; ++step) {
        double number = 0.0;
        const bool shown = step <= kGridSteps && plain.at(bitsOf(gridValue(step)), number);
        if (shown) {
            smallest = anyNumber ? std::min(smallest, number) : number;
            largest = anyNumber ? std::max(largest, number) : number;
            anyNumber = true;
            if (runStart < 0) runStart = step, runLow = runHigh = number;
            runLow = std::min(runLow, number);
            runHigh = std::max(runHigh, number);
            continue;
        }
        if (runStart >= 0 && runLow <= target && target <= runHigh &&
            setByDisplayedNumberWithin(plugin, index, target, bitsOf(gridValue(runStart)),
                                       bitsOf(gridValue(step - 1))))
            return true;
        runStart = -1;
    }
    if (!anyNumber) return false;
    char range[96];
    std::snprintf(range, sizeof range, "%g to %g", smallest, largest);
    error = "the display of parameter " + std::to_string(index) + " runs from " + range;
    return false;
}

// The roundest value in [a, b], the one a plug-in most likely maps a named
// point to exactly (0.25 for "Low" of five points): the multiple of the
// largest power of ten with one in it, the nearest to the middle.
std::vector<float> roundValuesWithin(double a, double b) {
    std::vector<float> found;
    for (int decimals = 0; decimals <= 6 && found.empty(); ++decimals) {
        const double step = std::pow(10.0, -decimals);
        const double middle = (a + b) / 2.0;
        const double nearest = std::min(std::max(std::round(middle / step), std::ceil(a / step - 1e-9)),
                                        std::floor(b / step + 1e-9));
        if (nearest * step >= a - 1e-12 && nearest * step <= b + 1e-12)
            found.push_back(static_cast<float>(nearest * step));
    }
    return found;
}

// Named values ("Low", "Band") sit anywhere in the range. The default's own
// value where it shows the name; else a fine grid finds the first stretch
// that shows it, and within it the roundest value that does, or its middle.
bool setByDisplayedText(HostedPlugin& plugin, int32_t index, const std::string& target,
                        const ParameterDefaults& defaults) {
    const std::string wanted = lowered(trimmed(target));
    const auto shows = [&](float value) {
        plugin.setParameterValue(index, value);
        return lowered(trimmed(plugin.parameterDisplay(index))) == wanted;
    };
    float value = 0.0f;
    if (defaults.find(index, value) && shows(value)) return true;
    int first = -1, last = -1;
    for (int step = 0; step <= kGridSteps; ++step) {
        const bool match = shows(gridValue(step));
        if (match && first < 0) first = step;
        if (match) last = step;
        if (!match && first >= 0) break;
    }
    if (first < 0) return false;
    for (float round : roundValuesWithin(gridValue(first), gridValue(last)))
        if (shows(round)) return true;
    plugin.setParameterValue(index, static_cast<float>(first + last) / 2.0f / kGridSteps);
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

void ParameterDefaults::remember(HostedPlugin& plugin, const std::string& nameOrIndex) {
    std::string ignored;
    const int32_t index = findParameter(plugin, nameOrIndex, ignored);
    float value = 0.0f;
    if (index >= 0 && !find(index, value)) values.push_back({index, plugin.parameterValue(index)});
}

bool ParameterDefaults::find(int32_t index, float& value) const {
    for (const auto& known : values) {
        if (known.first != index) continue;
        value = known.second;
        return true;
    }
    return false;
}

bool applyParameterAssignment(HostedPlugin& plugin, const ParameterAssignment& assignment,
                              const ParameterDefaults& defaults, std::string& error) {
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
    if (setByDisplayedText(plugin, index, assignment.value, defaults)) return true;
    plugin.setParameterValue(index, before);
    error = "no value of " + name + " shows as '" + assignment.value + "'";
    return false;
}
