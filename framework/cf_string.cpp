#include "framework/cf_string.h"

#include <cstring>

CFType::~CFType() = default;

void CFType::retain() {
    refCount.fetch_add(1, std::memory_order_relaxed);
}

void CFType::release() {
    // acq_rel so that whatever other holders did with the object happens
    // before it is destroyed.
    if (refCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

CFString::CFString(const char* text) : text_(text ? text : "") {}

bool CFString::getCString(char* buffer) const {
    constexpr std::size_t kBufferSize = 24;
    if (!buffer || text_.size() + 1 > kBufferSize) return false;
    std::memcpy(buffer, text_.c_str(), text_.size() + 1);
    return true;
}
