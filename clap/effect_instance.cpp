#include "clap/effect_instance.h"

#include <algorithm>
#include <new>

#include "clap/parameter_events.h"
#include "clap/preset_discovery.h"
#include "clap/state_streams.h"
#include "clap/stereo_channels.h"
#include "core/effect_state.h"
#include "core/effect_tail.h"

namespace varnolet_clap {

namespace {

using varnolet::kNumParameters;

// The rate a tail is counted at before the first activation has named one.
constexpr double kRateBeforeActivation = 44100.0;

const float* advanced(const float* channel, uint32_t frames) {
    return channel ? channel + frames : nullptr;
}
float* advanced(float* channel, uint32_t frames) { return channel ? channel + frames : nullptr; }

}  // namespace

EffectInstance::EffectInstance(const vclap_host_t* clapHost) : host(clapHost) {
    for (int32_t i = 0; i < kNumParameters; ++i)
        published.set(i, varnolet::kParameters[i].defaultValue);
    published.set(varnolet::kBypassIndex, 0.0f);
}

void EffectInstance::init() {
    if (!host || !host->get_extension) return;
    hostTail = static_cast<const vclap_host_tail_t*>(host->get_extension(host, VCLAP_EXT_TAIL));
    hostParams = static_cast<const vclap_host_params_t*>(host->get_extension(host, VCLAP_EXT_PARAMS));
    hostPresetLoad =
        static_cast<const vclap_host_preset_load_t*>(host->get_extension(host, VCLAP_EXT_PRESET_LOAD));
    if (!hostPresetLoad)
        hostPresetLoad = static_cast<const vclap_host_preset_load_t*>(
            host->get_extension(host, VCLAP_EXT_PRESET_LOAD_COMPAT));
}

bool EffectInstance::activate(double sampleRate) {
    if (active()) deactivate();
    if (!varnolet::EffectProcessor::supportsSampleRate(sampleRate)) return false;
    try {
        processor.setSampleRate(sampleRate);
    } catch (const std::bad_alloc&) {
        return false;
    }
    processor.startFromSilence();
    toldTail = tail();
    isActive.store(true, std::memory_order_relaxed);
    return true;
}

void EffectInstance::deactivate() {
    if (!active()) return;
    // A state loaded since the last block must not be lost with the
    // activation: the main thread owns the processor again.
    takeRequests();
    isActive.store(false, std::memory_order_relaxed);
}

void EffectInstance::reset() {
    if (active()) processor.startFromSilence();
}

void EffectInstance::apply(int32_t index, float value) {
    if (index == varnolet::kBypassIndex) {
        processor.setBypassed(value != 0.0f);
        published.set(index, processor.bypassed() ? 1.0f : 0.0f);
        return;
    }
    processor.setParameter(index, value);
    published.set(index, processor.parameter(index));
}

void EffectInstance::takeRequests() {
    const uint32_t count = requested.changeCount();
    if (count == takenRequests) return;
    takenRequests = count;
    float values[kValues];
    requested.getAll(values, kValues);
    for (int32_t i = 0; i < kValues; ++i) apply(i, values[i]);
    if (active()) tellTailIfChanged();
}

void EffectInstance::tellTailIfChanged() {
    if (!hostTail || !hostTail->changed) return;
    const uint32_t now = tail();
    if (now == toldTail) return;
    toldTail = now;
    hostTail->changed(host);
}

vclap_process_status EffectInstance::process(const vclap_process_t& block) {
    if (!active()) return VCLAP_PROCESS_ERROR;
    takeRequests();
    const StereoChannels c = stereoChannels(block);
    const uint32_t frames = block.frames_count;
    auto run = [&](uint32_t from, uint32_t to) {
        processor.process(advanced(c.inLeft, from), advanced(c.inRight, from),
                          advanced(c.outLeft, from), advanced(c.outRight, from), to - from);
    };

    // Each change takes effect at its frame: the block is split there. An
    // event listed after a later one takes effect where the list has got to,
    // and one past the block at its end.
    uint32_t done = 0;
    bool changed = false;
    const uint32_t events = eventCount(block.in_events);
    for (uint32_t i = 0; i < events; ++i) {
        ParameterChange change;
        if (!parameterChangeAt(block.in_events, i, change)) continue;
        const uint32_t at = std::min(std::max(change.frame, done), frames);
        if (at > done) run(done, at);
        done = at;
        apply(change.index, change.value);
        changed = true;
    }
    run(done, frames);

    if (changed) tellTailIfChanged();
    if (block.audio_outputs && block.audio_outputs_count > 0) block.audio_outputs[0].constant_mask = 0;
    // The tail says how long the output goes on after the input falls silent.
    return VCLAP_PROCESS_TAIL;
}

void EffectInstance::flush(const vclap_input_events_t* events) {
    takeRequests();
    bool changed = false;
    const uint32_t count = eventCount(events);
    for (uint32_t i = 0; i < count; ++i) {
        ParameterChange change;
        if (!parameterChangeAt(events, i, change)) continue;
        apply(change.index, change.value);
        changed = true;
    }
    // The host hears of a new tail on its audio thread, which is the one
    // that flushes while the plug-in is active.
    if (changed && active()) tellTailIfChanged();
}

bool EffectInstance::parameterValue(vclap_id id, double& value) const {
    if (id >= static_cast<vclap_id>(kValues)) return false;
    value = published.get(static_cast<int32_t>(id));
    return true;
}

bool EffectInstance::saveState(const vclap_ostream_t* stream) const {
    varnolet::EffectState state;
    published.getAll(state.values, kNumParameters);
    state.bypassed = published.get(varnolet::kBypassIndex) != 0.0f;
    uint8_t bytes[varnolet::kStateSize];
    varnolet::encodeState(state, bytes);
    return writeWhole(stream, bytes, sizeof bytes);
}

bool EffectInstance::loadState(const vclap_istream_t* stream) {
    // One byte more than the longest state: a longer stream is not ours.
    uint8_t bytes[varnolet::kLongestState + 1];
    size_t size = 0;
    varnolet::EffectState state;
    if (!readWhole(stream, bytes, sizeof bytes, size) || !varnolet::decodeState(bytes, size, state))
        return false;
    // A state saved before there was a bypass loads with the effect heard.
    float values[kValues];
    std::copy(state.values, state.values + kNumParameters, values);
    values[varnolet::kBypassIndex] = state.bypassed ? 1.0f : 0.0f;
    setAll(values, kValues);
    return true;
}

void EffectInstance::setAll(const float* values, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        if (active()) {
            requested.set(i, values[i]);
            published.set(i, values[i]);
        } else {
            apply(i, values[i]);
        }
    }
}

bool EffectInstance::loadFactoryPreset(uint32_t kind, const char* location, const char* key) {
    const float* values = factoryPresetValues(kind, location, key);
    if (!values) {
        if (hostPresetLoad && hostPresetLoad->on_error)
            hostPresetLoad->on_error(host, kind, location, key, 0, "no such factory preset");
        return false;
    }
    // The bypass is no part of a preset: it stays as the user left it.
    setAll(values, kNumParameters);
    if (hostParams && hostParams->rescan) hostParams->rescan(host, VCLAP_PARAM_RESCAN_VALUES);
    if (hostPresetLoad && hostPresetLoad->loaded) hostPresetLoad->loaded(host, kind, location, key);
    return true;
}

uint32_t EffectInstance::tail() const {
    float values[kNumParameters];
    published.getAll(values, kNumParameters);
    const double rate = processor.sampleRate() > 0.0 ? processor.sampleRate() : kRateBeforeActivation;
    return varnolet::tailFrames(values, rate);
}

}  // namespace varnolet_clap
