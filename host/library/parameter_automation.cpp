#include "host/library/parameter_automation.h"

float ParameterRamp::valueAt(int64_t frame) const {
    if (frame <= points.front().frame) return points.front().value;
    for (size_t i = 1; i < points.size(); ++i) {
        const AutomationPoint &from = points[i - 1], &to = points[i];
        if (frame >= to.frame) continue;
        const double share = static_cast<double>(frame - from.frame) /
                             static_cast<double>(to.frame - from.frame);
        return static_cast<float>(from.value + (to.value - from.value) * share);
    }
    return points.back().value;
}
