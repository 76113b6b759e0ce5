// Prints a fingerprint of everything the built module gives a host (rendered
// audio over many settings and rates, parameter values and display texts,
// program names), and of the elementary functions, one line per scenario:
//   module_digest MODULE [REFERENCE]
// MODULE is the VST 2.4 module, the VST3 bundle (a path ending in .vst3) or
// the CLAP plug-in (ending in .clap), whose renders, with the same settings
// sent as parameter changes at the blocks' first frames, print the module's
// lines.
// Builds for different platforms must print the same lines: the arithmetic is
// defined to the bit. Given the lines of another build as REFERENCE, it
// compares and fails on any difference.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/library/plugin_instance.h"
#include "host/library/recording_host.h"
#include "host/library/vst3_host_objects.h"
#include "host/library/vst3_instance.h"
#include "host/library/vst3_module.h"
#include "host/library/vst_module.h"
#include "core/parameter_mapping.h"
#include "core/varnolet_parameters.h"
#include "numeric/portable_math.h"
#include "tests/clap/clap_driver.h"

namespace {

constexpr int32_t kParameters = 23;
constexpr int32_t kType = 19;

class Fingerprint {
public:
    void add(const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash ^= bytes[i];
            hash *= 1099511628211ull;
        }
    }
    void add(float v) { add(&v, sizeof v); }
    void add(double v) { add(&v, sizeof v); }
    void add(const std::string& text) { add(text.c_str(), text.size() + 1); }
    std::string hex() const {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
        return text;
    }

private:
    uint64_t hash = 14695981039346656037ull;
};

// Numbers drawn the same way on every platform: the engine is defined by the
// standard, the conversion to [0, 1) is done here rather than by a library
// distribution.
class Draw {
public:
    explicit Draw(uint32_t seed) : engine(seed) {}
    float unit() { return static_cast<float>(engine() >> 8) * 0x1p-24f; }
    float signal() { return 2.0f * unit() - 1.0f; }
    int32_t below(int32_t n) { return static_cast<int32_t>(engine() % static_cast<uint32_t>(n)); }

private:
    std::mt19937 engine;
};

struct Scenario {
    std::string name;
    std::string hash;
};

// The VST 2.4 module as a render sees it: settings between blocks.
class Vst2Player {
public:
    Vst2Player(const VstModule& module, float rate) {
        std::string error;
        plugin = PluginInstance::create(module, host, error);
        if (!plugin) problem = "no-instance:" + error;
        else plugin->prepare(rate, 1024);
    }
    void setParameter(int32_t index, float value) { plugin->setParameter(index, value); }
    void process(float** in, float** out, int32_t frames) { plugin->processReplacing(in, out, frames); }
    std::string problem;

private:
    RecordingHost host;
    std::unique_ptr<PluginInstance> plugin;
};

// The VST3 bundle: the same settings as changes at the block's first frame.
class Vst3Player {
public:
    Vst3Player(const Vst3Module& module, float rate) : changes(kParameters, 2) {
        std::string error;
        plugin = Vst3Instance::create(module, error);
        if (!plugin || !plugin->activate(rate, 1024, error)) problem = "no-instance:" + error;
    }
    void setParameter(int32_t index, float value) {
        changes.add(static_cast<vst3::ParamID>(index), 0, value);
    }
    void process(float** in, float** out, int32_t frames) {
        plugin->process(in, 2, out, 2, frames, changes.empty() ? nullptr : &changes);
        changes.clear();
    }
    std::string problem;

private:
    std::unique_ptr<Vst3Instance> plugin;
    Vst3ParameterChanges changes;
};

// The CLAP plug-in: the same settings as the native values the VST 2.4
// module's 0..1 values map to, as events at the block's first frame.
class ClapPlayer {
public:
    explicit ClapPlayer(float rate) : plugin(ClapPlugin::create()) {
        for (int32_t i = 0; i < kParameters; ++i) held[i] = varnolet::kParameters[i].defaultValue;
        if (!plugin || !plugin->activate(rate, 1024)) problem = "no-instance";
    }
    void setParameter(int32_t index, float value) {
        held[index] = parameter_mapping::nativeFromHost(varnolet::kParameters[index], value, held[index]);
        changes.push_back({0, static_cast<uint32_t>(index), held[index]});
    }
    void process(float** in, float** out, int32_t frames) {
        plugin->process(in[0], in[1], out[0], out[1], static_cast<uint32_t>(frames), changes);
        changes.clear();
    }
    std::string problem;

private:
    std::unique_ptr<ClapPlugin> plugin;
    float held[kParameters];
    std::vector<ParamChange> changes;
};

// Renders noise with an impulse in front through an instance, changing
// settings between blocks of varied size when asked.
template <typename Player>
std::string renderScenario(Player& plugin, uint32_t seed, int32_t frames, bool changeEveryBlock) {
    if (!plugin.problem.empty()) return plugin.problem;
    Draw draw(seed);
    Fingerprint fingerprint;
    if (!changeEveryBlock)
        for (int32_t i = 0; i < kParameters; ++i) plugin.setParameter(i, draw.unit());
    std::vector<float> inL(1024), inR(1024), outL(1024), outR(1024);
    bool first = true;
    for (int32_t done = 0; done < frames;) {
        const int32_t block = std::min<int32_t>(1 + draw.below(1024), frames - done);
        if (changeEveryBlock) {
            // The filter's coefficients are worked out anew for each block
            // whose settings changed: cutoff, Q, type, sweep and saturation.
            for (int32_t i = 17; i <= 21; ++i) plugin.setParameter(i, draw.unit());
            // Each number drawn in a statement of its own: the order in
            // which a call's arguments are worked out is the compiler's. The
            // value comes before the parameter, as GCC for x86-64 drew them
            // when both were drawn inside the call, which keeps the lines
            // the fingerprint had then.
            const float value = draw.unit();
            const int32_t tapParameter = draw.below(17);
            plugin.setParameter(tapParameter, value);
        }
        for (int32_t i = 0; i < block; ++i) {
            inL[i] = 0.5f * draw.signal();
            inR[i] = 0.5f * draw.signal();
        }
        if (first) inL[0] = inR[0] = 1.0f;
        first = false;
        float* in[2] = {inL.data(), inR.data()};
        float* out[2] = {outL.data(), outR.data()};
        plugin.process(in, out, block);
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

// The bundle's parameters over the same grid: the value its controller
// reads back and the text it shows, with each parameter's title and units.
std::string vst3ParameterScenario(const Vst3Module& module) {
    std::string error;
    auto plugin = Vst3Instance::create(module, error);
    if (!plugin || !plugin->controller()) return "no-instance:" + error;
    vst3::IEditController* controller = plugin->controller();
    auto text = [](const vst3::TChar* wide) {
        std::string ascii;
        for (size_t i = 0; i < 128 && wide[i]; ++i) ascii += static_cast<char>(wide[i]);
        return ascii;
    };
    Fingerprint fingerprint;
    Draw draw(11);
    for (int32_t i = 0; i < kParameters; ++i) {
        vst3::ParameterInfo info;
        controller->getParameterInfo(i, info);
        fingerprint.add(text(info.title));
        fingerprint.add(text(info.units));
        for (int step = 0; step <= 256 + 64; ++step) {
            const float x = step <= 256 ? static_cast<float>(step) / 256.0f : draw.unit();
            controller->setParamNormalized(static_cast<vst3::ParamID>(i), x);
            const double now = controller->getParamNormalized(static_cast<vst3::ParamID>(i));
            fingerprint.add(static_cast<float>(now));
            vst3::String128 shown = {};
            controller->getParamStringByValue(static_cast<vst3::ParamID>(i), now, shown);
            fingerprint.add(text(shown));
        }
    }
    return fingerprint.hex();
}

// The CLAP plug-in's parameters: each one's description, and over a grid of
// values across its range the text, the value the text reads back as, and
// the value held after it.
std::string clapParameterScenario() {
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
            const std::string shown = plugin->text(i, value);
            double read = -1.0;
            params->text_to_value(plugin->plugin(), i, shown.c_str(), &read);
            plugin->flush({{0, i, value}});
            fingerprint.add(shown);
            fingerprint.add(read);
            fingerprint.add(plugin->value(i));
        }
    }
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

// Renders at every rate, through players made by `play(rate)`.
template <typename MakePlayer>
void addRenders(std::vector<Scenario>& scenarios, MakePlayer play) {
    const float rates[] = {8000.0f, 22050.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f};
    uint32_t seed = 1;
    for (float rate : rates) {
        const std::string at = "@" + std::to_string(static_cast<int>(rate));
        auto changing = play(rate);
        scenarios.push_back(
            {"settings-each-block" + at, renderScenario(*changing, seed++, 3 * 65536, true)});
        auto fixed = play(rate);
        scenarios.push_back(
            {"random-setting" + at, renderScenario(*fixed, seed++, 2 * 65536, false)});
    }
}

std::vector<Scenario> allScenarios(const VstModule& module) {
    std::vector<Scenario> scenarios;
    scenarios.push_back({"elementary-functions", mathScenario()});
    scenarios.push_back({"parameters-and-programs", parameterScenario(module)});
    addRenders(scenarios, [&](float rate) { return std::make_unique<Vst2Player>(module, rate); });
    return scenarios;
}

std::vector<Scenario> allScenarios(const Vst3Module& module) {
    std::vector<Scenario> scenarios;
    scenarios.push_back({"elementary-functions", mathScenario()});
    scenarios.push_back({"vst3-parameters", vst3ParameterScenario(module)});
    addRenders(scenarios, [&](float rate) { return std::make_unique<Vst3Player>(module, rate); });
    return scenarios;
}

std::vector<Scenario> allClapScenarios() {
    std::vector<Scenario> scenarios;
    scenarios.push_back({"elementary-functions", mathScenario()});
    scenarios.push_back({"clap-parameters", clapParameterScenario()});
    addRenders(scenarios, [](float rate) { return std::make_unique<ClapPlayer>(rate); });
    return scenarios;
}

bool endsWith(const std::string& path, const std::string& ending) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\')) trimmed.pop_back();
    return trimmed.size() > ending.size() &&
           trimmed.compare(trimmed.size() - ending.size(), ending.size(), ending) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: module_digest MODULE [REFERENCE]\n");
        return 2;
    }
    std::vector<Scenario> scenarios;
    std::string error;
    if (endsWith(argv[1], ".clap")) {
        useClapModule(argv[1]);
        if (!clapFactory()) {
            std::fprintf(stderr, "module_digest: %s is no CLAP plug-in that loads\n", argv[1]);
            return 1;
        }
        scenarios = allClapScenarios();
    } else if (endsWith(argv[1], ".vst3")) {
        Vst3Module bundle;
        if (!bundle.load(argv[1], error)) {
            std::fprintf(stderr, "module_digest: %s\n", error.c_str());
            return 1;
        }
        scenarios = allScenarios(bundle);
    } else {
        VstModule module;
        if (!module.load(argv[1], error)) {
            std::fprintf(stderr, "module_digest: %s\n", error.c_str());
            return 1;
        }
        scenarios = allScenarios(module);
    }
    if (argc == 2) {
        for (const Scenario& s : scenarios) std::printf("%s %s\n", s.name.c_str(), s.hash.c_str());
        return 0;
    }
    std::ifstream file(argv[2]);
    if (!file) {
        std::fprintf(stderr, "module_digest: cannot read %s\n", argv[2]);
        return 1;
    }
    std::map<std::string, std::string> reference;
    std::string name, hash;
    while (file >> name >> hash) reference[name] = hash;
    int differing = 0;
    for (const Scenario& s : scenarios) {
        auto found = reference.find(s.name);
        const bool same = found != reference.end() && found->second == s.hash;
        std::printf("%-28s %s %s\n", s.name.c_str(), s.hash.c_str(),
                    same ? "same" : found == reference.end() ? "MISSING in reference" : "DIFFERS");
        if (!same) ++differing;
    }
    if (reference.size() != scenarios.size()) {
        std::printf("the reference has %zu scenarios, this build %zu\n", reference.size(),
                    scenarios.size());
        ++differing;
    }
    std::printf("%s\n", differing ? "the module behaves differently on this platform"
                                  : "the module gives the reference's bits");
    return differing ? 1 : 0;
}
