#include "host/tool/validate/denormal_timing.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "host/tool/validate/signal_source.h"

namespace {
constexpr int kLoudSeconds = 3;
constexpr int kSilentSeconds = 30;

double processorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
}  // namespace

void checkDenormalSlowdown(PlayerContext& context) {
    PluginInstance& plugin = *context.plugin;
    if (!plugin.effect()->processReplacing) return;
    const size_t block = static_cast<size_t>(context.saneBlock());
    const size_t rate = static_cast<size_t>(context.saneRate());
    const size_t inputCount = static_cast<size_t>(std::max(0, std::min(plugin.numInputs(), 256)));
    const size_t outputCount = static_cast<size_t>(std::max(0, std::min(plugin.numOutputs(), 256)));
    std::vector<std::vector<float>> in(inputCount, std::vector<float>(block)), out(outputCount, std::vector<float>(block));
    std::vector<float*> inputs, outputs;
    for (auto& channel : in) inputs.push_back(channel.data());
    for (auto& channel : out) outputs.push_back(channel.data());
    SeededRandom random(0xD3A0ull);

    // One second of audio, loud or silent; its cost in processor seconds.
    const auto second = [&](bool loud) {
        double spent = 0.0;
        for (size_t done = 0; done < rate; done += block) {
            for (auto& channel : in)
                for (float& sample : channel) sample = loud ? noiseSample(random) : 0.0f;
            context.progress.beat();
            const double start = processorSeconds();
            plugin.processReplacing(inputs.data(), outputs.data(), static_cast<int32_t>(block));
            spent += processorSeconds() - start;
        }
        return spent;
    };
    second(true);  // the first second warms up
    double loud = 0.0;
    for (int s = 1; s < kLoudSeconds; ++s) loud += second(true);
    loud /= kLoudSeconds - 1;
    double previous = 0.0, worst = 0.0;
    for (int s = 0; s < kSilentSeconds; ++s) {
        const double cost = second(false);
        if (s > 0 && loud > 0.0) worst = std::max(worst, std::min(cost, previous) / loud);
        previous = cost;
    }
    if (worst > kSlowdownFactor) {
        char reason[200];
        std::snprintf(reason, sizeof reason,
                      "silence after loud input costs %.1f times as much as the loud input "
                      "(denormal numbers in the tail, most likely)",
                      worst);
        context.findings.failure(FindingKind::DenormalSlowdown, "", reason);
    }
}
