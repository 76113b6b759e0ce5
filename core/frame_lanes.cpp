#include "core/frame_lanes.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "core/plain_frame_arithmetic.h"

namespace varnolet {

const FrameLanes& plainFrameLanes() {
    static const FrameLanes lanes{&plain::framesAhead<false>, &plain::framesAhead<true>};
    return lanes;
}

namespace {

const FrameLanes* lanesAtLoad() {
    const FrameLanes* const wide = avx2FrameLanes();
    const char* const request = std::getenv("VARNOLET_FRAME_LANES");
    if (request && std::strcmp(request, "plain") == 0) return &plainFrameLanes();
    return wide ? wide : &plainFrameLanes();
}

std::atomic<const FrameLanes*> chosen{lanesAtLoad()};

}  // namespace

const FrameLanes& frameLanes() { return *chosen.load(std::memory_order_relaxed); }

void useFrameLanes(const FrameLanes& lanes) { chosen.store(&lanes, std::memory_order_relaxed); }

}  // namespace varnolet
