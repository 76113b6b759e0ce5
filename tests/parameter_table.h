// The parameter table as the plug-in's users know it, and the mapping from a
// host's 0..1 value to the native value, written out for the tests.
#pragma once

#include <cmath>
#include <cstdint>

namespace table {

struct Row {
    const char* name;
    const char* label;
    float min, max, def;
    const char* defaultDisplay;
};

constexpr int kCount = 23;
constexpr int kCutoff = 17;

inline const Row kRows[kCount] = {
    {"Tap 1 time", "ms", 0, 2000, 200, "200.0"},
    {"Tap 1 pan", "L/R", -1, 1, -1, "-1.000"},
    {"Tap 1 feedback", "%", 0, 100, 0, "0.000"},
    {"Tap 1 level", "", 0, 1, 1, "1.000"},
    {"Tap 2 time", "ms", 0, 2000, 400, "400.0"},
    {"Tap 2 pan", "L/R", -1, 1, -0.33333334f, "-0.333"},
    {"Tap 2 feedback", "%", 0, 100, 0, "0.000"},
    {"Tap 2 level", "", 0, 1, 1, "1.000"},
    {"Tap 3 time", "ms", 0, 2000, 600, "600.0"},
    {"Tap 3 pan", "L/R", -1, 1, 0.33333334f, "0.333"},
    {"Tap 3 feedback", "%", 0, 100, 0, "0.000"},
    {"Tap 3 level", "", 0, 1, 1, "1.000"},
    {"Tap 4 time", "ms", 0, 2000, 800, "800.0"},
    {"Tap 4 pan", "L/R", -1, 1, 1, "1.000"},
    {"Tap 4 feedback", "%", 0, 100, 40, "40.00"},
    {"Tap 4 level", "", 0, 1, 1, "1.000"},
    {"Wet/Dry mix", "", 0, 1, 1, "1.000"},
    {"Filter Cutoff", "Hz", 50, 8000, 1000, "1000"},
    {"Filter Q", "", 0.01f, 1, 0.1f, "0.100"},
    {"Filter Type", "", 0, 4, 0, "Thru"},
    {"Filter Sweep", "", 0, 1, 0, "0.000"},
    {"Saturation", "", 0, 11, 0, "0.000"},
    {"Master feedback", "%", 0, 200, 100, "100.0"},
};

// The native value a host's normalised value stands for: logarithmic for the
// cutoff, linear for everything else, in double throughout as the plug-in
// maps (the difference of two float bounds taken in float would be rounded).
inline float native(int index, float x) {
    const Row& r = kRows[index];
    if (index == kCutoff)
        return static_cast<float>(r.min * std::pow(static_cast<double>(r.max) / r.min, x));
    return static_cast<float>(r.min +
                              static_cast<double>(x) * (static_cast<double>(r.max) - r.min));
}

inline float normalised(int index, float v) {
    const Row& r = kRows[index];
    if (index == kCutoff)
        return static_cast<float>(std::log(static_cast<double>(v) / r.min) /
                                  std::log(static_cast<double>(r.max) / r.min));
    return static_cast<float>((static_cast<double>(v) - r.min) /
                              (static_cast<double>(r.max) - r.min));
}

}  // namespace table
