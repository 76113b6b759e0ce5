// Prints a fingerprint of everything the built module gives a host (rendered
// audio over many settings and rates, parameter values and display texts,
// program names), and of the elementary functions, one line per scenario:
//   module_digest MODULE [REFERENCE]
// Builds for different platforms must print the same lines: the arithmetic is
// defined to the bit. Given the lines of another build as REFERENCE, it
// compares and fails on any difference.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/library/plugin_instance.h"
#include "host/library/recording_host.h"
#include "host/library/vst_module.h"
#include "numeric/portable_math.h"
#include "tests/platforms/digest.h"

namespace {

constexpr int32_t kParameters = 23;
constexpr int32_t kType = 19;

// Renders noise with an impulse in front through an instance, changing
// settings between blocks of varied size when asked.
std::string renderScenario(const VstModule& module, float rate, uint32_t seed, int32_t frames,
                           bool changeEveryBlock) {
    RecordingHost host;
    std::string error;
    auto plugin = PluginInstance::create(module, host, error);
    if (!plugin) return "no-instance:" + error;
    plugin->prepare(rate, 1024);
    Draw draw(seed);
    Fingerprint fingerprint;
    if (!changeEveryBlock)
        for (int32_t i = 0; i < kParameters; ++i) plugin->setParameter(i, draw.unit());
    std::vector<float> inL(1024), inR(1024), outL(1024), outR(1024);
    bool first = true;
    for (int32_t done = 0; done < frames;) {
        const int32_t block = std::min<int32_t>(1 + draw.below(1024), frames - done);
        if (changeEveryBlock) {
            // The filter's coefficients are worked out anew for each block
            // whose settings changed: cutoff, Q, type, sweep and saturation.
            for (int32_t i = 17; i <= 21; ++i) plugin->setParameter(i, draw.unit());
            plugin->setParameter(draw.below(17), draw.unit());
        }
        for (int32_t i = 0; i < block; ++i) {
            inL[i] = 0.5f * draw.signal();
            inR[i] = 0.5f * draw.signal();
        }
        if (first) inL[0] = inR[0] = 1.0f;
        first = false;
        float* in[2] = {inL.data(), inR.data()};
        float* out[2] = {outL.data(), outR.data()};
        plugin->processReplacing(in, out, block);
        fingerprint.add(outL.data(), static_cast<size_t>(block) * sizeof(float));
        fingerprint.add(outR.data(), static_cast<size_t>(block) * sizeof(float));
        done += block;
    }
    return fingerprint.hex();
}

// Every parameter over a grid of host values: the value read back, the
// display text and the label; then the programs' names.
std::string parameterScenario(const VstModule& module) {
    RecordingHost host;
    std::string error;
    auto plugin = PluginInstance::create(module, host, error);
    if (!plugin) return "no-instance:" + error;
    Fingerprint fingerprint;
    Draw draw(11);
    for (int32_t i = 0; i < kParameters; ++i) {
        fingerprint.add(plugin->parameterName(i));
        fingerprint.add(plugin->parameterLabel(i));
        for (int step = 0; step <= 256 + 64; ++step) {
            const float x = step <= 256 ? static_cast<float>(step) / 256.0f : draw.unit();
            plugin->setParameter(i, x);
            fingerprint.add(plugin->getParameter(i));
            fingerprint.add(plugin->parameterDisplay(i));
        }
    }
    for (int32_t p = 0; p < plugin->numPrograms(); ++p)
        fingerprint.add(plugin->programNameIndexed(p));
    return fingerprint.hex();
}

// The elementary functions over the ranges the plug-in uses and beyond.
std::string mathScenario() {
    Fingerprint fingerprint;
    Draw draw(5);
    for (int i = 0; i < 100000; ++i) {
        const double u = draw.unit(), v = draw.unit();
        fingerprint.add(portable_math::exp2(7.0 * u));
        fingerprint.add(portable_math::sin(3.14159265358979323846 * 0.5 * u));
        fingerprint.add(portable_math::pow(0.01 + u, 0.25));
        fingerprint.add(portable_math::log(50.0 + 7950.0 * u));
        fingerprint.add(portable_math::log2(1e-300 + u * 1e300));
        fingerprint.add(portable_math::log10(u * 1e6));
        fingerprint.add(portable_math::sin((u - 0.5) * 2e6));
        fingerprint.add(portable_math::pow(u * 100.0, (v - 0.5) * 16.0));
        fingerprint.add(portable_math::exp2((u - 0.5) * 2200.0));
    }
    return fingerprint.hex();
}

std::vector<Scenario> allScenarios(const VstModule& module) {
    std::vector<Scenario> scenarios;
    scenarios.push_back({"elementary-functions", mathScenario()});
    scenarios.push_back({"parameters-and-programs", parameterScenario(module)});
    const float rates[] = {8000.0f, 22050.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f};
    uint32_t seed = 1;
    for (float rate : rates) {
        const std::string at = "@" + std::to_string(static_cast<int>(rate));
        scenarios.push_back(
            {"settings-each-block" + at, renderScenario(module, rate, seed++, 3 * 65536, true)});
        scenarios.push_back(
            {"random-setting" + at, renderScenario(module, rate, seed++, 2 * 65536, false)});
    }
    return scenarios;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: module_digest MODULE [REFERENCE]\n");
        return 2;
    }
    VstModule module;
    std::string error;
    if (!module.load(argv[1], error)) {
        std::fprintf(stderr, "module_digest: %s\n", error.c_str());
        return 1;
    }
    return printOrCompare(allScenarios(module), argc == 3 ? argv[2] : nullptr, "module_digest");
}
