// The frames of a stretch with the work outside the filter four at a time, in
// AVX2; the recursion beside it runs in the same scalar operations as ever,
// only encoded for AVX. This file is compiled for the build's own instruction
// set like every other; only the functions below are told to use AVX2, so the
// module still loads and runs on any processor, and these run only where the
// processor reports AVX2.
//
// No fused multiply-adds: AVX2 has none of its own, and FMA is a separate set
// that nothing here asks for, so every product is rounded before its sum, as
// in the plain lanes.
#include "core/frame_lanes.h"

// GCC and Clang compile single functions for another instruction set. The
// stack of 64-bit Windows is aligned to 16 bytes only, and GCC releases before
// 12 could keep an AVX register there with a move that needs 32; GCC 12 uses
// unaligned moves there, so older ones get the plain lanes on Windows.
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__) && \
    (!defined(_WIN32) || defined(__clang__) || __GNUC__ >= 12)
#define VARNOLET_AVX2_LANES 1
#endif

#if defined(VARNOLET_AVX2_LANES)

#include <immintrin.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/soft_clipper.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace varnolet {
namespace avx2 {

using Quad = double __attribute__((vector_size(32)));
using WidestLanes = Quad;

inline Quad load(const float* p, Quad) { return (Quad)_mm256_cvtps_pd(_mm_loadu_ps(p)); }
inline void store(float* p, Quad v) { _mm_storeu_ps(p, _mm256_cvtpd_ps((__m256d)v)); }

#include "core/frame_arithmetic.inc"

}  // namespace avx2
}  // namespace varnolet

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace varnolet {

const FrameLanes* avx2FrameLanes() {
    static const FrameLanes lanes{&avx2::framesAhead<false>, &avx2::framesAhead<true>};
    // Reports AVX2 only where the system also saves the wider registers.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? &lanes : nullptr;
}

}  // namespace varnolet

#else

namespace varnolet {

const FrameLanes* avx2FrameLanes() { return nullptr; }

}  // namespace varnolet

#endif
