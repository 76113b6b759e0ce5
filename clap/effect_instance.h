// One instance of the effect as a CLAP host holds it: its life (activation at
// a rate, processing, reset), the parameter values it holds and reports, the
// blocks it processes with the host's parameter events at their frames, its
// state and its tail.
//
// Threads: the host calls everything from its main thread but process,
// reset, start and stop processing, and flush while active, which come from
// its audio thread. While inactive, the main thread owns the processor; while
// active, the audio thread does, and what the main thread sets (a state
// loaded) travels through `requested` and is taken at the next block. What
// the host reads back (`published`) is written by whichever thread applies a
// value.
#pragma once

#include <atomic>
#include <cstdint>

#include "clap/clap_interface.h"
#include "core/bypass_parameter.h"
#include "core/effect_processor.h"
#include "core/parameter_store.h"
#include "core/varnolet_parameters.h"

namespace varnolet_clap {

class EffectInstance {
public:
    // The host may be null: then nothing is ever told to it.
    explicit EffectInstance(const vclap_host_t* host);
    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;

    // Finds the host's extensions this instance talks to.
    void init();

    // False for a rate the line cannot be made for, or when memory runs out;
    // an active instance is deactivated first.
    bool activate(double sampleRate);
    void deactivate();
    bool active() const { return isActive.load(std::memory_order_relaxed); }
    // Silence in the line and a filter at rest.
    void reset();
    vclap_process_status process(const vclap_process_t& block);

    // Parameter changes while not processing.
    void flush(const vclap_input_events_t* events);
    // The value the host reads back, in the parameter's own unit.
    bool parameterValue(vclap_id id, double& value) const;

    bool saveState(const vclap_ostream_t* stream) const;
    // False, and the values kept, for a stream that is not a whole state of
    // ours.
    bool loadState(const vclap_istream_t* stream);
    // Takes the values of a factory preset, tells the host they changed and
    // that the preset was loaded; false, and the host told why, for a
    // location or key that names none.
    bool loadFactoryPreset(uint32_t kind, const char* location, const char* key);

    uint32_t tail() const;

private:
    // On the thread that owns the processor.
    void apply(int32_t index, float value);
    void takeRequests();
    // The first `count` values at once, from the main thread.
    void setAll(const float* values, int32_t count);
    void tellTailIfChanged();

    const vclap_host_t* const host;
    const vclap_host_tail_t* hostTail = nullptr;
    const vclap_host_params_t* hostParams = nullptr;
    const vclap_host_preset_load_t* hostPresetLoad = nullptr;

    varnolet::EffectProcessor processor;
    std::atomic<bool> isActive{false};
    // The parameters, and the bypass after them.
    static constexpr int32_t kValues = varnolet::kBypassIndex + 1;
    varnolet::ParameterStore requested{kValues};
    uint32_t takenRequests = 0;
    varnolet::ParameterStore published{kValues};
    uint32_t toldTail = 0;
};

}  // namespace varnolet_clap
