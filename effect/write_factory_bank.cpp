// Writes the factory presets as a bank file for VST 2.4 hosts:
//   varnolet_factory_bank OUTPUT.fxb
// A regular bank ('FxBk') of one program of parameter values ('FxCk') per
// preset, which every host's preset menu loads. A host loads a program by
// sending each 0..1 value, so each value is the one the module maps onto
// exactly the preset's native value, whatever the program held before.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/factory_presets.h"
#include "core/parameter_mapping.h"
#include "effect/tolm_varnolet.h"

using namespace varnolet;

namespace {

constexpr size_t kProgramNameBytes = 28;
constexpr size_t kBankReservedBytes = 128;

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Whether the module, holding `stored`, keeps exactly `native` when sent x.
bool reaches(const ParameterDescription& description, float x, float stored, float native) {
    return sameBits(parameter_mapping::nativeFromHost(description, x, stored), native);
}

// The 0..1 value that gives the preset's native value from whatever value
// the parameter held: the defaults' and every other preset's. The float
// nearest the exact normalised value need not map back onto the native value
// (a logarithmic range rounds twice), so its neighbours are tried too.
bool hostValueFor(int32_t parameter, float native, float& result) {
    const ParameterDescription& description = kParameters[parameter];
    std::vector<float> previous{description.defaultValue};
    for (const FactoryPreset& preset : kFactoryPresets) previous.push_back(preset.values[parameter]);
    const float nearest = parameter_mapping::hostFromNative(description, native);
    float below = nearest, above = nearest;
    for (int step = 0; step < 64; ++step) {
        for (float x : {below, above}) {
            if (!(x >= 0.0f && x <= 1.0f)) continue;
            bool all = true;
            for (float stored : previous) all = all && reaches(description, x, stored, native);
            if (all) {
                result = x;
                return true;
            }
        }
        below = std::nextafter(below, -1.0f);
        above = std::nextafter(above, 2.0f);
    }
    return false;
}

class BigEndianWriter {
public:
    void integer(int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>(u >> shift));
    }
    void real(float v) {
        uint32_t u;
        std::memcpy(&u, &v, sizeof u);
        integer(static_cast<int32_t>(u));
    }
    void fourChars(const char* code) { bytes.append(code, 4); }
    void text(const char* s, size_t width) {
        const size_t length = std::strlen(s);
        for (size_t i = 0; i < width; ++i) bytes.push_back(i < length && i + 1 < width ? s[i] : '\0');
    }
    void zeros(size_t n) { bytes.append(n, '\0'); }
    // A size field counts the bytes after itself.
    void sizeAt(size_t at) {
        const uint32_t size = static_cast<uint32_t>(bytes.size() - at - 4);
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(size >> (24 - 8 * i));
    }

    std::string bytes;
};

bool writeProgram(BigEndianWriter& out, const FactoryPreset& preset) {
    const size_t start = out.bytes.size();
    out.fourChars("CcnK");
    out.integer(0);
    out.fourChars("FxCk");
    out.integer(1);
    out.integer(TolmVarnolet::kUniqueId);
    out.integer(TolmVarnolet::kVersion);
    out.integer(kNumParameters);
    out.text(preset.name, kProgramNameBytes);
    for (int32_t i = 0; i < kNumParameters; ++i) {
        float x = 0.0f;
        if (!hostValueFor(i, preset.values[i], x)) {
            std::fprintf(stderr, "%s: no 0..1 value gives %s exactly %.9g\n", preset.name,
                         kParameters[i].name, static_cast<double>(preset.values[i]));
            return false;
        }
        out.real(x);
    }
    out.sizeAt(start + 4);
    return true;
}

// A program name longer than a host's 24 characters would be cut short.
bool namesFit() {
    for (const FactoryPreset& preset : kFactoryPresets)
        if (std::strlen(preset.name) > static_cast<size_t>(kVstMaxProgNameLen)) {
            std::fprintf(stderr, "the preset name \"%s\" is longer than %d characters\n", preset.name,
                         kVstMaxProgNameLen);
            return false;
        }
    return true;
}

}  // namespace

static_assert(kNumFactoryPresets <= kNumPrograms, "a host loads a bank into the module's programs");

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.fxb\n", argv[0]);
        return 2;
    }
    if (!namesFit()) return 1;
    BigEndianWriter out;
    out.fourChars("CcnK");
    out.integer(0);
    out.fourChars("FxBk");
    out.integer(1);  // the first version, which every host reads: no current program
    out.integer(TolmVarnolet::kUniqueId);
    out.integer(TolmVarnolet::kVersion);
    out.integer(kNumFactoryPresets);
    out.zeros(kBankReservedBytes);
    for (const FactoryPreset& preset : kFactoryPresets)
        if (!writeProgram(out, preset)) return 1;
    out.sizeAt(4);

    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file << out.bytes;
    file.close();
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
