#include "vst3/queued_changes.h"

#include <utility>

#include "vst3/parameter_values.h"

namespace varnolet_vst3 {

void QueuedChanges::start(vst3::IParameterChanges* changes, int32_t blockFrames) {
    frames = blockFrames > 0 ? blockFrames : 0;
    active = 0;
    if (!changes) return;
    bool taken[kListedParameterCount] = {};
    const int32_t count = changes->getParameterCount();
    for (int32_t q = 0; q < count && active < kListedParameterCount; ++q) {
        vst3::IParamValueQueue* queue = changes->getParameterData(q);
        if (!queue) continue;
        const int32_t index = listedIndex(queue->getParameterId());
        if (index < 0 || taken[index]) continue;
        taken[index] = true;
        const int32_t points = queue->getPointCount();
        if (points <= 0) continue;
        cursors[active] = Cursor{queue, index, points, 0, 0};
        if (index == kProgramIndex) std::swap(cursors[0], cursors[active]);
        ++active;
    }
}

}  // namespace varnolet_vst3
