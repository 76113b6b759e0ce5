#include "host/tool/validate/signal_source.h"

#include <cstring>
#include <limits>

namespace {
// A square of 50 Hz at 44.1 kHz: a half period long enough that a path
// without damping adds it up to some +50 dBFS.
constexpr int64_t kSquarePeriod = 882;

float denormalSample(SeededRandom& random) {
    const uint32_t bits = static_cast<uint32_t>(random.next() & 0x807FFFFFu) | 1u;
    float sample;
    std::memcpy(&sample, &bits, sizeof sample);
    return sample;
}
}  // namespace

float noiseSample(SeededRandom& random) { return random.unit() * 2.0f - 1.0f; }

bool SignalSource::clean(TestSignal signal) {
    return signal != TestSignal::NotANumber && signal != TestSignal::Infinity;
}

void SignalSource::fill(TestSignal signal, float* const* channels, size_t channelCount,
                        size_t frames) {
    for (size_t c = 0; c < channelCount; ++c) {
        float* out = channels[c];
        for (size_t i = 0; i < frames; ++i) {
            switch (signal) {
                case TestSignal::Silence: out[i] = 0.0f; break;
                case TestSignal::Impulse: out[i] = i == 0 ? 1.0f : 0.0f; break;
                case TestSignal::Square:
                    out[i] = (position + static_cast<int64_t>(i)) % kSquarePeriod < kSquarePeriod / 2
                                 ? 1.0f
                                 : -1.0f;
                    break;
                case TestSignal::Denormal: out[i] = denormalSample(random); break;
                default: out[i] = noiseSample(random); break;
            }
        }
        if (frames > 0 && signal == TestSignal::NotANumber)
            out[random.below(frames)] = std::numeric_limits<float>::quiet_NaN();
        if (frames > 0 && signal == TestSignal::Infinity) {
            // The sign before the frame, in that order on every compiler, so
            // that a seed replays the same sequence wherever it runs.
            const bool positive = (random.next() & 1) != 0;
            const float infinity = std::numeric_limits<float>::infinity();
            out[random.below(frames)] = positive ? infinity : -infinity;
        }
    }
    position += static_cast<int64_t>(frames);
}
