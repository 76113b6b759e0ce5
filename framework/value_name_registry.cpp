#include "framework/value_name_registry.h"

#include <map>
#include <memory>
#include <mutex>

namespace {

// Both members are constant-initialised (a constexpr mutex and a null
// pointer), so the registry exists before any other static initialiser could
// ask for a name; the map itself comes into being with the first request.
struct Registry {
    std::mutex mutex;
    std::map<const char*, CFString*>* entries = nullptr;

    ~Registry() { releaseLiteralStrings(); }
};

Registry registry;

}  // namespace

CFString* stringForLiteral(const char* literal) {
    if (!literal) return nullptr;
    std::lock_guard<std::mutex> lock(registry.mutex);
    if (!registry.entries) registry.entries = new std::map<const char*, CFString*>;
    auto found = registry.entries->find(literal);
    if (found != registry.entries->end()) return found->second;

    // Held by unique_ptr until the map has taken it, so a failed insertion
    // frees the string and leaves the map untouched.
    std::unique_ptr<CFString> created(new CFString(literal));
    registry.entries->emplace(literal, created.get());
    created->retain();
    return created.release();
}

void releaseLiteralStrings() {
    std::map<const char*, CFString*>* entries;
    {
        std::lock_guard<std::mutex> lock(registry.mutex);
        entries = registry.entries;
        registry.entries = nullptr;
    }
    if (!entries) return;
    for (auto& entry : *entries) entry.second->release();
    delete entries;
}

int32_t literalStringCount() {
    std::lock_guard<std::mutex> lock(registry.mutex);
    return registry.entries ? static_cast<int32_t>(registry.entries->size()) : 0;
}
