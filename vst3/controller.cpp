#include "vst3/controller.h"

#include <cmath>
#include <cstring>

#include "core/effect_identity.h"
#include "core/parameter_display.h"
#include "core/parameter_mapping.h"
#include "vst3/factory_programs.h"
#include "vst3/parameter_values.h"
#include "vst3/state_stream.h"
#include "vst3/utf16_text.h"

namespace varnolet_vst3 {

Controller::Controller() {
    for (int32_t i = 0; i < varnolet::kNumParameters; ++i)
        native[i] = varnolet::kParameters[i].defaultValue;
    native[varnolet::kBypassIndex] = 0.0f;
}

Controller::~Controller() {
    if (handler) handler->release();
}

vst3::tresult Controller::queryInterface(const vst3::TUID wanted, void** obj) {
    if (!obj) return vst3::kInvalidArgument;
    if (vst3::FUnknown::iid.matches(wanted) || vst3::IPluginBase::iid.matches(wanted) ||
        vst3::IEditController::iid.matches(wanted)) {
        *obj = static_cast<vst3::IEditController*>(this);
    } else if (vst3::IConnectionPoint::iid.matches(wanted)) {
        *obj = static_cast<vst3::IConnectionPoint*>(this);
    } else if (vst3::IUnitInfo::iid.matches(wanted)) {
        *obj = static_cast<vst3::IUnitInfo*>(this);
    } else {
        *obj = nullptr;
        return vst3::kNoInterface;
    }
    addRef();
    return vst3::kResultOk;
}

vst3::uint32 Controller::release() {
    const vst3::uint32 left = references.remove();
    if (left == 0) delete this;
    return left;
}

vst3::tresult Controller::setComponentState(vst3::IBStream* state) {
    varnolet::EffectState taken;
    if (!readState(state, taken)) return vst3::kResultFalse;
    float values[kParameterCount];
    valuesOfState(taken, values);
    follow(values);
    return vst3::kResultOk;
}

// Everything the controller shows comes from the component's state.
vst3::tresult Controller::setState(vst3::IBStream*) { return vst3::kResultOk; }
vst3::tresult Controller::getState(vst3::IBStream*) { return vst3::kResultOk; }

void Controller::follow(const float (&values)[kParameterCount]) {
    std::memcpy(native, values, sizeof native);
}

vst3::tresult Controller::setComponentHandler(vst3::IComponentHandler* given) {
    if (given) given->addRef();
    if (handler) handler->release();
    handler = given;
    return vst3::kResultOk;
}

void Controller::choose(int32_t chosen) {
    if (chosen == program) return;
    program = chosen;
    float values[varnolet::kNumParameters];
    programValues(chosen, values);
    std::memcpy(native, values, sizeof values);
    if (handler) handler->restartComponent(vst3::kParamValuesChanged);
}

vst3::tresult Controller::getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) {
    if (paramIndex == kProgramIndex) {
        std::memset(&info, 0, sizeof info);
        info.id = static_cast<vst3::ParamID>(paramIndex);
        toUtf16(kProgramParameterName, info.title, 128);
        toUtf16(kProgramParameterName, info.shortTitle, 128);
        info.stepCount = kProgramCount - 1;
        info.defaultNormalizedValue = 0.0;
        info.unitId = vst3::kRootUnitId;
        info.flags = vst3::ParameterInfo::kIsList | vst3::ParameterInfo::kIsProgramChange;
        return vst3::kResultOk;
    }
    if (paramIndex == varnolet::kBypassIndex) {
        std::memset(&info, 0, sizeof info);
        info.id = static_cast<vst3::ParamID>(paramIndex);
        toUtf16(varnolet::kBypassName, info.title, 128);
        toUtf16(varnolet::kBypassName, info.shortTitle, 128);
        info.stepCount = 1;
        info.defaultNormalizedValue = 0.0;
        info.unitId = vst3::kRootUnitId;
        info.flags = vst3::ParameterInfo::kCanAutomate | vst3::ParameterInfo::kIsBypass;
        return vst3::kResultOk;
    }
    if (paramIndex < 0 || paramIndex >= varnolet::kNumParameters) return vst3::kInvalidArgument;
    const ParameterDescription& p = varnolet::kParameters[paramIndex];
    std::memset(&info, 0, sizeof info);
    info.id = static_cast<vst3::ParamID>(paramIndex);
    toUtf16(p.name, info.title, 128);
    toUtf16(p.name, info.shortTitle, 128);
    toUtf16(varnolet::unitLabel(paramIndex), info.units, 128);
    info.stepCount = 0;
    info.defaultNormalizedValue = normalizedFromNative(paramIndex, p.defaultValue);
    info.unitId = vst3::kRootUnitId;
    info.flags = vst3::ParameterInfo::kCanAutomate;
    return vst3::kResultOk;
}

vst3::tresult Controller::getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                vst3::String128 string) {
    if (id == static_cast<vst3::ParamID>(kProgramIndex) && string) {
        toUtf16(programName(programFromNormalized(valueNormalized, program)), string, 128);
        return vst3::kResultOk;
    }
    const int32_t index = parameterIndex(id);
    if (index < 0 || !string) return vst3::kInvalidArgument;
    const float shown = nativeFromNormalized(index, valueNormalized, native[index]);
    if (index == varnolet::kBypassIndex) {
        toUtf16(varnolet::bypassText(shown != 0.0f), string, 128);
        return vst3::kResultOk;
    }
    char text[varnolet::kDisplaySize];
    varnolet::displayText(index, shown, text);
    toUtf16(text, string, 128);
    return vst3::kResultOk;
}

vst3::tresult Controller::getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                vst3::ParamValue& valueNormalized) {
    const int32_t index = listedIndex(id);
    if (index < 0 || !string) return vst3::kInvalidArgument;
    char text[129];
    fromUtf16(string, text, sizeof text);
    if (index == kProgramIndex) {
        int32_t chosen = 0;
        if (!programFromText(text, chosen)) return vst3::kResultFalse;
        valueNormalized = normalizedFromProgram(chosen);
        return vst3::kResultOk;
    }
    if (index == varnolet::kBypassIndex) {
        bool bypass = false;
        if (!varnolet::bypassFromText(text, bypass)) return vst3::kResultFalse;
        valueNormalized = bypass ? 1.0 : 0.0;
        return vst3::kResultOk;
    }
    float value = 0.0f;
    if (!varnolet::valueFromText(index, text, value)) return vst3::kResultFalse;
    valueNormalized = normalizedFromNative(index, value);
    return vst3::kResultOk;
}

vst3::ParamValue Controller::normalizedParamToPlain(vst3::ParamID id,
                                                    vst3::ParamValue valueNormalized) {
    if (id == static_cast<vst3::ParamID>(kProgramIndex))
        return programFromNormalized(valueNormalized, program);
    const int32_t index = parameterIndex(id);
    if (index < 0) return 0.0;
    return nativeFromNormalized(index, valueNormalized, native[index]);
}

vst3::ParamValue Controller::plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) {
    const int32_t index = listedIndex(id);
    if (index < 0 || std::isnan(plainValue)) return 0.0;
    if (index == varnolet::kBypassIndex) return plainValue >= 0.5 ? 1.0 : 0.0;
    if (index == kProgramIndex)
        return normalizedFromProgram(static_cast<int32_t>(
            std::lround(std::fmin(kProgramCount - 1, std::fmax(0.0, plainValue)))));
    const ParameterDescription& p = varnolet::kParameters[index];
    const double clamped = std::fmin(p.maxValue, std::fmax(p.minValue, plainValue));
    return normalizedFromNative(index, static_cast<float>(clamped));
}

vst3::ParamValue Controller::getParamNormalized(vst3::ParamID id) {
    if (id == static_cast<vst3::ParamID>(kProgramIndex)) return normalizedFromProgram(program);
    const int32_t index = parameterIndex(id);
    return index < 0 ? 0.0 : normalizedFromNative(index, native[index]);
}

vst3::tresult Controller::setParamNormalized(vst3::ParamID id, vst3::ParamValue value) {
    if (id == static_cast<vst3::ParamID>(kProgramIndex)) {
        choose(programFromNormalized(value, program));
        return vst3::kResultOk;
    }
    const int32_t index = parameterIndex(id);
    if (index < 0) return vst3::kInvalidArgument;
    native[index] = nativeFromNormalized(index, value, native[index]);
    return vst3::kResultOk;
}

vst3::tresult Controller::getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) {
    if (unitIndex != 0) return vst3::kInvalidArgument;
    std::memset(&info, 0, sizeof info);
    info.id = vst3::kRootUnitId;
    info.parentUnitId = vst3::kNoParentUnitId;
    toUtf16(varnolet::kProductName, info.name, 128);
    info.programListId = kFactoryProgramListId;
    return vst3::kResultOk;
}

vst3::tresult Controller::getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info) {
    if (listIndex != 0) return vst3::kInvalidArgument;
    std::memset(&info, 0, sizeof info);
    info.id = kFactoryProgramListId;
    toUtf16(kProgramListName, info.name, 128);
    info.programCount = kProgramCount;
    return vst3::kResultOk;
}

vst3::tresult Controller::getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                         vst3::String128 name) {
    const char* text = programName(programIndex);
    if (listId != kFactoryProgramListId || !text || !name) return vst3::kInvalidArgument;
    toUtf16(text, name, 128);
    return vst3::kResultOk;
}

vst3::tresult Controller::connect(vst3::IConnectionPoint* other) {
    if (!other) return vst3::kInvalidArgument;
    if (connectedTo) return vst3::kResultFalse;
    connectedTo = other;
    return vst3::kResultOk;
}

vst3::tresult Controller::disconnect(vst3::IConnectionPoint* other) {
    if (!other || other != connectedTo) return vst3::kInvalidArgument;
    connectedTo = nullptr;
    return vst3::kResultOk;
}

}  // namespace varnolet_vst3
