// The frames of a block: the filter's recursion, which must go frame by frame,
// and beside it the work of each frame outside it (reading the inputs and the
// taps, writing the outputs, and the clipped sample the filter takes). Nothing
// in that work waits for the frame before, so it runs several frames side by
// side, as wide as the processor allows. Every width performs exactly the
// double-precision operations of one frame in each of its lanes, so all give
// the same bits; the width is chosen once, from what the processor offers.
#pragma once

#include <cstdint>

namespace varnolet {

// Everything a frame needs besides the filter, widened once per block.
struct FrameCoefficients {
    double feedback1, feedback2, feedback3, feedback4;
    double left1, left2, left3, left4;
    double right1, right2, right3, right4;
    double wet, dry;
    double drive, outputGain;
};

// The filter's coefficients, widened once per block, and its state.
struct FilterCoefficients {
    double f, q;
    double wThru, wLow, wBand, wHigh;
};
struct FilterState {
    double low, band, high;
};

// Where a stretch of frames reads and writes, each at its first frame: the
// inputs, the four taps' read positions in the line, the outputs, and the
// slot the line-input stage writes.
struct FrameStreams {
    const float* inLeft;
    const float* inRight;
    const float* tap1;
    const float* tap2;
    const float* tap3;
    const float* tap4;
    float* outLeft;
    float* outRight;
    float* lineIn;
};

// How far ahead of the recursion the work outside it runs, in frames. A tap
// of D frames hears frame i - D while frame i is being made, so the frames
// ahead may be worked out only when every tap reaches back further than that
// lead and a group of lanes beyond it.
constexpr int32_t kFramesAhead = 8;
constexpr int32_t kNearestTapForLead = kFramesAhead + 4;

// A stretch of frames in which no position reaches the end of the line and
// every tap reaches back at least kNearestTapForLead frames: the work outside
// the filter and the filter's recursion for every frame.
using FramesAhead = void (*)(const FrameCoefficients& c, const FilterCoefficients& filter,
                             FilterState& state, const FrameStreams& at, int32_t frames);

struct FrameLanes {
    FramesAhead replacing;
    FramesAhead accumulating;
};

// Two frames at a time in SSE2, the floor of every x86-64 processor and of
// the 32-bit build, or in plain doubles elsewhere.
const FrameLanes& plainFrameLanes();
// Four frames at a time in AVX2, where the processor and the build have it;
// null otherwise.
const FrameLanes* avx2FrameLanes();

// The lanes the engine uses: the widest the processor offers, chosen when the
// module is loaded. VARNOLET_FRAME_LANES=plain in the environment at that
// moment makes it the plain ones, so that both can be heard through the
// module.
const FrameLanes& frameLanes();
// Makes the engine use the given lanes from the next block on; for tests that
// compare the widths within one process.
void useFrameLanes(const FrameLanes& lanes);

}  // namespace varnolet
