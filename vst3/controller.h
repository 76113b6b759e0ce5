// The plug-in's edit controller: the effect's parameters, the bypass and the
// program change after them as a host lists them, their texts, the values the
// host's panel shows, following the component's state, and the root unit
// with its list of programs. It keeps no state of its own.
#pragma once

#include "core/varnolet_parameters.h"
#include "vst3/parameter_values.h"
#include "vst3/ref_counted.h"
#include "vst3/vst3_interface.h"

namespace varnolet_vst3 {

class Controller final : public vst3::IEditController,
                         public vst3::IConnectionPoint,
                         public vst3::IUnitInfo {
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
    vst3::int32 VST3_CALL getParameterCount() override { return kListedParameterCount; }
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
    vst3::tresult VST3_CALL setComponentHandler(vst3::IComponentHandler* handler) override;
    // No editor: hosts draw their own panel from the parameters.
    vst3::IPlugView* VST3_CALL createView(vst3::FIDString) override { return nullptr; }

    // IConnectionPoint
    vst3::tresult VST3_CALL connect(vst3::IConnectionPoint* other) override;
    vst3::tresult VST3_CALL disconnect(vst3::IConnectionPoint* other) override;
    vst3::tresult VST3_CALL notify(vst3::IMessage*) override { return vst3::kResultFalse; }

    // IUnitInfo: the root unit alone, with the programs.
    vst3::int32 VST3_CALL getUnitCount() override { return 1; }
    vst3::tresult VST3_CALL getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) override;
    vst3::int32 VST3_CALL getProgramListCount() override { return 1; }
    vst3::tresult VST3_CALL getProgramListInfo(vst3::int32 listIndex,
                                               vst3::ProgramListInfo& info) override;
    vst3::tresult VST3_CALL getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                           vst3::String128 name) override;
    vst3::tresult VST3_CALL getProgramInfo(vst3::ProgramListID, vst3::int32, vst3::CString,
                                           vst3::String128) override {
        return vst3::kResultFalse;
    }
    vst3::tresult VST3_CALL hasProgramPitchNames(vst3::ProgramListID, vst3::int32) override {
        return vst3::kResultFalse;
    }
    vst3::tresult VST3_CALL getProgramPitchName(vst3::ProgramListID, vst3::int32, vst3::int16,
                                                vst3::String128) override {
        return vst3::kResultFalse;
    }
    vst3::UnitID VST3_CALL getSelectedUnit() override { return vst3::kRootUnitId; }
    vst3::tresult VST3_CALL selectUnit(vst3::UnitID unitId) override {
        return unitId == vst3::kRootUnitId ? vst3::kResultOk : vst3::kResultFalse;
    }
    vst3::tresult VST3_CALL getUnitByBus(vst3::MediaType, vst3::BusDirection, vst3::int32,
                                         vst3::int32, vst3::UnitID&) override {
        return vst3::kResultFalse;
    }
    vst3::tresult VST3_CALL setUnitProgramData(vst3::int32, vst3::int32, vst3::IBStream*) override {
        return vst3::kNotImplemented;
    }

    // The values of a state the component took, for a controller that the
    // host asked the component for and may never give that state itself.
    void follow(const float (&values)[kParameterCount]);

private:
    ~Controller();

    // A program's values, when it is not the one last chosen; the host is
    // asked to read every value again.
    void choose(int32_t program);

    RefCount references;
    const void* connectedTo = nullptr;
    vst3::IComponentHandler* handler = nullptr;
    float native[kParameterCount];
    // The program last chosen; choosing another sets the effect's values.
    int32_t program = 0;
};

}  // namespace varnolet_vst3
