// The points of a block's parameter queues, walked in order of their offsets
// so that the block can be split at each: the values of every point at an
// offset are taken before the frames from that offset on are made.
#pragma once

#include <cstdint>

#include "core/varnolet_parameters.h"
#include "vst3/parameter_values.h"
#include "vst3/vst3_interface.h"

namespace varnolet_vst3 {

class QueuedChanges {
public:
    // Takes the block's queues; null for none. Queues of unknown ids are
    // left out, and of two queues for one parameter only the first is read.
    // The program change's queue is walked first, so that values the host
    // sets at the frame it chooses a program hold over the program's.
    // Nothing is allocated: there is a place for each parameter.
    void start(vst3::IParameterChanges* changes, int32_t frames);

    // Calls take(index, normalised value) for every point due at `frame`
    // (those before it included) in each queue's order, and returns the
    // frame of the next point, or the block's length when none is left in
    // it. A point past the block is due at its end; a point that comes
    // before the one ahead of it in its queue counts as at that one's
    // offset.
    template <typename Take>
    int32_t takeDue(int32_t frame, Take&& take) {
        int32_t next = frames;
        for (int32_t n = 0; n < active; ++n) {
            Cursor& c = cursors[n];
            while (c.next < c.count) {
                int32_t offset = 0;
                vst3::ParamValue value = 0.0;
                if (c.queue->getPoint(c.next, offset, value) != vst3::kResultOk) {
                    ++c.next;
                    continue;
                }
                if (offset < c.floor) offset = c.floor;
                if (offset > frames) offset = frames;
                if (offset > frame) {
                    if (offset < next) next = offset;
                    break;
                }
                c.floor = offset;
                ++c.next;
                take(c.index, value);
            }
        }
        return next;
    }

private:
    struct Cursor {
        vst3::IParamValueQueue* queue;
        int32_t index;
        int32_t count;
        int32_t next;
        int32_t floor;
    };
    Cursor cursors[kListedParameterCount];
    int32_t active = 0;
    int32_t frames = 0;
};

}  // namespace varnolet_vst3
