// The effect's parameters: their order, their native ranges and defaults.
#pragma once

#include <cstdint>

#include "core/parameter_description.h"

namespace varnolet {

enum ParameterIndex : int32_t {
    kTap1Time = 0,
    kWetDryMix = 16,
    kFilterCutoff = 17,
    kFilterQ = 18,
    kFilterType = 19,
    kFilterSweep = 20,
    kSaturation = 21,
    kMasterFeedback = 22,
    kNumParameters = 23,
};

constexpr int32_t kNumTaps = 4;
constexpr int32_t kNumPrograms = 8;

// The four taps are laid out alike: time, pan, feedback, level.
constexpr int32_t tapTime(int32_t tap) { return 4 * tap + 0; }
constexpr int32_t tapPan(int32_t tap) { return 4 * tap + 1; }
constexpr int32_t tapFeedback(int32_t tap) { return 4 * tap + 2; }
constexpr int32_t tapLevel(int32_t tap) { return 4 * tap + 3; }

extern const ParameterDescription kParameters[kNumParameters];

// Which of the values a preparation depends on have changed since it last
// ran: a bit for each parameter, one for the sample rate and one for the line.
using ParameterChanges = uint32_t;
constexpr ParameterChanges changedBit(int32_t parameter) { return 1u << parameter; }
constexpr ParameterChanges kRateChanged = 1u << kNumParameters;
constexpr ParameterChanges kLineChanged = 1u << (kNumParameters + 1);
constexpr ParameterChanges kEverythingChanged = (1u << (kNumParameters + 2)) - 1;

}  // namespace varnolet
