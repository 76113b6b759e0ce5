#include "framework/tolm_program.h"

#include <cstring>

TolmProgramBasic::TolmProgramBasic(int32_t valueCount)
    : numValues(valueCount > 0 ? valueCount : 0),
      values(new std::atomic<float>[static_cast<size_t>(numValues)]) {
    for (int32_t i = 0; i < numValues; ++i) values[i].store(0.0f, std::memory_order_relaxed);
}

void TolmProgramBasic::setValue(int32_t index, float value) {
    if (index < 0 || index >= numValues) return;
    values[index].store(value, std::memory_order_relaxed);
    countChange();
}

float TolmProgramBasic::getValue(int32_t index) {
    return index >= 0 && index < numValues ? values[index].load(std::memory_order_relaxed) : 0.0f;
}

void TolmProgramBasic::setName(const char* newName) {
    if (!newName) return;
    size_t length = strnlen(newName, kNameSize - 1);
    std::memcpy(name, newName, length);
    std::memset(name + length, 0, kNameSize - length);
}

void TolmProgramBasic::getValues(float* out, int32_t count) {
    const int32_t stored = count < numValues ? count : numValues;
    int32_t i = 0;
    for (; i < stored; ++i) out[i] = values[i].load(std::memory_order_relaxed);
    for (; i < count; ++i) out[i] = 0.0f;
}
