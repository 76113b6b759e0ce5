#include "vst3/component.h"

#include <cstring>
#include <limits>
#include <new>

#include "vst3/class_ids.h"
#include "vst3/controller.h"
#include "vst3/factory_programs.h"
#include "vst3/parameter_values.h"
#include "core/effect_tail.h"
#include "vst3/state_stream.h"
#include "vst3/utf16_text.h"

namespace varnolet_vst3 {

namespace {

// The rate a host that never sets one up gets, as a VST 2.4 host would.
constexpr double kRateWithoutSetup = 44100.0;

bool isOurBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index) {
    return type == vst3::kAudio && (dir == vst3::kInput || dir == vst3::kOutput) && index == 0;
}

// A channel of a bus the host passed, or null where there is none.
float* channel(const vst3::AudioBusBuffers* buses, vst3::int32 count, vst3::int32 index) {
    if (!buses || count < 1 || !buses[0].channelBuffers32) return nullptr;
    if (index >= buses[0].numChannels) return nullptr;
    return buses[0].channelBuffers32[index];
}

// Where a stretch of a block starts, for channels that may be absent.
const float* from(const float* samples, int32_t frame) {
    return samples ? samples + frame : nullptr;
}
float* from(float* samples, int32_t frame) { return samples ? samples + frame : nullptr; }

}  // namespace

Component::Component() {
    for (int32_t i = 0; i < varnolet::kNumParameters; ++i)
        values.set(i, varnolet::kParameters[i].defaultValue);
    values.set(varnolet::kBypassIndex, 0.0f);
    forgetTakenValues();
}

Component::~Component() {
    if (controller) controller->release();
}

vst3::tresult Component::queryInterface(const vst3::TUID wanted, void** obj) {
    if (!obj) return vst3::kInvalidArgument;
    if (vst3::FUnknown::iid.matches(wanted) || vst3::IPluginBase::iid.matches(wanted) ||
        vst3::IComponent::iid.matches(wanted)) {
        *obj = static_cast<vst3::IComponent*>(this);
    } else if (vst3::IAudioProcessor::iid.matches(wanted)) {
        *obj = static_cast<vst3::IAudioProcessor*>(this);
    } else if (vst3::IConnectionPoint::iid.matches(wanted)) {
        *obj = static_cast<vst3::IConnectionPoint*>(this);
    } else if (vst3::IEditController::iid.matches(wanted)) {
        // Some hosts look for the controller on the component first.
        Controller* own = ownController();
        *obj = own ? static_cast<vst3::IEditController*>(own) : nullptr;
        if (!own) return vst3::kOutOfMemory;
        own->addRef();
        return vst3::kResultOk;
    } else {
        *obj = nullptr;
        return vst3::kNoInterface;
    }
    addRef();
    return vst3::kResultOk;
}

vst3::uint32 Component::release() {
    const vst3::uint32 left = references.remove();
    if (left == 0) delete this;
    return left;
}

Controller* Component::ownController() {
    if (!controller) {
        controller = new (std::nothrow) Controller;
        if (controller) {
            float now[kParameterCount];
            values.getAll(now, kParameterCount);
            controller->follow(now);
        }
    }
    return controller;
}

vst3::tresult Component::initialize(vst3::FUnknown*) { return vst3::kResultOk; }

vst3::tresult Component::terminate() {
    setActive(false);
    return vst3::kResultOk;
}

vst3::tresult Component::getControllerClassId(vst3::TUID classId) {
    if (!classId) return vst3::kInvalidArgument;
    std::memcpy(classId, kControllerClassId.bytes, sizeof kControllerClassId.bytes);
    return vst3::kResultOk;
}

vst3::tresult Component::setIoMode(vst3::IoMode) { return vst3::kNotImplemented; }

vst3::int32 Component::getBusCount(vst3::MediaType type, vst3::BusDirection dir) {
    return type == vst3::kAudio && (dir == vst3::kInput || dir == vst3::kOutput) ? 1 : 0;
}

vst3::tresult Component::getBusInfo(vst3::MediaType type, vst3::BusDirection dir,
                                    vst3::int32 index, vst3::BusInfo& bus) {
    if (!isOurBus(type, dir, index)) return vst3::kInvalidArgument;
    std::memset(&bus, 0, sizeof bus);
    bus.mediaType = vst3::kAudio;
    bus.direction = dir;
    bus.channelCount = dir == vst3::kInput && monoInput ? 1 : 2;
    toUtf16(dir == vst3::kInput ? "Input" : "Output", bus.name, 128);
    bus.busType = vst3::kMain;
    bus.flags = vst3::BusInfo::kDefaultActive;
    return vst3::kResultOk;
}

vst3::tresult Component::getRoutingInfo(vst3::RoutingInfo&, vst3::RoutingInfo&) {
    return vst3::kNotImplemented;
}

// A bus the host switches off arrives without buffers, which process takes
// as silence in and nowhere to write out.
vst3::tresult Component::activateBus(vst3::MediaType type, vst3::BusDirection dir,
                                     vst3::int32 index, vst3::TBool) {
    return isOurBus(type, dir, index) ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::tresult Component::setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                            vst3::SpeakerArrangement* outputs,
                                            vst3::int32 numOuts) {
    if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs)) return vst3::kInvalidArgument;
    if (active.load(std::memory_order_relaxed)) return vst3::kResultFalse;
    // Stereo out always; in, stereo or a mono track's one channel, which
    // feeds both of the effect's inputs.
    if (numIns != 1 || numOuts != 1 || outputs[0] != vst3::kArrangementStereo) return vst3::kResultFalse;
    if (inputs[0] != vst3::kArrangementStereo && inputs[0] != vst3::kArrangementMono)
        return vst3::kResultFalse;
    monoInput = inputs[0] == vst3::kArrangementMono;
    return vst3::kResultTrue;
}

vst3::tresult Component::getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                           vst3::SpeakerArrangement& arr) {
    if (!isOurBus(vst3::kAudio, dir, index)) return vst3::kInvalidArgument;
    arr = dir == vst3::kInput && monoInput ? vst3::kArrangementMono : vst3::kArrangementStereo;
    return vst3::kResultOk;
}

vst3::tresult Component::canProcessSampleSize(vst3::int32 symbolicSampleSize) {
    return symbolicSampleSize == vst3::kSample32 ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult Component::setupProcessing(vst3::ProcessSetup& setup) {
    // The line is made anew here, which must not happen under blocks being
    // processed.
    if (active.load(std::memory_order_relaxed)) return vst3::kResultFalse;
    if (setup.symbolicSampleSize != vst3::kSample32) return vst3::kResultFalse;
    if (!varnolet::EffectProcessor::supportsSampleRate(setup.sampleRate)) return vst3::kResultFalse;
    try {
        effect.setSampleRate(setup.sampleRate);
    } catch (const std::bad_alloc&) {
        return vst3::kOutOfMemory;
    }
    setUp = true;
    return vst3::kResultOk;
}

vst3::tresult Component::setActive(vst3::TBool state) {
    if (!state) {
        active.store(false, std::memory_order_release);
        return vst3::kResultOk;
    }
    if (active.load(std::memory_order_relaxed)) return vst3::kResultOk;
    if (!setUp) {
        try {
            effect.setSampleRate(kRateWithoutSetup);
        } catch (const std::bad_alloc&) {
            return vst3::kOutOfMemory;
        }
        setUp = true;
    }
    effect.startFromSilence();
    loadValuesIntoEffect();
    active.store(true, std::memory_order_release);
    return vst3::kResultOk;
}

vst3::tresult Component::setProcessing(vst3::TBool) { return vst3::kResultOk; }

void Component::loadValuesIntoEffect() {
    statesTaken = statesGiven.load(std::memory_order_acquire);
    forgetTakenValues();
    for (int32_t i = 0; i < kParameterCount; ++i) setInEffect(i, values.get(i));
}

float Component::setInEffect(int32_t index, float native) {
    if (index == varnolet::kBypassIndex) {
        effect.setBypassed(native != 0.0f);
        return effect.bypassed() ? 1.0f : 0.0f;
    }
    effect.setParameter(index, native);
    return effect.parameter(index);
}

void Component::forgetTakenValues() {
    // Not a number: no value a queue brings has these bits. A program sent
    // again is then passed over for being the program already chosen.
    for (double& last : lastTaken) last = std::numeric_limits<double>::quiet_NaN();
}

void Component::chooseProgram(int32_t chosen) {
    if (chosen == program) return;
    program = chosen;
    float native[varnolet::kNumParameters];
    programValues(chosen, native);
    const bool audible = active.load(std::memory_order_relaxed);
    for (int32_t i = 0; i < varnolet::kNumParameters; ++i) {
        values.set(i, audible ? setInEffect(i, native[i]) : native[i]);
        lastTaken[i] = std::numeric_limits<double>::quiet_NaN();
    }
}

vst3::tresult Component::setState(vst3::IBStream* state) {
    varnolet::EffectState taken;
    if (!readState(state, taken)) return vst3::kResultFalse;
    float read[kParameterCount];
    valuesOfState(taken, read);
    for (int32_t i = 0; i < kParameterCount; ++i) values.set(i, read[i]);
    statesGiven.fetch_add(1, std::memory_order_release);
    if (controller) controller->follow(read);
    return vst3::kResultOk;
}

vst3::tresult Component::getState(vst3::IBStream* state) {
    float now[kParameterCount];
    values.getAll(now, kParameterCount);
    return writeState(state, stateOfValues(now)) ? vst3::kResultOk : vst3::kResultFalse;
}

void Component::takeChangesWithoutAudio(vst3::IParameterChanges* queues) {
    changes.start(queues, 0);
    changes.takeDue(0, [this](int32_t index, vst3::ParamValue normalized) {
        if (index == kProgramIndex)
            chooseProgram(programFromNormalized(normalized, program));
        else
            values.set(index, nativeFromNormalized(index, normalized, values.get(index)));
    });
}

void Component::clearOutputs(vst3::ProcessData& data) {
    if (data.numSamples <= 0) return;
    for (vst3::int32 c = 0; c < 2; ++c)
        if (float* out = channel(data.outputs, data.numOutputs, c))
            std::memset(out, 0, sizeof(float) * static_cast<size_t>(data.numSamples));
}

vst3::tresult Component::process(vst3::ProcessData& data) {
    if (data.symbolicSampleSize != vst3::kSample32) return vst3::kInvalidArgument;
    if (!active.load(std::memory_order_acquire)) {
        takeChangesWithoutAudio(data.inputParameterChanges);
        clearOutputs(data);
        return vst3::kResultOk;
    }
    if (statesGiven.load(std::memory_order_acquire) != statesTaken) loadValuesIntoEffect();

    const int32_t frames = data.numSamples > 0 ? data.numSamples : 0;
    const float* inLeft = channel(data.inputs, data.numInputs, 0);
    const float* inRight = channel(data.inputs, data.numInputs, 1);
    // A mono track's channel feeds both inputs.
    if (inLeft && !inRight && data.inputs[0].numChannels == 1) inRight = inLeft;
    float* outLeft = channel(data.outputs, data.numOutputs, 0);
    float* outRight = channel(data.outputs, data.numOutputs, 1);

    vst3::IParameterChanges* queues = data.inputParameterChanges;
    if (!queues || queues->getParameterCount() <= 0) {
        // The usual block: no changes, the whole block in one piece.
        effect.process(inLeft, inRight, outLeft, outRight, static_cast<uint32_t>(frames));
        return vst3::kResultOk;
    }
    const auto take = [this](int32_t index, vst3::ParamValue normalized) {
        if (std::memcmp(&lastTaken[index], &normalized, sizeof normalized) == 0) return;
        lastTaken[index] = normalized;
        if (index == kProgramIndex) {
            chooseProgram(programFromNormalized(normalized, program));
            return;
        }
        const float held = index == varnolet::kBypassIndex ? (effect.bypassed() ? 1.0f : 0.0f)
                                                           : effect.parameter(index);
        values.set(index, setInEffect(index, nativeFromNormalized(index, normalized, held)));
    };
    changes.start(queues, frames);
    for (int32_t frame = 0; frame < frames;) {
        const int32_t next = changes.takeDue(frame, take);
        effect.process(from(inLeft, frame), from(inRight, frame), from(outLeft, frame),
                       from(outRight, frame), static_cast<uint32_t>(next - frame));
        frame = next;
    }
    // Points at or past the block's end hold from the next block on.
    changes.takeDue(frames, take);
    return vst3::kResultOk;
}

vst3::uint32 Component::getTailSamples() {
    float native[varnolet::kNumParameters];
    values.getAll(native, varnolet::kNumParameters);
    const double rate = effect.sampleRate() > 0.0 ? effect.sampleRate() : kRateWithoutSetup;
    static_assert(varnolet::kEndlessTail == vst3::kInfiniteTail, "both say a tail never ends alike");
    return varnolet::tailFrames(native, rate);
}

vst3::tresult Component::connect(vst3::IConnectionPoint* other) {
    if (!other) return vst3::kInvalidArgument;
    if (connectedTo) return vst3::kResultFalse;
    connectedTo = other;
    return vst3::kResultOk;
}

vst3::tresult Component::disconnect(vst3::IConnectionPoint* other) {
    if (!other || other != connectedTo) return vst3::kInvalidArgument;
    connectedTo = nullptr;
    return vst3::kResultOk;
}

vst3::tresult Component::notify(vst3::IMessage*) { return vst3::kResultFalse; }

}  // namespace varnolet_vst3
