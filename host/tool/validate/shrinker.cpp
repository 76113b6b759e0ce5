#include "host/tool/validate/shrinker.h"

#include <chrono>

namespace {
class Budget {
public:
    explicit Budget(const ShrinkLimits& limits)
        : attemptsLeft(limits.attempts),
          deadline(std::chrono::steady_clock::now() +
                   std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                       std::chrono::duration<double>(limits.seconds))) {}
    bool spend() {
        if (attemptsLeft <= 0 || std::chrono::steady_clock::now() >= deadline) return false;
        --attemptsLeft;
        return true;
    }
    bool left() const { return attemptsLeft > 0 && std::chrono::steady_clock::now() < deadline; }

private:
    int attemptsLeft;
    std::chrono::steady_clock::time_point deadline;
};
}  // namespace

OperationList shrinkOperations(const OperationList& failing, int32_t failingOperation,
                               const std::function<bool(const OperationList&)>& allowed,
                               const std::function<bool(const OperationList&)>& stillFails,
                               const ShrinkLimits& limits) {
    Budget budget(limits);
    OperationList best = failing;
    const auto tryList = [&](const OperationList& candidate) {
        if (!allowed(candidate) || !budget.spend()) return false;
        if (!stillFails(candidate)) return false;
        best = candidate;
        return true;
    };

    if (failingOperation >= 0 && static_cast<size_t>(failingOperation) + 1 < best.size())
        tryList(OperationList(best.begin(), best.begin() + failingOperation + 1));

    for (size_t run = best.size() / 2; run >= 1 && budget.left(); run /= 2) {
        for (size_t start = 0; start < best.size() && budget.left();) {
            OperationList candidate;
            for (size_t i = 0; i < best.size(); ++i)
                if (i < start || i >= start + run) candidate.push_back(best[i]);
            if (!tryList(candidate)) start += run;
        }
    }

    for (size_t i = 0; i < best.size() && budget.left(); ++i) {
        if (best[i].kind != OperationKind::Process) continue;
        while (best[i].blocks > 1 && budget.left()) {
            OperationList candidate = best;
            candidate[i].blocks = 1;
            if (tryList(candidate)) break;
            candidate[i].blocks = best[i].blocks / 2;
            if (!tryList(candidate)) break;
        }
    }
    return best;
}
