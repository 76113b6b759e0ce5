// The reference count every object the module hands out carries: it starts
// at one, for whoever created the object, and the object deletes itself when
// the last reference is released. Hosts count from any thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace varnolet_vst3 {

class RefCount {
public:
    uint32_t add() { return count.fetch_add(1, std::memory_order_relaxed) + 1; }
    // The count left; 0 means the caller must delete the object.
    uint32_t remove() { return count.fetch_sub(1, std::memory_order_acq_rel) - 1; }

private:
    std::atomic<uint32_t> count{1};
};

}  // namespace varnolet_vst3
