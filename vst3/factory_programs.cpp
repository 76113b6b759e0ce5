#include "vst3/factory_programs.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace varnolet_vst3 {

namespace {
constexpr const char* kDefaultsName = "Defaults";
constexpr int32_t kLastProgram = kProgramCount - 1;

bool sameLetters(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}
}  // namespace

const char* programName(int32_t program) {
    if (program < 0 || program > kLastProgram) return nullptr;
    return program == 0 ? kDefaultsName : varnolet::kFactoryPresets[program - 1].name;
}

void programValues(int32_t program, float (&values)[varnolet::kNumParameters]) {
    for (int32_t i = 0; i < varnolet::kNumParameters; ++i)
        values[i] = program > 0 && program <= kLastProgram
                        ? varnolet::kFactoryPresets[program - 1].values[i]
                        : varnolet::kParameters[i].defaultValue;
}

int32_t programFromNormalized(vst3::ParamValue normalized, int32_t held) {
    if (std::isnan(normalized)) return held;
    if (normalized <= 0.0) return 0;
    if (normalized >= 1.0) return kLastProgram;
    // Program n owns [n / count, (n + 1) / count); n / last, what a host
    // reads back for it, lies inside.
    return static_cast<int32_t>(normalized * kProgramCount);
}

vst3::ParamValue normalizedFromProgram(int32_t program) {
    return static_cast<vst3::ParamValue>(program) / kLastProgram;
}

bool programFromText(const char* text, int32_t& program) {
    if (!text) return false;
    for (int32_t p = 0; p <= kLastProgram; ++p)
        if (sameLetters(text, programName(p))) {
            program = p;
            return true;
        }
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || number < 0 || number > kLastProgram) return false;
    program = static_cast<int32_t>(number);
    return true;
}

}  // namespace varnolet_vst3
