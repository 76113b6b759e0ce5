// The sizes of the blocks a host hands to processReplacing, one after the
// other: always the same, or drawn at random as some hosts send them.
#pragma once

#include <cstdint>

class BlockSchedule {
public:
    static BlockSchedule fixed(int32_t frames);
    // Sizes from 0 to largest inclusive, the same sequence for the same seed
    // on every platform.
    static BlockSchedule random(uint32_t seed, int32_t largest = 4096);

    int32_t next();
    // What the host announces with effSetBlockSize.
    int32_t largest() const { return maximum; }
    bool isRandom() const { return randomSizes; }

private:
    BlockSchedule(int32_t largestSize, bool random, uint32_t seed)
        : maximum(largestSize), randomSizes(random), state(seed ? seed : 1) {}

    int32_t maximum;
    bool randomSizes;
    uint32_t state;
};
