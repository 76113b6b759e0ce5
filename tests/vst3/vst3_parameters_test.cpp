// The parameters as a VST3 host lists and shows them: the VST 2.4 module's
// indices, names, labels and display texts, its mapping of normalised
// values, and the way back from a typed text.
#include <cmath>
#include <random>
#include <string>

#include "tests/vst3/vst3_fixture.h"

namespace {

std::string ascii(const vst3::TChar* text) {
    std::string out;
    for (size_t i = 0; i < 128 && text[i]; ++i) out += static_cast<char>(text[i]);
    return out;
}

void toWide(const std::string& text, vst3::String128 wide) {
    size_t i = 0;
    for (; i < text.size() && i < 127; ++i) wide[i] = static_cast<vst3::TChar>(text[i]);
    wide[i] = 0;
}

// The normalised values tried: a grid with both ends, and random ones.
std::vector<float> someValues() {
    std::vector<float> values;
    for (int step = 0; step <= 64; ++step) values.push_back(static_cast<float>(step) / 64.0f);
    std::mt19937 draw(9);
    for (int i = 0; i < 64; ++i) values.push_back(static_cast<float>(draw() >> 8) * 0x1p-24f);
    return values;
}

TEST_F(Vst3Test, ParametersAreTheModulesByIndexNameLabelAndDefault) {
    auto plugin = newInstance();
    auto module = newVst2Instance();
    vst3::IEditController* controller = plugin->controller();
    ASSERT_NE(controller, nullptr);
    ASSERT_EQ(controller->getParameterCount(), kParameterCount + 2);
    for (int32_t i = 0; i < kParameterCount; ++i) {
        vst3::ParameterInfo info;
        ASSERT_EQ(controller->getParameterInfo(i, info), vst3::kResultOk);
        EXPECT_EQ(info.id, static_cast<vst3::ParamID>(i));
        EXPECT_EQ(ascii(info.title), module->parameterName(i));
        EXPECT_EQ(ascii(info.units), module->parameterLabel(i));
        EXPECT_EQ(info.stepCount, 0);
        EXPECT_EQ(info.flags & vst3::ParameterInfo::kCanAutomate,
                  vst3::ParameterInfo::kCanAutomate);
        // A fresh module reads its defaults.
        EXPECT_EQ(static_cast<float>(info.defaultNormalizedValue), module->getParameter(i))
            << module->parameterName(i);
        EXPECT_EQ(controller->getParamNormalized(info.id), info.defaultNormalizedValue);
    }
    vst3::ParameterInfo info;
    EXPECT_EQ(controller->getParameterInfo(kParameterCount + 2, info), vst3::kInvalidArgument);
    EXPECT_EQ(controller->getParameterInfo(-1, info), vst3::kInvalidArgument);
}

// For many normalised values, what the controller keeps and shows is what
// the module keeps and shows after setParameter; the plain value is the one
// the display prints.
TEST_F(Vst3Test, NormalisedValuesMapAndDisplayAsInTheModule) {
    auto plugin = newInstance();
    auto module = newVst2Instance();
    vst3::IEditController* controller = plugin->controller();
    for (int32_t i = 0; i < kParameterCount; ++i) {
        for (float x : someValues()) {
            // The host's double, which the module would get as a float.
            const double sent = static_cast<double>(x) + 1e-12;
            module->setParameter(i, static_cast<float>(sent));
            ASSERT_EQ(controller->setParamNormalized(static_cast<vst3::ParamID>(i), sent),
                      vst3::kResultOk);
            EXPECT_EQ(static_cast<float>(controller->getParamNormalized(i)), module->getParameter(i))
                << module->parameterName(i) << " at " << x;
            vst3::String128 shown;
            ASSERT_EQ(controller->getParamStringByValue(i, controller->getParamNormalized(i), shown),
                      vst3::kResultOk);
            EXPECT_EQ(ascii(shown), module->parameterDisplay(i))
                << module->parameterName(i) << " at " << x;
            ASSERT_EQ(controller->getParamStringByValue(i, sent, shown), vst3::kResultOk);
            EXPECT_EQ(ascii(shown), module->parameterDisplay(i));
        }
    }
    vst3::String128 shown;
    EXPECT_EQ(controller->getParamStringByValue(kProgramId + 1, 0.5, shown),
              vst3::kInvalidArgument);
    EXPECT_EQ(controller->setParamNormalized(0x7fffffff, 0.5), vst3::kInvalidArgument);
    // NaN changes nothing; out of range counts as the range's ends.
    const double before = controller->getParamNormalized(0);
    EXPECT_EQ(controller->setParamNormalized(0, std::nan("")), vst3::kResultOk);
    EXPECT_EQ(controller->getParamNormalized(0), before);
    controller->setParamNormalized(0, 7.0);
    EXPECT_EQ(controller->getParamNormalized(0), 1.0);
    controller->setParamNormalized(0, -3.0);
    EXPECT_EQ(controller->getParamNormalized(0), 0.0);
}

TEST_F(Vst3Test, TypedTextsGiveTheValueTheyShow) {
    auto plugin = newInstance();
    vst3::IEditController* controller = plugin->controller();
    const struct {
        vst3::ParamID id;
        const char* typed;
        double plain;
    } cases[] = {{0, "300", 300.0},      {0, "300.0 ms", 300.0}, {1, "-0.5 L/R", -0.5},
                 {17, "1000 Hz", 1000.0}, {19, "band", 2.0},      {19, "Thru", 0.0},
                 {22, "250", 200.0},     {2, " 40 % ", 40.0}};
    for (const auto& c : cases) {
        vst3::String128 typed;
        toWide(c.typed, typed);
        vst3::ParamValue normalized = -1.0;
        ASSERT_EQ(controller->getParamValueByString(c.id, typed, normalized), vst3::kResultOk)
            << c.typed;
        EXPECT_NEAR(controller->normalizedParamToPlain(c.id, normalized), c.plain, 1e-3 * std::fabs(c.plain) + 1e-6)
            << c.typed;
        EXPECT_NEAR(controller->plainParamToNormalized(c.id, c.plain), normalized, 1e-7) << c.typed;
    }
    for (const char* nonsense : {"", "loud", "12 dB", "nan"}) {
        vst3::String128 typed;
        toWide(nonsense, typed);
        vst3::ParamValue normalized = 0.25;
        EXPECT_EQ(controller->getParamValueByString(0, typed, normalized), vst3::kResultFalse)
            << nonsense;
        EXPECT_EQ(normalized, 0.25);
    }
    // Every display text, typed back, shows the same again.
    for (int32_t i = 0; i < kParameterCount; ++i) {
        for (float x : someValues()) {
            vst3::String128 shown;
            ASSERT_EQ(controller->getParamStringByValue(i, x, shown), vst3::kResultOk);
            vst3::ParamValue back = -1.0;
            ASSERT_EQ(controller->getParamValueByString(i, shown, back), vst3::kResultOk)
                << ascii(shown);
            vst3::String128 again;
            controller->getParamStringByValue(i, back, again);
            EXPECT_EQ(ascii(again), ascii(shown)) << i << " at " << x;
        }
    }
}

}  // namespace
