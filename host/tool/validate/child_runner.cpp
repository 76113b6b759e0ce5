#include "host/tool/validate/child_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <new>

#include "host/tool/validate/crash_handler.h"

namespace {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// A plug-in told of a sample rate of 10^12 Hz may try to allocate for it;
// the child gets a failed allocation rather than the machine's memory.
constexpr rlim_t kChildAddressSpace = rlim_t(4) << 30;

void becomeChild(int captureFd) {
#if defined(__linux__)
    prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    const int nothing = open("/dev/null", O_RDONLY);
    if (nothing >= 0) {
        dup2(nothing, STDIN_FILENO);
        close(nothing);
    }
    dup2(captureFd, STDOUT_FILENO);
    dup2(captureFd, STDERR_FILENO);
    rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
    // Sanitizers reserve far more address space than they use.
    if (!kSanitized) {
        rlimit space{kChildAddressSpace, kChildAddressSpace};
        setrlimit(RLIMIT_AS, &space);
    }
    // Ctrl-C and a hang-up reach the terminal's whole process group; the
    // parent ends its child itself, and the child must not die of them
    // first, which would look like a crash.
    signal(SIGINT, SIG_IGN);
    signal(SIGHUP, SIG_IGN);
    sigset_t all;
    sigemptyset(&all);
    sigprocmask(SIG_SETMASK, &all, nullptr);
}

std::string tailOf(FILE* file) {
    const int fd = fileno(file);
    const off_t size = lseek(fd, 0, SEEK_END);
    if (size <= 0) return "";
    const off_t from = size > 2048 ? size - 2048 : 0;
    std::string text(static_cast<size_t>(size - from), '\0');
    const ssize_t got = pread(fd, &text[0], text.size(), from);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}
}  // namespace

ChildRunner::ChildRunner(bool log) {
    void* shared = mmap(nullptr, sizeof(SharedChildPage), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) throw std::bad_alloc();
    page = static_cast<SharedChildPage*>(shared);
    capture = std::tmpfile();
    if (!capture) {
        munmap(page, sizeof(SharedChildPage));
        throw std::bad_alloc();
    }
    if (log) logFd = dup(STDERR_FILENO);
    sigemptyset(&interrupts);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&interrupts, signal);
    sigprocmask(SIG_BLOCK, &interrupts, &maskBefore);
}

ChildRunner::~ChildRunner() {
    // One that came after the last look stays taken, not delivered.
    interruption();
    sigprocmask(SIG_SETMASK, &maskBefore, nullptr);
    munmap(page, sizeof(SharedChildPage));
    std::fclose(capture);
    if (logFd >= 0) close(logFd);
}

int ChildRunner::interruption() {
    if (interruptedBy == 0) {
        const timespec now{0, 0};
        const int taken = sigtimedwait(&interrupts, nullptr, &now);
        if (taken > 0) interruptedBy = taken;
    }
    return interruptedBy;
}

void passOnInterruption(int signal) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::signal(signal, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    sigprocmask(SIG_UNBLOCK, &one, nullptr);
    raise(signal);
    _exit(128 + signal);
}

void writeLogLine(int fd, const std::string& line) {
    const std::string whole = line + "\n";
    for (size_t done = 0; done < whole.size();) {
        const ssize_t wrote = write(fd, whole.data() + done, whole.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return;  // a log that cannot be written is no finding
        done += static_cast<size_t>(wrote);
    }
}

ChildOutcome ChildRunner::run(const std::function<void(ChildReport&, ChildProgress&)>& work,
                              double timeoutSeconds) {
    ChildOutcome outcome;
    if (interruption()) {
        outcome.end = ChildOutcome::End::Interrupted;
        return outcome;
    }
    new (&page->progress) ChildProgress();
    std::memset(&page->report, 0, sizeof page->report);
    if (ftruncate(fileno(capture), 0) != 0) {
        // The output of the last child stays; only its tail is shown.
    }
    std::fflush(stdout);
    std::fflush(stderr);

    // SIGCHLD stays pending until waited for, so that the wait below wakes
    // the moment the child ends.
    sigset_t childSignal, previous;
    sigemptyset(&childSignal);
    sigaddset(&childSignal, SIGCHLD);
    sigprocmask(SIG_BLOCK, &childSignal, &previous);
    sigset_t awaited = interrupts;
    sigaddset(&awaited, SIGCHLD);

    const pid_t child = fork();
    if (child < 0) {
        sigprocmask(SIG_SETMASK, &previous, nullptr);
        outcome.end = ChildOutcome::End::Exited;
        outcome.exitStatus = -1;
        outcome.output = std::string("cannot start a child process: ") + std::strerror(errno);
        return outcome;
    }
    if (child == 0) {
        becomeChild(fileno(capture));
        installCrashHandlers(page->report, page->progress);
        try {
            work(page->report, page->progress);
            page->report.finished = 1;
        } catch (...) {
            _exit(kExceptionExit);
        }
        _exit(0);
    }

    using Clock = std::chrono::steady_clock;
    const auto timeout = std::chrono::duration<double>(timeoutSeconds);
    uint64_t lastBeat = page->progress.heartbeat.load();
    auto lastChange = Clock::now();
    int status = 0;
    bool hung = false, interrupted = false;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (interruption()) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            interrupted = true;
            break;
        }
        const uint64_t beat = page->progress.heartbeat.load();
        const auto now = Clock::now();
        if (beat != lastBeat) {
            lastBeat = beat;
            lastChange = now;
        } else if (now - lastChange > timeout) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            hung = true;
            break;
        }
        timespec slice{0, 20 * 1000 * 1000};
        const int taken = sigtimedwait(&awaited, nullptr, &slice);
        if (taken > 0 && taken != SIGCHLD) interruptedBy = taken;
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);

    std::memcpy(&outcome.report, &page->report, sizeof outcome.report);
    outcome.operation = page->progress.operation.load();
    outcome.callKind = page->progress.callKind.load();
    outcome.callOpcode = page->progress.callOpcode.load();
    outcome.callIndex = page->progress.callIndex.load();
    outcome.callValue = page->progress.callValue.load();
    outcome.callNull = page->progress.callNull.load();
    outcome.threadParameter = page->progress.threadParameter.load();
    outcome.output = tailOf(capture);
    // A signal sent to the whole group may have ended the child too: that
    // is no crash of the plug-in's.
    if (interrupted || (interruption() && WIFSIGNALED(status))) {
        outcome.end = ChildOutcome::End::Interrupted;
    } else if (hung) {
        outcome.end = ChildOutcome::End::Hung;
    } else if (WIFSIGNALED(status)) {
        outcome.end = ChildOutcome::End::Crashed;
        outcome.signal = WTERMSIG(status);
    } else if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && outcome.report.finished) {
        outcome.end = ChildOutcome::End::Finished;
    } else {
        outcome.end = ChildOutcome::End::Exited;
        outcome.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return outcome;
}
