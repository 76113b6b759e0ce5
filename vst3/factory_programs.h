// The programs the plug-in's root unit offers a host: first "Defaults", the
// values a new instance starts with, so that what a host shows as chosen is
// true before anything is picked; then the factory presets, in their table's
// order. The program-change parameter chooses one. It is no value of the
// effect: choosing sets the effect's parameters, the bypass stays as it is,
// and no state keeps which was chosen.
#pragma once

#include <cstdint>

#include "core/factory_presets.h"
#include "vst3/vst3_interface.h"

namespace varnolet_vst3 {

constexpr int32_t kProgramCount = varnolet::kNumFactoryPresets + 1;
constexpr vst3::ProgramListID kFactoryProgramListId = 1;
constexpr const char* kProgramListName = "Factory Presets";
constexpr const char* kProgramParameterName = "Program";

// A program's name; null for a number outside the list.
const char* programName(int32_t program);

// The effect's native values of a program (one in the list).
void programValues(int32_t program, float (&values)[varnolet::kNumParameters]);

// The program a normalised value of the parameter chooses, as the format
// divides a list parameter's range into equal steps; `held` for a value
// that is not a number.
int32_t programFromNormalized(vst3::ParamValue normalized, int32_t held);
vst3::ParamValue normalizedFromProgram(int32_t program);

// A program by its name, in any case, or by its number; false for anything
// else.
bool programFromText(const char* text, int32_t& program);

}  // namespace varnolet_vst3
