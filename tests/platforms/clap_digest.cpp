// Prints a fingerprint of what the built CLAP plug-in gives a host, one line
// per scenario:
//   clap_digest PLUGIN.clap [REFERENCE]
// The audio scenarios drive it as module_digest drives the VST 2.4 module,
// with the same settings (as the native values the module's 0..1 values map
// to, in events at each block's start), so their lines equal that program's;
// the parameters' scenario hashes what the CLAP plug-in alone says. Builds for
// different platforms must print the same lines; given the lines of another
// build as REFERENCE, it compares and fails on any difference.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/parameter_mapping.h"
#include "core/varnolet_parameters.h"
#include "tests/clap/clap_driver.h"
#include "tests/platforms/digest.h"

namespace {

constexpr int32_t kParameters = varnolet::kNumParameters;

// A host's 0..1 settings, queued as the block's events in the native values
// the VST 2.4 module would hold for them.
class Settings {
public:
    Settings() {
        for (int32_t i = 0; i < kParameters; ++i) held[i] = varnolet::kParameters[i].defaultValue;
    }
    void set(int32_t index, float x) {
        held[index] = parameter_mapping::nativeFromHost(varnolet::kParameters[index], x, held[index]);
        pending.push_back({0, static_cast<uint32_t>(index), held[index]});
    }
    std::vector<ParamChange> take() { return std::move(pending); }

private:
    float held[kParameters];
    std::vector<ParamChange> pending;
};

std::string renderScenario(double rate, uint32_t seed, int32_t frames, bool changeEveryBlock) {
    auto plugin = ClapPlugin::create();
    if (!plugin || !plugin->activate(rate, 1024)) return "no-instance";
    Draw draw(seed);
    Fingerprint fingerprint;
    Settings settings;
    if (!changeEveryBlock)
        for (int32_t i = 0; i < kParameters; ++i) settings.set(i, draw.unit());
    std::vector<float> inL(1024), inR(1024), outL(1024), outR(1024);
    bool first = true;
    for (int32_t done = 0; done < frames;) {
        const int32_t block = std::min<int32_t>(1 + draw.below(1024), frames - done);
        if (changeEveryBlock) {
            for (int32_t i = 17; i <= 21; ++i) settings.set(i, draw.unit());
            // module_digest draws these two within one call, whose arguments
            // its compiler evaluates from the last: the value comes first.
            const float value = draw.unit();
            const int32_t index = draw.below(17);
            settings.set(index, value);
        }
        for (int32_t i = 0; i < block; ++i) {
            inL[i] = 0.5f * draw.signal();
            inR[i] = 0.5f * draw.signal();
        }
        if (first) inL[0] = inR[0] = 1.0f;
        first = false;
        plugin->process(inL.data(), inR.data(), outL.data(), outR.data(), static_cast<uint32_t>(block),
                        settings.take());
        fingerprint.add(outL.data(), static_cast<size_t>(block) * sizeof(float));
        fingerprint.add(outR.data(), static_cast<size_t>(block) * sizeof(float));
        done += block;
    }
    return fingerprint.hex();
}

// Every parameter's description, and over a grid of values across its range
// the text, the value the text reads back as, and the value held after it.
std::string parameterScenario() {
    auto plugin = ClapPlugin::create();
    if (!plugin) return "no-instance";
    const vclap_plugin_params_t* params = plugin->params();
    Fingerprint fingerprint;
    Draw draw(11);
    for (uint32_t i = 0; i < params->count(plugin->plugin()); ++i) {
        vclap_param_info_t info;
        if (!params->get_info(plugin->plugin(), i, &info)) return "no-info";
        fingerprint.add(std::string(info.name));
        fingerprint.add(&info.flags, sizeof info.flags);
        fingerprint.add(info.min_value);
        fingerprint.add(info.max_value);
        fingerprint.add(info.default_value);
        for (int step = 0; step <= 256 + 64; ++step) {
            const double x = step <= 256 ? step / 256.0 : draw.unit();
            const double value = info.min_value + x * (info.max_value - info.min_value);
            const std::string text = plugin->text(i, value);
            double read = -1.0;
            params->text_to_value(plugin->plugin(), i, text.c_str(), &read);
            plugin->flush({{0, i, value}});
            fingerprint.add(text);
            fingerprint.add(read);
            fingerprint.add(plugin->value(i));
        }
    }
    return fingerprint.hex();
}

std::vector<Scenario> allScenarios() {
    std::vector<Scenario> scenarios;
    scenarios.push_back({"clap-parameters", parameterScenario()});
    const float rates[] = {8000.0f, 22050.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f};
    uint32_t seed = 1;
    for (float rate : rates) {
        const std::string at = "@" + std::to_string(static_cast<int>(rate));
        scenarios.push_back({"settings-each-block" + at, renderScenario(rate, seed++, 3 * 65536, true)});
        scenarios.push_back({"random-setting" + at, renderScenario(rate, seed++, 2 * 65536, false)});
    }
    return scenarios;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: clap_digest PLUGIN.clap [REFERENCE]\n");
        return 2;
    }
    useClapModule(argv[1]);
    if (!clapFactory()) {
        std::fprintf(stderr, "clap_digest: %s is no CLAP plug-in this program can load\n", argv[1]);
        return 1;
    }
    return printOrCompare(allScenarios(), argc == 3 ? argv[2] : nullptr, "clap_digest");
}
