#include "host/library/plugin_stage.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
size_t count(int32_t channels) { return static_cast<size_t>(std::max(channels, 0)); }
}  // namespace

PluginStage::PluginStage(std::vector<HostedPlugin*> plugins, const InputRouting& routing,
                         AudioStream& source, size_t largestBlock, StageOptions stageOptions)
    : upstream(source),
      options(std::move(stageOptions)),
      fromUpstream(source.channelCount(), largestBlock),
      lastApplied(options.automation.ramps.size(), std::numeric_limits<float>::quiet_NaN()),
      due(0) {
    options.automation.step = std::max<int64_t>(options.automation.step, 1);
    if (options.sidechain)
        fromSidechain = std::make_unique<ChannelBlocks>(options.sidechain->channelCount(), largestBlock);
    std::vector<float*> all;
    for (size_t k = 0; k < plugins.size(); ++k) {
        HostedPlugin* plugin = plugins[k];
        Instance instance{plugin, routing.sources[k],
                          std::make_unique<ChannelBlocks>(count(plugin->inputCount()), largestBlock),
                          std::make_unique<ChannelBlocks>(count(plugin->outputCount()), largestBlock)};
        for (size_t c = 0; c < instance.outputs->channelCount(); ++c)
            all.push_back((*instance.outputs)[c]);
        instances.push_back(std::move(instance));
    }
    if (options.outputs.empty()) handedOn = all;
    for (size_t output : options.outputs) handedOn.push_back(all[output]);
    due = ChannelQueue(handedOn.size());
    changesWithinBlock = !plugins.empty() && plugins[0]->takesChangesWithinBlock();
}

bool PluginStage::start(std::string& error) {
    for (Instance& instance : instances)
        if (!instance.plugin->activate(error) || !instance.plugin->startProcessing(error)) return false;
    readLatency();
    return true;
}

void PluginStage::stop() {
    for (Instance& instance : instances) {
        instance.plugin->stopProcessing();
        instance.plugin->deactivate();
    }
}

TailReport PluginStage::tail() {
    // Instances set alike ring alike; the longest counts, and one that
    // does not say leaves the whole stage unknown.
    TailReport longest;
    for (Instance& instance : instances) {
        const TailReport t = instance.plugin->tail();
        if (t.kind == TailReport::Kind::Unknown) return t;
        if (longest.kind == TailReport::Kind::Unknown || t.kind == TailReport::Kind::Infinite ||
            (longest.kind == TailReport::Kind::Frames && t.frames > longest.frames))
            longest = t;
    }
    return longest;
}

void PluginStage::readLatency() {
    // Instances set alike report alike; should one differ, the longest delay
    // is taken out.
    int32_t reported = 0;
    for (const Instance& instance : instances)
        reported = std::max(reported, instance.plugin->latency());
    longestReported = std::max(longestReported, reported);
    if (options.compensateLatency) compensation = std::min(count(reported), kLongestCompensation);
}

size_t PluginStage::quietFrames() const {
    size_t frames = std::min(quiet, upstream.quietFrames());
    if (options.sidechain) frames = std::min(frames, options.sidechain->quietFrames());
    return frames;
}

void PluginStage::pull(float* const* channels, size_t frames) {
    // A block of no frames still reaches the plug-in, as some hosts send it.
    if (frames == 0) processBlock(0);
    while (due.frames() < frames) processBlock(frames);
    due.pop(channels, frames);
}

void PluginStage::processBlock(size_t frames) {
    upstream.pull(fromUpstream.data(), frames);
    if (options.sidechain) options.sidechain->pull(fromSidechain->data(), frames);
    if (changesWithinBlock) {
        collectChanges(frames);
        processPiece(0, frames);
        return;
    }
    const int64_t step = options.automation.step;
    size_t offset = 0;
    do {
        size_t piece = frames - offset;
        if (!options.automation.empty()) {
            applyAutomation();
            const size_t toNextStep = static_cast<size_t>(step - static_cast<int64_t>(processed) % step);
            piece = std::min(piece, toNextStep);
        }
        processPiece(offset, piece);
        offset += piece;
    } while (offset < frames);
}

void PluginStage::applyAutomation() {
    // Values move only on the steps; between them they hold.
    const int64_t frame = static_cast<int64_t>(processed);
    if (frame % options.automation.step != 0) return;
    for (size_t r = 0; r < options.automation.ramps.size(); ++r) {
        const ParameterRamp& ramp = options.automation.ramps[r];
        const float value = ramp.valueAt(frame);
        if (value == lastApplied[r]) continue;
        for (Instance& instance : instances) instance.plugin->setParameterValue(ramp.parameter, value);
        lastApplied[r] = value;
    }
}

void PluginStage::collectChanges(size_t frames) {
    // The values at each step within the block that differ from the last.
    changes.clear();
    const int64_t step = options.automation.step;
    const int64_t start = static_cast<int64_t>(processed);
    const int64_t end = start + static_cast<int64_t>(frames);
    for (int64_t frame = (start + step - 1) / step * step; frame < end; frame += step) {
        for (size_t r = 0; r < options.automation.ramps.size(); ++r) {
            const ParameterRamp& ramp = options.automation.ramps[r];
            const float value = ramp.valueAt(frame);
            if (value == lastApplied[r]) continue;
            changes.push_back({static_cast<uint32_t>(frame - start), ramp.parameter, value});
            lastApplied[r] = value;
        }
    }
}

void PluginStage::processPiece(size_t offset, size_t frames) {
    const int64_t start = static_cast<int64_t>(processed);
    size_t messageCount = 0;
    const TimedMidiMessage* messages =
        options.events ? options.events->block(start, static_cast<int64_t>(frames), &messageCount) : nullptr;
    for (Instance& instance : instances) {
        ChannelBlocks& inputs = *instance.inputs;
        for (size_t c = 0; c < inputs.channelCount(); ++c) {
            const InputSource& source = instance.sources[c];
            if (source.from == InputSource::From::Silence)
                std::fill_n(inputs[c], frames, 0.0f);
            else
                std::copy_n((source.from == InputSource::From::Main ? fromUpstream
                                                                    : *fromSidechain)[source.channel] +
                                offset,
                            frames, inputs[c]);
        }
        ProcessCall call;
        call.inputs = inputs.data();
        call.outputs = instance.outputs->data();
        call.frames = static_cast<uint32_t>(frames);
        call.start = start;
        call.changes = changes.data();
        call.changeCount = changesWithinBlock ? changes.size() : 0;
        call.messages = messages;
        call.messageCount = messageCount;
        using Clock = std::chrono::steady_clock;
        const Clock::time_point begun = options.timed ? Clock::now() : Clock::time_point();
        instance.plugin->process(call);
        if (options.timed) spent += Clock::now() - begun;
    }
    bool changed = false;
    for (Instance& instance : instances) changed = instance.plugin->afterBlock() || changed;
    // Some plug-ins settle their delay while processing their first block
    // and say nothing of it (LSP's say it, others do not): it is read again
    // after that block, and whenever a plug-in says it changed.
    if (changed || processed == 0) readLatency();

    // Quiet so far: the frames since the last one with a sample that is not.
    size_t loudEnd = 0;  // one past the last frame that is not quiet
    for (const Instance& instance : instances)
        for (size_t c = 0; c < instance.outputs->channelCount(); ++c) {
            const float* samples = (*instance.outputs)[c];
            for (size_t i = frames; i > loudEnd; --i)
                if (!(std::fabs(samples[i - 1]) < kQuietLevel)) {
                    loudEnd = i;
                    break;
                }
        }
    quiet = loudEnd > 0 ? frames - loudEnd : quiet + frames;

    // The next frame to hand on is the plug-in's frame (queued + delay). A
    // delay that grew skips frames; one that shrank repeats none but leaves
    // a gap of silence, so that what follows stays in time.
    const size_t next = queued + compensation;
    if (next < processed) {
        due.pushSilence(processed - next);
        queued += processed - next;
    }
    const size_t skip = std::min(frames, std::max(next, processed) - processed);
    due.push(handedOn.data(), skip, frames - skip);
    queued += frames - skip;
    processed += frames;
}
