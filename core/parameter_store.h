// Parameter values that one thread writes and another reads: each value a
// whole 32-bit float store, and a count of the writes, so that a reader that
// remembers the count can tell with one load whether what it read last is
// still current.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace varnolet {

class ParameterStore {
public:
    explicit ParameterStore(int32_t count);

    int32_t size() const { return count; }
    // An index outside the store is ignored on writing and reads as 0.
    void set(int32_t index, float value);
    float get(int32_t index) const;
    // All values at once; those beyond the store read as 0.
    void getAll(float* values, int32_t wanted) const;

    // A value is stored before its write is counted, so a reader that finds
    // a new count finds at least the values it counts.
    uint32_t changeCount() const { return changes.load(std::memory_order_acquire); }

private:
    int32_t count;
    std::unique_ptr<std::atomic<float>[]> values;
    std::atomic<uint32_t> changes{0};
};

}  // namespace varnolet
