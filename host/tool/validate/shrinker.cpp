#include "host/tool/validate/shrinker.h"

#include <chrono>

namespace {
class Budget {
public:
    explicit Budget(const ShrinkLimits& limits)
        : stopped(limits.stopped),
          attemptsLeft(limits.attempts),
          deadline(std::chrono::steady_clock::now() +
                   std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                       std::chrono::duration<double>(limits.seconds))) {}
    bool spend() {
        if (!left()) return false;
        --attemptsLeft;
        return true;
    }
    bool left() const {
        return attemptsLeft > 0 && std::chrono::steady_clock::now() < deadline && !(stopped && stopped());
    }

private:
    std::function<bool()> stopped;
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

    const auto blocksOf = [](OperationList& list, size_t i) -> int64_t* {
        auto* process = std::get_if<ops::Process>(&list[i]);
        return process ? &process->blocks : nullptr;
    };
    for (size_t i = 0; i < best.size() && budget.left(); ++i) {
        if (!blocksOf(best, i)) continue;
        while (*blocksOf(best, i) > 1 && budget.left()) {
            OperationList candidate = best;
            *blocksOf(candidate, i) = 1;
            if (tryList(candidate)) break;
            *blocksOf(candidate, i) = *blocksOf(best, i) / 2;
            if (!tryList(candidate)) break;
        }
    }
    return best;
}
