#include "host/tool/validate/crash_handler.h"

#include <dlfcn.h>
#include <execinfo.h>
#include <signal.h>
#include <sys/mman.h>
#include <ucontext.h>

#include <cstring>

#include "host/tool/validate/guarded_memory.h"

namespace {
ChildReport* target = nullptr;
ChildProgress* progressOf = nullptr;
constexpr size_t kAlternateStack = 64 * 1024;
thread_local void* alternateStack = nullptr;
// Set on every thread the child starts besides its own.
thread_local bool startedThread = false;

const int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS};

uintptr_t faultingInstruction(void* context) {
    const ucontext_t* uc = static_cast<const ucontext_t*>(context);
#if defined(__linux__) && defined(__x86_64__)
    return static_cast<uintptr_t>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__linux__) && defined(__i386__)
    return static_cast<uintptr_t>(uc->uc_mcontext.gregs[REG_EIP]);
#elif defined(__linux__) && defined(__aarch64__)
    return static_cast<uintptr_t>(uc->uc_mcontext.pc);
#else
    (void)uc;
    return 0;
#endif
}

// The page-fault error code says whether the access was a write.
int accessKind(int signal, void* context) {
#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
    if (signal == SIGSEGV) {
        const ucontext_t* uc = static_cast<const ucontext_t*>(context);
        return (uc->uc_mcontext.gregs[REG_ERR] & 2) ? 1 : 0;
    }
#endif
    (void)signal;
    (void)context;
    return -1;
}

void recordFrame(CrashRecord& crash, uintptr_t address) {
    if (crash.frameCount >= kMaxCrashFrames) return;
    CrashFrame& frame = crash.frames[crash.frameCount++];
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(address), &info) != 0 && info.dli_fname) {
        copyField(frame.module, info.dli_fname);
        frame.offset = address - reinterpret_cast<uintptr_t>(info.dli_fbase);
    } else {
        copyField(frame.module, "");
        frame.offset = address;
    }
}

void onFatalSignal(int signal, siginfo_t* info, void* context) {
    if (target && !target->crashed) {
        CrashRecord& crash = target->crash;
        crash.signal = signal;
        crash.code = info->si_code;
        crash.address = reinterpret_cast<uintptr_t>(info->si_addr);
        crash.access = accessKind(signal, context);
        crash.operation = progressOf->operation.load(std::memory_order_relaxed);
        crash.secondThread = startedThread ? 1 : 0;
        const char* zone = (signal == SIGSEGV || signal == SIGBUS) ? guardZoneAt(crash.address) : nullptr;
        copyField(crash.zone, zone ? zone : "");
        const uintptr_t pc = faultingInstruction(context);
        if (pc != 0) recordFrame(crash, pc);
        // The unwinder passes the handler's frames and the signal frame;
        // what follows the interrupted instruction are its callers.
        void* trace[kMaxCrashFrames + 8];
        const int depth = backtrace(trace, kMaxCrashFrames + 8);
        int first = 2;
        for (int i = 0; i < depth; ++i)
            if (reinterpret_cast<uintptr_t>(trace[i]) == pc) first = i + 1;
        for (int i = first; i < depth; ++i) recordFrame(crash, reinterpret_cast<uintptr_t>(trace[i]));
        target->crashed = 1;
    }
    ::signal(signal, SIG_DFL);
    raise(signal);
}
}  // namespace

namespace {
void giveThreadAlternateStack() {
    if (alternateStack) return;
    void* memory = mmap(nullptr, kAlternateStack, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return;
    stack_t stack{};
    stack.ss_sp = memory;
    stack.ss_size = kAlternateStack;
    if (sigaltstack(&stack, nullptr) == 0) alternateStack = memory;
    else munmap(memory, kAlternateStack);
}
}  // namespace

void prepareThreadForCrashes() {
    startedThread = true;
    giveThreadAlternateStack();
}

void releaseThreadCrashStack() {
    if (!alternateStack) return;
    stack_t stack{};
    stack.ss_flags = SS_DISABLE;
    sigaltstack(&stack, nullptr);
    munmap(alternateStack, kAlternateStack);
    alternateStack = nullptr;
}

void installCrashHandlers(ChildReport& report, ChildProgress& progress) {
    target = &report;
    progressOf = &progress;
    // The first backtrace() loads the unwinder; a handler must not be the
    // first to call it.
    void* warm[2];
    backtrace(warm, 2);
    giveThreadAlternateStack();
    struct sigaction action {};
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : kFatalSignals) sigaction(signal, &action, nullptr);
}
