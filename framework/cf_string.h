// Reference-counted objects in the manner of Core Foundation, used by the
// framework's hooks to hand texts around.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

class CFType {
public:
    CFType() = default;
    CFType(const CFType&) = delete;
    CFType& operator=(const CFType&) = delete;
    virtual ~CFType();

    void retain();
    // Destroys the object when the last reference goes.
    void release();
    // References held; 0 on creation.
    int32_t retainCount() const { return refCount.load(std::memory_order_relaxed); }

private:
    // Atomic because instances on different host threads share the same strings.
    std::atomic<int32_t> refCount{0};
};

class CFString : public CFType {
public:
    // Copies text up to its terminator; a null text gives an empty string.
    explicit CFString(const char* text);

    // Copies the text and its terminator into a 24-byte buffer. A text of 24
    // characters or more does not fit: nothing is written and the answer is false.
    bool getCString(char* buffer) const;

    const std::string& text() const { return text_; }

private:
    std::string text_;
};
