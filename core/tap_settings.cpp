#include "core/tap_settings.h"

#include <algorithm>

namespace varnolet {

namespace {
// A tap never reads outside the line, whatever the rate and the stored time.
int32_t boundedDelay(float samples, int32_t lineLength) {
    if (!(samples > 0.0f)) return 0;
    if (samples >= static_cast<float>(lineLength)) return lineLength;
    return static_cast<int32_t>(samples);
}
}  // namespace

TapSettings prepareTaps(const float* parameters, float sampleRate, int32_t lineLength) {
    TapSettings s{};
    // Both products are rounded to floats: 200 ms at 44100 Hz is exactly 8820
    // samples only because the product is rounded before it is truncated.
    const float samplesPerMs = sampleRate * 0.001f;
    const float master = parameters[kMasterFeedback] * 0.0001f;
    for (int32_t k = 0; k < kNumTaps; ++k) {
        s.delay[k] = boundedDelay(parameters[tapTime(k)] * samplesPerMs, lineLength);
        s.feedback[k] = parameters[tapFeedback(k)] * master;
        const double position = (static_cast<double>(parameters[tapPan(k)]) + 1.0) * 0.5;
        const double level = parameters[tapLevel(k)];
        s.right[k] = static_cast<float>(position * level);
        s.left[k] = static_cast<float>(level * (1.0 - position));
    }
    const double mix = parameters[kWetDryMix];
    s.wet = static_cast<float>(std::min(1.0, 2.0 * mix));
    s.dry = static_cast<float>(std::min(1.0, 2.0 - 2.0 * mix));
    return s;
}

}  // namespace varnolet
