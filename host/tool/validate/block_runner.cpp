#include "host/tool/validate/block_runner.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>

#include "host/tool/validate/crash_handler.h"
#include "host/tool/validate/output_contents.h"
#include "host/tool/validate/seeded_random.h"

namespace {
constexpr size_t kMostChannels = 256;
constexpr int kThreadChanges = 64;

std::string decibels(double linear) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.1f dBFS", 20.0 * std::log10(linear));
    return text;
}

// Parameter changes from a second thread, as a GUI or automation thread
// makes them while the audio thread processes: a fixed list, so that the
// state after the operation is the same each time.
class AutomationThread {
public:
    AutomationThread(PluginInstance& plugin, ChildProgress& progress, uint32_t seed) {
        const int32_t params = plugin.numParams();
        if (params <= 0) return;
        worker = std::thread([&plugin, &progress, seed, params, this] {
            prepareThreadForCrashes();
            stopNotingCalls();
            SeededRandom random(seed);
            ready.store(true);
            while (!audioStarted.load()) std::this_thread::yield();
            for (int i = 0; i < kThreadChanges; ++i) {
                const int32_t index = static_cast<int32_t>(random.below(static_cast<uint64_t>(params)));
                plugin.setParameter(index, random.unit());
                progress.beat();
                std::this_thread::yield();
            }
            releaseThreadCrashStack();
        });
    }
    ~AutomationThread() {
        audioStarted.store(true);
        if (worker.joinable()) worker.join();
    }
    // The audio thread's first block waits for the second thread to run,
    // so that the changes meet the blocks rather than follow them.
    void start() {
        while (worker.joinable() && !ready.load()) std::this_thread::yield();
        audioStarted.store(true);
    }

private:
    std::atomic<bool> ready{false};
    std::atomic<bool> audioStarted{false};
    std::thread worker;
};
}  // namespace

BlockRunner::BlockRunner()
    : inputPointers("the input channel pointers"), outputPointers("the output channel pointers") {}

GuardedBuffer& BlockRunner::channel(std::vector<std::unique_ptr<GuardedBuffer>>& set, size_t index,
                                    const char* what) {
    while (set.size() <= index)
        set.push_back(std::make_unique<GuardedBuffer>(std::string(what) + " " + std::to_string(set.size()),
                                                      8192 * sizeof(float)));
    return *set[index];
}

void BlockRunner::checkMargins(PlayerContext& context, size_t inputCount, size_t outputCount,
                               size_t frames, bool inPlace) {
    const size_t bytes = frames * sizeof(float);
    const auto check = [&](GuardedBuffer& buffer, const char* what, size_t c) {
        const size_t reach = buffer.reach();
        if (reach > bytes)
            context.findings.failure(
                FindingKind::OutsideBuffer, std::string(what) + ":past",
                "wrote " + std::to_string((reach - bytes + 3) / 4) + " samples past the end of " +
                    what + " " + std::to_string(c) + " (a block of " + std::to_string(frames) +
                    " frames)");
        if (buffer.damagedBefore())
            context.findings.failure(FindingKind::OutsideBuffer, std::string(what) + ":front",
                                     std::string("wrote in front of ") + what + " " +
                                         std::to_string(c) + " (a block of " +
                                         std::to_string(frames) + " frames)");
    };
    for (size_t c = 0; c < inputCount; ++c) check(*inputBuffers[c], "input", c);
    for (size_t c = 0; c < outputCount; ++c)
        if (!(inPlace && c < inputCount)) check(*outputBuffers[c], "output", c);
    if (inputPointers.reach() > inputCount * sizeof(float*) || outputPointers.reach() > outputCount * sizeof(float*))
        context.findings.failure(FindingKind::OutsideBuffer, "channel-pointers",
                                 "wrote past the end of the host's array of channel pointers");
}

BlockRunner::Result BlockRunner::playBlock(PlayerContext& context, TestSignal signal, size_t frames,
                                           bool inPlace) {
    PluginInstance& plugin = *context.plugin;
    AEffect* record = plugin.effect();
    const size_t inputCount = std::min<size_t>(std::max(0, record->numInputs), kMostChannels);
    const size_t outputCount = std::min<size_t>(std::max(0, record->numOutputs), kMostChannels);
    const size_t bytes = frames * sizeof(float);
    inputs.assign(inputCount, nullptr);
    outputs.assign(outputCount, nullptr);
    for (size_t c = 0; c < inputCount; ++c)
        inputs[c] = reinterpret_cast<float*>(channel(inputBuffers, c, "input").place(bytes, 16, bytes));
    source.fill(signal, inputs.data(), inputCount, frames);
    for (size_t c = 0; c < outputCount; ++c) {
        if (inPlace && c < inputCount) {
            outputs[c] = inputs[c];
            continue;
        }
        outputs[c] = reinterpret_cast<float*>(channel(outputBuffers, c, "output").place(bytes, 16, bytes));
        fillUnwritten(outputs[c], frames);
    }
    float** inputArray = reinterpret_cast<float**>(
        inputPointers.place(inputCount * sizeof(float*), alignof(float*), inputCount * sizeof(float*)));
    float** outputArray = reinterpret_cast<float**>(
        outputPointers.place(outputCount * sizeof(float*), alignof(float*), outputCount * sizeof(float*)));
    std::copy(inputs.begin(), inputs.end(), inputArray);
    std::copy(outputs.begin(), outputs.end(), outputArray);

    plugin.processReplacing(inputArray, outputArray, static_cast<int32_t>(frames));

    checkMargins(context, inputCount, outputCount, frames, inPlace);
    bool nonFinite = false;
    for (size_t c = 0; c < outputCount; ++c) {
        const bool replaced = !(inPlace && c < inputCount);
        const OutputContents found = contentsOf(outputs[c], frames);
        const std::string where = "output " + std::to_string(c) + " of a block of " +
                                  std::to_string(frames) + " frames";
        if (replaced && found.unwritten > 0)
            context.findings.failure(
                FindingKind::UnwrittenOutput, "",
                "left " + std::to_string(found.unwritten) + " samples unwritten, from frame " +
                    std::to_string(found.firstUnwritten) + ", in " + where);
        if (replaced && found.addedTo > 0)
            context.findings.failure(FindingKind::AddedToOutput, "",
                                     "read the output buffer before writing it (added to what it held) in " + where);
        if (found.nonFinite > 0) {
            nonFinite = true;
            if (context.cleanSoFar)
                context.findings.failure(
                    FindingKind::NonFiniteOutput, "",
                    "non-finite output from finite input and parameters, from frame " +
                        std::to_string(found.firstNonFinite) + " of " + where);
        }
        if (context.quietSoFar && found.peak > context.loudest)
            context.findings.warning(FindingKind::TooLoud, "",
                                     "output reached " + decibels(found.peak) +
                                         " from input no louder than 0 dBFS, in " + where);
    }
    lastBlockFinite = !nonFinite;
    return nonFinite ? Result::WentNonFinite : Result::Played;
}

void BlockRunner::sendEvents(PlayerContext& context, std::vector<VstMidiEvent>& events) {
    if (events.empty()) return;
    context.log("# events: " + describeEvents(events));
    context.plugin->dispatch(effProcessEvents, 0, 0, eventList.point(events));
    notesSent = true;
}

BlockRunner::Result BlockRunner::play(PlayerContext& context, const ops::Process& op) {
    if (!context.plugin->effect()->processReplacing) {
        context.findings.failure(FindingKind::NoReplacing, "",
                                 "the record has no processReplacing, which every VST 2.4 host calls");
        return Result::Played;
    }
    if (!SignalSource::clean(op.signal)) context.taint();
    std::unique_ptr<NoteSource> notes;
    if (op.notesSeed != 0) notes = std::make_unique<NoteSource>(op.notesSeed);
    std::unique_ptr<AutomationThread> automation;
    if (op.threadSeed != 0)
        automation = std::make_unique<AutomationThread>(*context.plugin, context.progress, op.threadSeed);
    for (int64_t b = 0; b < op.blocks; ++b) {
        context.progress.beat();
        if (notes) {
            std::vector<VstMidiEvent> events = notes->next(op.frames);
            sendEvents(context, events);
        }
        if (automation && b == 0) automation->start();
        if (playBlock(context, op.signal, static_cast<size_t>(op.frames), op.inPlace) == Result::WentNonFinite)
            return Result::WentNonFinite;
    }
    return Result::Played;
}

bool BlockRunner::playClean(PlayerContext& context, int32_t frames, int64_t blocks) {
    const bool clean = context.cleanSoFar, quiet = context.quietSoFar;
    // Only whether the last block is finite counts here: what comes out on
    // the way is no finding of its own.
    context.cleanSoFar = context.quietSoFar = false;
    for (int64_t b = 0; b < blocks; ++b) {
        context.progress.beat();
        playBlock(context, TestSignal::Noise, static_cast<size_t>(frames), false);
    }
    context.cleanSoFar = clean;
    context.quietSoFar = quiet;
    return lastBlockFinite;
}
