// The frame arithmetic in the build's own instruction set: SSE2 pairs on every
// x86 build, generic pairs elsewhere. The engine runs short stretches with it
// directly, whatever lanes it has chosen for long ones.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/frame_lanes.h"
#include "core/soft_clipper.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace varnolet {
namespace plain {

using WidestLanes = double __attribute__((vector_size(16)));
#include "core/frame_arithmetic.inc"

}  // namespace plain
}  // namespace varnolet
