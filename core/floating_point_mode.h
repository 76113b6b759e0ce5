// Sets the floating-point mode the audio arithmetic is defined in for as long
// as it lives, and gives the host its own mode back afterwards: round to
// nearest, no traps, and numbers too small to matter flushed to zero so that
// a decaying echo tail cannot slow the processor down.
#pragma once

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <xmmintrin.h>
#define VARNOLET_HAS_MXCSR 1
#endif

namespace varnolet {

class ScopedFloatingPointMode {
public:
#if defined(VARNOLET_HAS_MXCSR)
    // Many hosts already run in this mode, and then nothing is written on the
    // way in. The six exception flags take no part in the comparison: they
    // are sticky, and a host that has done a single inexact operation has the
    // precision flag set.
    ScopedFloatingPointMode() {
        storeMode(hostMode);
        if ((hostMode & ~kExceptionFlags) != kProcessingMode) loadMode(kProcessingMode);
    }
    // The host gets back exactly the register it had, its own flags included:
    // the flags the block's arithmetic raised are none of its business, and a
    // host that tests its flags must see its own. The register is written back
    // even when it may already hold the host's value: finding out would mean
    // reading it, and a read waits until every operation of the block has
    // finished to know their flags, which costs more than the write.
    ~ScopedFloatingPointMode() { loadMode(hostMode); }

private:
    // All exceptions masked, round to nearest, flush-to-zero, denormals-are-zero.
    static constexpr unsigned kProcessingMode = 0x1F80u | 0x8000u | 0x0040u;

    // The register is only ever stored to memory and loaded from there, and
    // _mm_setcsr stores its argument on the stack and loads the register from
    // that slot at once. Such a load can wait for the stores before it, the
    // previous block's last ones among them: a host outside this mode paid
    // 65 ns for a block of one frame instead of 19, depending on where the
    // code landed. The mode is loaded from a constant, and the host's from
    // where it was stored on the way in, neither of them just written.
    static void storeMode(unsigned& mode) {
#if defined(__GNUC__)
        __asm__ volatile("stmxcsr %0" : "=m"(mode) : : "memory");
#else
        mode = _mm_getcsr();
#endif
    }
    static void loadMode(const unsigned& mode) {
#if defined(__GNUC__)
        __asm__ volatile("ldmxcsr %0" : : "m"(mode) : "memory");
#else
        _mm_setcsr(mode);
#endif
    }

    // Invalid, denormal, divide-by-zero, overflow, underflow, precision.
    static constexpr unsigned kExceptionFlags = 0x003Fu;
    unsigned hostMode;
#elif defined(__aarch64__)
    // The control register (FPCR) holds the mode and the status register
    // (FPSR) the sticky exception flags; the host gets both back as it had
    // them, as on x86. The mode is written only when the host's differs.
    ScopedFloatingPointMode() {
        __asm__ volatile("mrs %0, fpcr" : "=r"(hostMode));
        __asm__ volatile("mrs %0, fpsr" : "=r"(hostStatus));
        if (hostMode != kProcessingMode) writeMode(kProcessingMode);
    }
    ~ScopedFloatingPointMode() {
        writeMode(hostMode);
        __asm__ volatile("msr fpsr, %0" : : "r"(hostStatus) : "memory");
    }

private:
    static void writeMode(unsigned long mode) { __asm__ volatile("msr fpcr, %0" : : "r"(mode) : "memory"); }

    // Flush-to-zero alone: round to nearest, no trap enabled, NaNs propagated
    // rather than replaced by the default one, the IEEE half-precision format.
    static constexpr unsigned long kProcessingMode = 1ul << 24;
    unsigned long hostMode;
    unsigned long hostStatus;
#else
    ScopedFloatingPointMode() = default;
#endif
    ScopedFloatingPointMode(const ScopedFloatingPointMode&) = delete;
    ScopedFloatingPointMode& operator=(const ScopedFloatingPointMode&) = delete;
};

}  // namespace varnolet
