// What a CLAP host learns of the plug-in before it plays a note: the module's
// export, the factory, the descriptor, the ports, the latency and the
// parameters, whose names and texts are the VST 2.4 module's.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>

#include "tests/clap/clap_driver.h"
#include "tests/clap/vst2_reference.h"

#if defined(__linux__)
#include <unistd.h>
#endif

namespace {

#if defined(__linux__)
TEST(ClapModule, ExportsTheEntryAlone) {
    const std::string command = std::string("nm -D --defined-only '") + VARNOLET_CLAP_PATH + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> exported;
    char address[64], type[8], name[400];
    while (std::fscanf(pipe, "%63s %7s %399s", address, type, name) == 3) exported.insert(name);
    ASSERT_EQ(pclose(pipe), 0) << "nm failed";
    EXPECT_EQ(exported, std::set<std::string>{"clap_entry"});
}

// A real host's scanner lists it: "CLAP|name|audio in:out|MIDI in:out|
// parameters in:out|...".
TEST(ClapModule, QtractorsScannerListsItWithItsAudioAndParameters) {
    const char* scanner = "/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan";
    if (access(scanner, X_OK) != 0) GTEST_SKIP() << "Qtractor's scanner is missing (Debian's qtractor)";
    if (sizeof(void*) != 8) GTEST_SKIP() << "Qtractor's scanner loads 64-bit plug-ins only";
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's runtime must be loaded before this build's .clap, and "
                    "Qtractor's scanner does not load it";
#endif
    const std::string command =
        std::string("echo 'CLAP:") + VARNOLET_CLAP_PATH + "' | timeout 60 " + scanner + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string listed;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe))
        if (std::strncmp(line, "CLAP|", 5) == 0) listed = line;
    pclose(pipe);
    EXPECT_EQ(listed.rfind("CLAP|Varnolet Delay|2:2|0:0|24:0|", 0), 0u) << listed;
}
#endif

// The id and the version are what saved projects and packages name the
// plug-in by: neither may change unnoticed.
TEST(ClapModule, DescribesOnePluginWithItsIdVersionAndFeatures) {
    ASSERT_NE(clapEntry(), nullptr);
    EXPECT_TRUE(vclap_version_is_compatible(clapEntry()->clap_version));
    EXPECT_EQ(clapEntry()->get_factory("clap.no-such-factory"), nullptr);
    const vclap_plugin_factory_t* factory = clapFactory();
    ASSERT_NE(factory, nullptr);
    ASSERT_EQ(factory->get_plugin_count(factory), 1u);
    EXPECT_EQ(factory->get_plugin_descriptor(factory, 1), nullptr);
    const vclap_plugin_descriptor_t* d = factory->get_plugin_descriptor(factory, 0);
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->id, "com.tolmark.varnolet-delay");
    EXPECT_STREQ(d->name, "Varnolet Delay");
    EXPECT_STREQ(d->vendor, "Tolmark");
    EXPECT_STREQ(d->version, VARNOLET_PROJECT_VERSION);
    std::vector<std::string> features;
    for (const char* const* f = d->features; *f; ++f) features.push_back(*f);
    EXPECT_EQ(features, (std::vector<std::string>{"audio-effect", "delay", "stereo"}));
    EXPECT_EQ(factory->create_plugin(factory, nullptr, "com.tolmark.other"), nullptr);
}

TEST(ClapModule, OneStereoPortEachWayInPlaceAndNoLatency) {
    auto clap = ClapPlugin::create();
    ASSERT_NE(clap, nullptr);
    const vclap_plugin_t* p = clap->plugin();
    auto* ports =
        static_cast<const vclap_plugin_audio_ports_t*>(p->get_extension(p, VCLAP_EXT_AUDIO_PORTS));
    ASSERT_NE(ports, nullptr);
    for (bool input : {true, false}) {
        ASSERT_EQ(ports->count(p, input), 1u);
        vclap_audio_port_info_t info;
        ASSERT_TRUE(ports->get(p, 0, input, &info));
        EXPECT_FALSE(ports->get(p, 1, input, &info));
        EXPECT_EQ(info.channel_count, 2u);
        EXPECT_STREQ(info.port_type, VCLAP_PORT_STEREO);
        EXPECT_TRUE(info.flags & VCLAP_AUDIO_PORT_IS_MAIN);
        EXPECT_EQ(info.in_place_pair, info.id);
    }
    auto* latency = static_cast<const vclap_plugin_latency_t*>(p->get_extension(p, VCLAP_EXT_LATENCY));
    ASSERT_NE(latency, nullptr);
    ASSERT_TRUE(clap->activate(48000.0));
    EXPECT_EQ(latency->get(p), 0u);
    EXPECT_EQ(p->get_extension(p, "clap.gui"), nullptr);
}

// Names, ranges and defaults as the module shows them, every value's text as
// its display followed by its label, and all of them automatable, none
// stepped.
TEST(ClapParameters, AreTheModulesWithItsTexts) {
    auto clap = ClapPlugin::create();
    ASSERT_NE(clap, nullptr);
    const vclap_plugin_params_t* params = clap->params();
    // The module's 23, then the bypass.
    ASSERT_EQ(params->count(clap->plugin()), 24u);
    Vst2Reference vst2;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int32_t i = 0; i < 23; ++i) {
        vclap_param_info_t info;
        ASSERT_TRUE(params->get_info(clap->plugin(), i, &info));
        SCOPED_TRACE(info.name);
        EXPECT_EQ(info.id, static_cast<vclap_id>(i));
        EXPECT_EQ(info.name, vst2.plugin->parameterName(i));
        EXPECT_EQ(info.flags, VCLAP_PARAM_IS_AUTOMATABLE);
        EXPECT_EQ(clap->value(i), info.default_value);

        auto shown = [&] {
            const std::string label = vst2.plugin->parameterLabel(i);
            return vst2.plugin->parameterDisplay(i) + (label.empty() ? "" : " " + label);
        };
        EXPECT_EQ(clap->text(i, info.default_value), shown());
        double stored = info.default_value;
        for (int step = 0; step < 200; ++step) {
            const float x = step <= 100 ? step / 100.0f : unit(random);
            stored = nativeOf(i, x, stored);
            vst2.plugin->setParameter(i, x);
            EXPECT_EQ(clap->text(i, stored), shown()) << "at " << x;
        }
        vst2.plugin->setParameter(i, 0.0f);
        EXPECT_EQ(clap->text(i, info.min_value), shown());
        vst2.plugin->setParameter(i, 1.0f);
        EXPECT_EQ(clap->text(i, info.max_value), shown());
    }
    vclap_param_info_t info;
    EXPECT_FALSE(params->get_info(clap->plugin(), 24, &info));
}

TEST(ClapParameters, ReadTheNumberWithOrWithoutItsLabelAndTheNamedValues) {
    auto clap = ClapPlugin::create();
    ASSERT_NE(clap, nullptr);
    auto read = [&](uint32_t id, const char* text) {
        double v = -1.0;
        return clap->params()->text_to_value(clap->plugin(), id, text, &v) ? v : -999.0;
    };
    EXPECT_EQ(read(0, "200"), 200.0);
    EXPECT_EQ(read(0, "200.0 ms"), 200.0);
    EXPECT_EQ(read(0, " 350 MS "), 350.0);
    EXPECT_EQ(read(0, "5000 ms"), 2000.0);
    EXPECT_EQ(read(0, "200 Hz"), -999.0);
    EXPECT_EQ(read(1, "-0.5 L/R"), -0.5);
    EXPECT_EQ(read(14, "40 %"), 40.0);
    EXPECT_EQ(read(17, "632.5 Hz"), 632.5);
    EXPECT_EQ(read(19, "thru"), 0.0);
    EXPECT_EQ(read(19, "Band"), 2.0);
    EXPECT_EQ(read(19, "2.5"), 2.5);
    EXPECT_EQ(read(21, "loud"), -999.0);
    EXPECT_EQ(read(24, "1"), -999.0);
    // What a value's text reads back as shows that value again.
    for (uint32_t id = 0; id < 23; ++id) {
        const double value = id == 17 ? 1234.5 : id == 19 ? 1.25 : 0.75;
        const std::string text = clap->text(id, value);
        EXPECT_EQ(clap->text(id, read(id, text.c_str())), text) << text;
    }
}

}  // namespace
