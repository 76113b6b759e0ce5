#include "host/tool/files/interrupt_cleanup.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace {
constexpr int kSlots = 16;
const int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Written only while the signals are blocked, so the handler never sees a
// slot half made or half freed.
char* paths[kSlots] = {};
bool handlersInstalled = false;

extern "C" void removeAndReraise(int signal) {
    const int interrupted = errno;  // the code interrupted may read it yet
    // Files first, then the directories they were in.
    for (char* path : paths)
        if (path) unlink(path);
    for (char* path : paths)
        if (path) rmdir(path);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    errno = interrupted;
}

class SignalsBlocked {
public:
    SignalsBlocked() {
        sigset_t set;
        sigemptyset(&set);
        for (int signal : kSignals) sigaddset(&set, signal);
        sigprocmask(SIG_BLOCK, &set, &previous);
    }
    ~SignalsBlocked() { sigprocmask(SIG_SETMASK, &previous, nullptr); }

private:
    sigset_t previous;
};

void installHandlers() {
    if (handlersInstalled) return;
    handlersInstalled = true;
    for (int signal : kSignals) {
        struct sigaction current {};
        sigaction(signal, nullptr, &current);
        // A signal ignored from the start (nohup) stays ignored.
        if (current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = removeAndReraise;
        sigemptyset(&action.sa_mask);
        for (int other : kSignals) sigaddset(&action.sa_mask, other);
        sigaction(signal, &action, nullptr);
    }
}
}  // namespace

bool removeOnInterrupt(const std::string& path) {
    char* copy = new char[path.size() + 1];
    std::memcpy(copy, path.c_str(), path.size() + 1);
    SignalsBlocked blocked;
    installHandlers();
    for (char*& slot : paths) {
        if (slot) continue;
        slot = copy;
        return true;
    }
    delete[] copy;
    return false;
}

void forgetOnInterrupt(const std::string& path) {
    SignalsBlocked blocked;
    for (char*& slot : paths) {
        if (!slot || path != slot) continue;
        delete[] slot;
        slot = nullptr;
        return;
    }
}
