#include "host/library/instance_bindings.h"

#include <atomic>
#include <cstddef>
#include <mutex>

#include "host/library/plugin_host.h"
#include "host/library/plugin_instance.h"

namespace {
// A fixed table read without locks: a slot's instance is written before its
// record and cleared after it, and only bind and unbind, which serialise on
// a mutex, write. Lookups scan up to the highest slot ever used.
constexpr size_t kSlots = 1024;

struct Binding {
    std::atomic<AEffect*> effect{nullptr};
    std::atomic<PluginInstance*> instance{nullptr};
};

Binding slots[kSlots];
std::atomic<size_t> slotsUsed{0};
std::mutex writers;
thread_local PluginHost* creatingHost = nullptr;

PluginInstance* boundInstance(AEffect* effect) {
    if (!effect) return nullptr;
    const size_t used = slotsUsed.load(std::memory_order_acquire);
    for (size_t i = 0; i < used; ++i)
        if (slots[i].effect.load(std::memory_order_acquire) == effect)
            return slots[i].instance.load(std::memory_order_acquire);
    return nullptr;
}
}  // namespace

bool bindInstance(AEffect* effect, PluginInstance* instance) {
    std::lock_guard<std::mutex> lock(writers);
    for (size_t i = 0; i < kSlots; ++i) {
        if (slots[i].effect.load(std::memory_order_relaxed) != nullptr) continue;
        slots[i].instance.store(instance, std::memory_order_release);
        slots[i].effect.store(effect, std::memory_order_release);
        if (i + 1 > slotsUsed.load(std::memory_order_relaxed))
            slotsUsed.store(i + 1, std::memory_order_release);
        return true;
    }
    return false;
}

void unbindInstance(AEffect* effect) {
    std::lock_guard<std::mutex> lock(writers);
    const size_t used = slotsUsed.load(std::memory_order_relaxed);
    for (size_t i = 0; i < used; ++i) {
        if (slots[i].effect.load(std::memory_order_relaxed) != effect) continue;
        slots[i].effect.store(nullptr, std::memory_order_release);
        slots[i].instance.store(nullptr, std::memory_order_release);
    }
}

intptr_t VSTCALLBACK hostCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                  void* ptr, float opt) {
    const HostCall call{effect, opcode, index, value, ptr, opt};
    // Nothing may unwind into the plug-in's frames: a failing observer (a
    // log line that cannot be allocated) makes the call answer 0.
    try {
        if (PluginInstance* instance = boundInstance(effect)) return instance->takeHostCall(call);
        if (creatingHost) return creatingHost->takeCall(call);
    } catch (...) {
        return 0;
    }
    return opcode == audioMasterVersion ? 2400 : 0;
}

CreatingInstance::CreatingInstance(PluginHost& host) : previous(creatingHost) {
    creatingHost = &host;
}

CreatingInstance::~CreatingInstance() { creatingHost = previous; }
