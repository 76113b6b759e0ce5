#include "host/library/block_schedule.h"

BlockSchedule BlockSchedule::fixed(int32_t frames) { return BlockSchedule(frames, false, 1); }

BlockSchedule BlockSchedule::random(uint32_t seed, int32_t largest) {
    return BlockSchedule(largest, true, seed);
}

int32_t BlockSchedule::next() {
    if (!randomSizes) return maximum;
    // xorshift32: small, and unlike the standard distributions it draws the
    // same numbers with every standard library.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<int32_t>(state % (static_cast<uint32_t>(maximum) + 1u));
}
