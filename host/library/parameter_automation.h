// Parameters that move during a render: each follows straight lines between
// points (frame, normalised value), holding the first point's value before
// it and the last one's after it. A host applies the values at a fixed step
// of frames, splitting its blocks there, so the plug-in hears the same
// movement whatever the block sizes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct AutomationPoint {
    int64_t frame;
    float value;
};

struct ParameterRamp {
    int32_t parameter = 0;
    std::vector<AutomationPoint> points;  // in order of frame, at least one

    float valueAt(int64_t frame) const;
};

struct ParameterAutomation {
    static constexpr int64_t kDefaultStep = 64;

    std::vector<ParameterRamp> ramps;
    int64_t step = kDefaultStep;  // frames from one application to the next

    bool empty() const { return ramps.empty(); }
};
