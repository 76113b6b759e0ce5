// 32-bit Windows promises a function only four-byte stack alignment, and hosts
// built with MSVC call plug-ins so. The module, built with GCC, must work
// when every call arrives that way: create, set up, set parameters, process
// and close an instance through calls whose stack sits 4, 8 and 12 bytes off
// the sixteen-byte alignment GCC's own callers keep, and get the same bits as
// through ordinary calls.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "host/vst_module.h"

#if !defined(_WIN32) || defined(_WIN64)
#error "a test of 32-bit Windows calls"
#endif

// Calls fn with six 32-bit words as its cdecl arguments from a stack pointer
// `shift` bytes below a sixteen-byte boundary; answers what fn returns in eax.
extern "C" uint32_t callShifted(const void* fn, const uint32_t* arguments, uint32_t shift);
__asm__(
    ".text\n"
    ".globl _callShifted\n"
    "_callShifted:\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    pushl %esi\n"
    "    movl 8(%ebp), %eax\n"
    "    movl 12(%ebp), %esi\n"
    "    movl 16(%ebp), %ecx\n"
    "    andl $-16, %esp\n"
    "    subl %ecx, %esp\n"
    // Eight bytes of padding and six words of arguments: 32 bytes, so the
    // call itself leaves the shift as it is.
    "    subl $8, %esp\n"
    "    pushl 20(%esi)\n"
    "    pushl 16(%esi)\n"
    "    pushl 12(%esi)\n"
    "    pushl 8(%esi)\n"
    "    pushl 4(%esi)\n"
    "    pushl (%esi)\n"
    "    call *%eax\n"
    "    leal -4(%ebp), %esp\n"
    "    popl %esi\n"
    "    popl %ebp\n"
    "    ret\n");

namespace {

constexpr int32_t kFrames = 4096;

intptr_t VSTCALLBACK quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

template <typename T>
uint32_t word(T value) {
    static_assert(sizeof(T) == 4, "one 32-bit word");
    uint32_t w;
    std::memcpy(&w, &value, 4);
    return w;
}

// One host whose every call into the plug-in goes through callShifted.
struct ShiftedHost {
    uint32_t shift;

    uint32_t call(const void* fn, std::vector<uint32_t> arguments) const {
        arguments.resize(6, 0);
        return callShifted(fn, arguments.data(), shift);
    }
    template <typename F>
    static const void* address(F fn) {
        return reinterpret_cast<const void*>(fn);
    }
    intptr_t dispatch(AEffect* e, int32_t opcode, int32_t index = 0, intptr_t value = 0,
                      float opt = 0.0f) const {
        return static_cast<intptr_t>(call(address(e->dispatcher),
                                          {word(e), word(opcode), word(index),
                                           word(static_cast<int32_t>(value)), 0u, word(opt)}));
    }

    // Renders noise through a fresh instance at a busy setting.
    std::vector<float> render(const VstModule& module) const {
        auto* e = reinterpret_cast<AEffect*>(
            call(address(module.entry()), {word(reinterpret_cast<void*>(&quietHost))}));
        if (!e) return {};
        dispatch(e, effOpen);
        dispatch(e, effSetSampleRate, 0, 0, 48000.0f);
        dispatch(e, effSetBlockSize, 0, kFrames);
        for (int32_t i = 0; i < e->numParams; ++i)
            call(address(e->setParameter), {word(e), word(i), word(0.25f + 0.03f * i)});
        dispatch(e, effMainsChanged, 0, 1);
        std::vector<float> left(kFrames), right(kFrames), out(2 * kFrames);
        uint32_t seed = 1;
        for (int32_t i = 0; i < kFrames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            left[i] = static_cast<float>(seed >> 8) * 0x1p-24f - 0.5f;
            right[i] = i == 0 ? 1.0f : -left[i];
        }
        float* in[2] = {left.data(), right.data()};
        float* outs[2] = {out.data(), out.data() + kFrames};
        for (int32_t done = 0; done < kFrames; done += 512) {
            float* inBlock[2] = {in[0] + done, in[1] + done};
            float* outBlock[2] = {outs[0] + done, outs[1] + done};
            call(address(e->processReplacing), {word(e), word(inBlock), word(outBlock), word(512)});
        }
        dispatch(e, effMainsChanged, 0, 0);
        dispatch(e, effClose);
        return out;
    }
};

TEST(MisalignedStack, CallsFromAFourByteAlignedStackWorkAndGiveTheSameBits) {
    VstModule module;
    std::string error;
    ASSERT_TRUE(module.load(VARNOLET_MODULE_PATH, error)) << error;
    const std::vector<float> aligned = ShiftedHost{0}.render(module);
    ASSERT_EQ(aligned.size(), static_cast<size_t>(2 * kFrames));
    EXPECT_NE(aligned, std::vector<float>(aligned.size(), 0.0f));
    for (uint32_t shift : {4u, 8u, 12u}) EXPECT_EQ(ShiftedHost{shift}.render(module), aligned) << shift;
}

}  // namespace
