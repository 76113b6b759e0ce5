// A program: one named set of native parameter values.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

class TolmProgram {
public:
    virtual ~TolmProgram() = default;
    virtual void setValue(int32_t index, float value) = 0;
    virtual float getValue(int32_t index) = 0;
    virtual void setName(const char* name) = 0;
    virtual const char* getName() = 0;
    // All values at once, for a reader that wants them every block.
    virtual void getValues(float* values, int32_t count) {
        for (int32_t i = 0; i < count; ++i) values[i] = getValue(i);
    }

    // How many times a value has been written: a reader that remembers it can
    // tell with one load whether the values it read last are still current.
    // A value is stored before its write is counted, so a reader that finds a
    // new count finds at least the values it counts.
    uint32_t changeCount() const { return changes.load(std::memory_order_acquire); }

protected:
    // Every setValue counts its write.
    void countChange() { changes.fetch_add(1, std::memory_order_release); }

private:
    std::atomic<uint32_t> changes{0};
};

// The values are written by host threads and read by the audio thread, so
// each is an atomic float: the same plain loads and stores, without a race.
class TolmProgramBasic final : public TolmProgram {
public:
    static constexpr int kNameSize = 32;

    explicit TolmProgramBasic(int32_t valueCount);

    // An index outside the store is ignored on writing and reads as 0.
    void setValue(int32_t index, float value) override;
    float getValue(int32_t index) override;
    void setName(const char* name) override;
    const char* getName() override { return name; }
    void getValues(float* values, int32_t count) override;

private:
    int32_t numValues;
    std::unique_ptr<std::atomic<float>[]> values;
    char name[kNameSize] = {};
};
