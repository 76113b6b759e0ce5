// The plug-in's edit controller: the effect's parameters and the bypass after
// them as a host lists them, their texts, and the values the host's panel
// shows, following the component's state. It keeps no state of its own.
#pragma once

#include "core/varnolet_parameters.h"
#include "vst3/parameter_values.h"
#include "vst3/ref_counted.h"
#include "vst3/vst3_interface.h"

namespace varnolet_vst3 {

class Controller final : public vst3::IEditController, public vst3::IConnectionPoint {
public:
    Controller();
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // FUnknown
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override;
    vst3::uint32 VST3_CALL addRef() override { return references.add(); }
    vst3::uint32 VST3_CALL release() override;

    // IPluginBase
    vst3::tresult VST3_CALL initialize(vst3::FUnknown*) override { return vst3::kResultOk; }
    vst3::tresult VST3_CALL terminate() override { return vst3::kResultOk; }

    // IEditController
    vst3::tresult VST3_CALL setComponentState(vst3::IBStream* state) override;
    vst3::tresult VST3_CALL setState(vst3::IBStream* state) override;
    vst3::tresult VST3_CALL getState(vst3::IBStream* state) override;
    vst3::int32 VST3_CALL getParameterCount() override { return kParameterCount; }
    vst3::tresult VST3_CALL getParameterInfo(vst3::int32 paramIndex,
                                             vst3::ParameterInfo& info) override;
    vst3::tresult VST3_CALL getParamStringByValue(vst3::ParamID id,
                                                  vst3::ParamValue valueNormalized,
                                                  vst3::String128 string) override;
    vst3::tresult VST3_CALL getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                  vst3::ParamValue& valueNormalized) override;
    vst3::ParamValue VST3_CALL normalizedParamToPlain(vst3::ParamID id,
                                                      vst3::ParamValue valueNormalized) override;
    vst3::ParamValue VST3_CALL plainParamToNormalized(vst3::ParamID id,
                                                      vst3::ParamValue plainValue) override;
    vst3::ParamValue VST3_CALL getParamNormalized(vst3::ParamID id) override;
    vst3::tresult VST3_CALL setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult VST3_CALL setComponentHandler(vst3::IComponentHandler*) override {
        return vst3::kResultOk;
    }
    // No editor: hosts draw their own panel from the parameters.
    vst3::IPlugView* VST3_CALL createView(vst3::FIDString) override { return nullptr; }

    // IConnectionPoint
    vst3::tresult VST3_CALL connect(vst3::IConnectionPoint* other) override;
    vst3::tresult VST3_CALL disconnect(vst3::IConnectionPoint* other) override;
    vst3::tresult VST3_CALL notify(vst3::IMessage*) override { return vst3::kResultFalse; }

    // The values of a state the component took, for a controller that the
    // host asked the component for and may never give that state itself.
    void follow(const float (&values)[kParameterCount]);

private:
    ~Controller() = default;

    RefCount references;
    const void* connectedTo = nullptr;
    float native[kParameterCount];
};

}  // namespace varnolet_vst3
