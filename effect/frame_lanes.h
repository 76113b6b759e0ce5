// The straight-line arithmetic of a frame, for one frame at a time (double)
// or for two neighbouring frames side by side (Pair). Each lane of a Pair
// performs exactly the double-precision operations of one frame, so both give
// the same bits; the Pair only does two frames' work per instruction.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "effect/line_input_stage.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnolet {

using Pair = double __attribute__((vector_size(16)));
using PairMask = int64_t __attribute__((vector_size(16)));
using FloatPair = float __attribute__((vector_size(8)));

// Everything a frame needs besides the filter, widened once per block.
struct FrameCoefficients {
    double feedback1, feedback2, feedback3, feedback4;
    double left1, left2, left3, left4;
    double right1, right2, right3, right4;
    double wet, dry;
    double drive, outputGain;
};

inline double load(const float* p, double) { return *p; }
inline void store(float* p, double v) { *p = static_cast<float>(v); }

#if defined(__SSE2__)
// Two floats widen in one instruction; the generic form below is split into
// single conversions by the compiler.
inline Pair load(const float* p, Pair) {
    return (Pair)_mm_cvtps_pd(_mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))));
}
inline void store(float* p, Pair v) {
    _mm_storel_pi(reinterpret_cast<__m64*>(p), _mm_cvtpd_ps((__m128d)v));
}
#else
inline Pair load(const float* p, Pair) {
    FloatPair narrow;
    std::memcpy(&narrow, p, sizeof narrow);
    return __builtin_convertvector(narrow, Pair);
}
inline void store(float* p, Pair v) {
    const FloatPair narrow = __builtin_convertvector(v, FloatPair);
    std::memcpy(p, &narrow, sizeof narrow);
}
#endif

// A sample that is not a finite number must not enter the feedback loop,
// where it would stay for good.
// Vector casts reinterpret the bits of both lanes.
inline PairMask bitsOf(Pair v) { return (PairMask)v; }
inline Pair pairOf(PairMask bits) { return (Pair)bits; }

inline double finiteOrZero(double v) { return std::fabs(v) <= DBL_MAX ? v : 0.0; }
inline Pair finiteOrZero(Pair v) {
    const PairMask finite = pairOf(bitsOf(v) & INT64_MAX) <= DBL_MAX;
    return pairOf(bitsOf(v) & finite);
}

// The same curve as the single-frame clipper, choosing by masks.
inline Pair softClip(Pair y) {
    const Pair cubic = y - kCubic * (y * y * y);
    const Pair one = {kClipLevel, kClipLevel};
    const PairMask level = (bitsOf(y) & INT64_MIN) | bitsOf(one);
    const PairMask over = pairOf(bitsOf(y) & INT64_MAX) > kClipThreshold;
    return pairOf((level & over) | (bitsOf(cubic) & ~over));
}

// Reads the inputs and taps of one frame (or two), writes that frame's
// outputs, and returns what goes into the filter.
template <typename Lanes, bool Accumulate>
inline Lanes frameOutsideTheFilter(const FrameCoefficients& k, const float* inLeft,
                                   const float* inRight, const float* line1, const float* line2,
                                   const float* line3, const float* line4, float* outLeft,
                                   float* outRight) {
    const Lanes a = load(inLeft, Lanes{}), b = load(inRight, Lanes{});
    Lanes previous0{}, previous1{};
    if (Accumulate) {
        previous0 = load(outLeft, Lanes{});
        previous1 = load(outRight, Lanes{});
    }
    const Lanes tap1 = load(line1, Lanes{}), tap2 = load(line2, Lanes{}),
                tap3 = load(line3, Lanes{}), tap4 = load(line4, Lanes{});

    const Lanes mono = finiteOrZero(0.5 * (a + b));
    const Lanes x = mono + k.feedback4 * tap4 + k.feedback3 * tap3 + k.feedback2 * tap2 +
                    k.feedback1 * tap1;

    const Lanes wetLeft = k.left4 * tap4 + k.left3 * tap3 + k.left2 * tap2 + k.left1 * tap1;
    const Lanes wetRight = k.right4 * tap4 + k.right3 * tap3 + k.right2 * tap2 + k.right1 * tap1;
    if (Accumulate) {
        store(outLeft, k.wet * wetLeft + previous0 + k.dry * a);
        store(outRight, k.wet * wetRight + previous1 + k.dry * b);
    } else {
        store(outLeft, k.wet * wetLeft + k.dry * a);
        store(outRight, k.wet * wetRight + k.dry * b);
    }
    return softClip(x * k.drive) * k.outputGain;
}

}  // namespace varnolet
