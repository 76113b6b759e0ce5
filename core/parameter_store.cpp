#include "core/parameter_store.h"

namespace varnolet {

ParameterStore::ParameterStore(int32_t size)
    : count(size > 0 ? size : 0), values(new std::atomic<float>[static_cast<size_t>(count)]) {
    for (int32_t i = 0; i < count; ++i) values[i].store(0.0f, std::memory_order_relaxed);
}

void ParameterStore::set(int32_t index, float value) {
    if (index < 0 || index >= count) return;
    values[index].store(value, std::memory_order_relaxed);
    changes.fetch_add(1, std::memory_order_release);
}

float ParameterStore::get(int32_t index) const {
    return index >= 0 && index < count ? values[index].load(std::memory_order_relaxed) : 0.0f;
}

void ParameterStore::getAll(float* out, int32_t wanted) const {
    const int32_t stored = wanted < count ? wanted : count;
    int32_t i = 0;
    for (; i < stored; ++i) out[i] = values[i].load(std::memory_order_relaxed);
    for (; i < wanted; ++i) out[i] = 0.0f;
}

}  // namespace varnolet
