// A program: one named set of native parameter values.
#pragma once

#include <cstdint>

#include "core/parameter_store.h"

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
    virtual uint32_t changeCount() const = 0;
};

// The values are written by host threads and read by the audio thread.
class TolmProgramBasic final : public TolmProgram {
public:
    static constexpr int kNameSize = 32;

    explicit TolmProgramBasic(int32_t valueCount) : values(valueCount) {}

    // An index outside the store is ignored on writing and reads as 0.
    void setValue(int32_t index, float value) override { values.set(index, value); }
    float getValue(int32_t index) override { return values.get(index); }
    void setName(const char* name) override;
    const char* getName() override { return name; }
    void getValues(float* out, int32_t count) override { values.getAll(out, count); }
    uint32_t changeCount() const override { return values.changeCount(); }

private:
    varnolet::ParameterStore values;
    char name[kNameSize] = {};
};
