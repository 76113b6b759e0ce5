// The plug-in's component: one stereo bus in and one out, the audio
// processor on the effect core, and the effect's state.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/effect_processor.h"
#include "core/parameter_store.h"
#include "vst3/parameter_values.h"
#include "vst3/queued_changes.h"
#include "vst3/ref_counted.h"
#include "vst3/vst3_interface.h"

namespace varnolet_vst3 {

class Controller;

class Component final : public vst3::IComponent,
                        public vst3::IAudioProcessor,
                        public vst3::IConnectionPoint {
public:
    Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    // FUnknown
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override { return references.add(); }
    vst3::uint32 VST3_CALL release() override;

    // IPluginBase
    vst3::tresult VST3_CALL initialize(vst3::FUnknown* context) override;
    vst3::tresult VST3_CALL terminate() override;

    // IComponent
    vst3::tresult VST3_CALL getControllerClassId(vst3::TUID classId) override;
    vst3::tresult VST3_CALL setIoMode(vst3::IoMode mode) override;
    vst3::int32 VST3_CALL getBusCount(vst3::MediaType type, vst3::BusDirection dir) override;
    vst3::tresult VST3_CALL getBusInfo(vst3::MediaType type, vst3::BusDirection dir,
                                       vst3::int32 index, vst3::BusInfo& bus) override;
    vst3::tresult VST3_CALL getRoutingInfo(vst3::RoutingInfo& inInfo,
                                           vst3::RoutingInfo& outInfo) override;
    vst3::tresult VST3_CALL activateBus(vst3::MediaType type, vst3::BusDirection dir,
                                        vst3::int32 index, vst3::TBool state) override;
    vst3::tresult VST3_CALL setActive(vst3::TBool state) override;
    vst3::tresult VST3_CALL setState(vst3::IBStream* state) override;
    vst3::tresult VST3_CALL getState(vst3::IBStream* state) override;

    // IAudioProcessor
    vst3::tresult VST3_CALL setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                               vst3::SpeakerArrangement* outputs,
                                               vst3::int32 numOuts) override;
    vst3::tresult VST3_CALL getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                              vst3::SpeakerArrangement& arr) override;
    vst3::tresult VST3_CALL canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
    vst3::uint32 VST3_CALL getLatencySamples() override { return 0; }
    vst3::tresult VST3_CALL setupProcessing(vst3::ProcessSetup& setup) override;
    vst3::tresult VST3_CALL setProcessing(vst3::TBool state) override;
    vst3::tresult VST3_CALL process(vst3::ProcessData& data) override;
    vst3::uint32 VST3_CALL getTailSamples() override;

    // IConnectionPoint: the component and its controller need no messages,
    // but hosts that connect the two are answered.
    vst3::tresult VST3_CALL connect(vst3::IConnectionPoint* other) override;
    vst3::tresult VST3_CALL disconnect(vst3::IConnectionPoint* other) override;
    vst3::tresult VST3_CALL notify(vst3::IMessage* message) override;

private:
    ~Component();

    // The controller a host asks the component itself for, made on first
    // request and kept as long as the component; it follows every state the
    // component is given.
    Controller* ownController();

    // The values of the store into the effect (not while processing).
    void loadValuesIntoEffect();
    // A native value, or the bypass's 0 or 1, into the effect; what it holds
    // after.
    float setInEffect(int32_t index, float native);
    void forgetTakenValues();
    // A program's values into the effect, when it is not the one last
    // chosen: a host that sends the program change again with every block
    // does not undo the values set since.
    void chooseProgram(int32_t program);
    // While inactive, the block's points change only the stored values.
    void takeChangesWithoutAudio(vst3::IParameterChanges* changes);
    void clearOutputs(vst3::ProcessData& data);

    RefCount references;
    Controller* controller = nullptr;
    const void* connectedTo = nullptr;

    // The native values as the host last set them, through a state or the
    // points of processed blocks: written by either thread, whole floats at
    // a time, and read by getState. A new state is counted, so that the
    // audio thread takes it into the effect at its next block.
    varnolet::ParameterStore values{kParameterCount};
    std::atomic<uint32_t> statesGiven{0};
    uint32_t statesTaken = 0;

    // Owned by the host's audio thread while active, by its main thread
    // otherwise.
    varnolet::EffectProcessor effect;
    QueuedChanges changes;
    // The normalised value each parameter last took from a queue. Some hosts
    // send every parameter at the start of every block; the same value again
    // is then passed over without being mapped anew.
    double lastTaken[kListedParameterCount];
    // The program last chosen, which a state or an activation leaves as it
    // is; "Defaults" in a new instance.
    int32_t program = 0;
    std::atomic<bool> active{false};
    bool setUp = false;
    bool monoInput = false;
};

}  // namespace varnolet_vst3
