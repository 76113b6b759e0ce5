#include "host/tool/validate/player_context.h"

#include <algorithm>
#include <cmath>

#include "host/library/vst2_call_text.h"
#include "host/tool/validate/child_runner.h"

namespace {
thread_local bool notesCalls = true;

bool meaningfulRate(double rate) { return std::isfinite(rate) && rate >= 1000.0 && rate <= 1e6; }
}  // namespace

float PlayerContext::saneRate() const {
    return meaningfulRate(sampleRate) ? static_cast<float>(sampleRate) : 44100.0f;
}

int32_t PlayerContext::saneBlock() const {
    return blockSize >= 1 && blockSize <= 8192 ? static_cast<int32_t>(blockSize) : 512;
}

void PlayerContext::log(const std::string& line) const {
    if (logFd >= 0) writeLogLine(logFd, line);
}

void PlayerContext::logHostCalls() {
    if (!logging()) return;
    const int fd = logFd;
    host.observer = [fd](const HostCall& call) {
        writeLogLine(fd, describeHostCall(call) + (notesCalls ? "" : " (second thread)"));
    };
    log("-> entry (" + module.path() + ")");
}

std::unique_ptr<PluginInstance> PlayerContext::createInstance() {
    progress.callKind.store(-1);
    progress.beat();
    logHostCalls();
    std::string error;
    std::unique_ptr<PluginInstance> instance = PluginInstance::create(module, host, error);
    if (!instance) {
        findings.failure(FindingKind::NoInstance, "", "the entry gave no instance (" + error + ")");
        return nullptr;
    }
    observe(*instance);
    return instance;
}

void PlayerContext::observe(PluginInstance& instance) {
    ChildProgress* shared = &progress;
    const int fd = logFd;
    instance.requestObserver = [shared, fd](const HostRequest& request) {
        shared->beat();
        if (fd >= 0) writeLogLine(fd, describeRequest(request) + (notesCalls ? "" : " (second thread)"));
        if (!notesCalls) {
            shared->threadParameter.store(request.index, std::memory_order_relaxed);
            return;
        }
        shared->callKind.store(static_cast<int32_t>(request.kind), std::memory_order_relaxed);
        shared->callOpcode.store(request.opcode, std::memory_order_relaxed);
        shared->callIndex.store(request.index, std::memory_order_relaxed);
        shared->callValue.store(request.value, std::memory_order_relaxed);
        shared->callNull.store(request.ptr == nullptr ? 1 : 0, std::memory_order_relaxed);
    };
}

std::unique_ptr<PluginInstance> PlayerContext::freshOpenedInstance() {
    std::unique_ptr<PluginInstance> instance = createInstance();
    if (!instance) return nullptr;
    instance->open();
    instance->setSampleRate(saneRate());
    instance->setBlockSize(saneBlock());
    return instance;
}

void PlayerContext::setSampleRate(double rate) {
    sampleRate = rate;
    if (!meaningfulRate(rate)) taint();
    host.sampleRateAnswer = meaningfulRate(rate) ? static_cast<intptr_t>(rate) : 0;
    if (plugin) plugin->setSampleRate(static_cast<float>(rate));
}

void PlayerContext::setBlockSize(int64_t frames) {
    blockSize = frames;
    host.blockSizeAnswer = frames > 0 && frames <= 1 << 20 ? static_cast<intptr_t>(frames) : 0;
    if (plugin) plugin->setBlockSize(static_cast<int32_t>(frames));
}

void stopNotingCalls() { notesCalls = false; }

int32_t visitedParameters(const PluginInstance& plugin) {
    return std::max(0, std::min(plugin.numParams(), 1024));
}

int32_t visitedPrograms(const PluginInstance& plugin) {
    return std::max(0, std::min(plugin.numPrograms(), 64));
}
