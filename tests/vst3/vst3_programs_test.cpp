// The factory presets as a VST3 host offers them: the root unit's program
// list, "Defaults" first, and the program-change parameter that chooses from
// it, in the controller (which sets every value and asks the host to read
// them again) and in the processor (which takes a program at its frame).
// That each program sounds as the same program of the factory bank through
// the VST 2.4 module is measured through vst2host.
#include <string>
#include <vector>

#include "core/factory_presets.h"
#include "tests/vst3/vst3_fixture.h"

namespace {

using varnolet::kFactoryPresets;
constexpr int32_t kPrograms = varnolet::kNumFactoryPresets + 1;
constexpr vst3::ParamID kMixId = 16;

std::string ascii(const vst3::TChar* text) {
    std::string out;
    for (size_t i = 0; i < 128 && text[i]; ++i) out += static_cast<char>(text[i]);
    return out;
}

double programValue(int32_t program) { return static_cast<double>(program) / (kPrograms - 1); }

vst3::IUnitInfo* unitsOf(vst3::IEditController* controller) {
    void* found = nullptr;
    if (controller->queryInterface(vst3::IUnitInfo::iid.bytes, &found) != vst3::kResultOk) return nullptr;
    return static_cast<vst3::IUnitInfo*>(found);
}

TEST_F(Vst3Test, TheRootUnitListsDefaultsThenTheFactoryPresetsForItsProgramChange) {
    auto plugin = newInstance();
    vst3::IEditController* controller = plugin->controller();
    ASSERT_NE(controller, nullptr);
    vst3::IUnitInfo* units = unitsOf(controller);
    ASSERT_NE(units, nullptr);

    ASSERT_EQ(units->getUnitCount(), 1);
    vst3::UnitInfo unit;
    ASSERT_EQ(units->getUnitInfo(0, unit), vst3::kResultOk);
    EXPECT_EQ(unit.id, vst3::kRootUnitId);
    EXPECT_EQ(unit.parentUnitId, vst3::kNoParentUnitId);
    ASSERT_EQ(units->getProgramListCount(), 1);
    vst3::ProgramListInfo list;
    ASSERT_EQ(units->getProgramListInfo(0, list), vst3::kResultOk);
    EXPECT_EQ(list.id, unit.programListId);
    ASSERT_EQ(list.programCount, kPrograms);
    vst3::String128 name;
    for (int32_t p = 0; p < kPrograms; ++p) {
        ASSERT_EQ(units->getProgramName(list.id, p, name), vst3::kResultOk);
        EXPECT_EQ(ascii(name), p == 0 ? "Defaults" : kFactoryPresets[p - 1].name);
        // The parameter shows the same names on its steps.
        vst3::String128 shown;
        ASSERT_EQ(controller->getParamStringByValue(kProgramId, programValue(p), shown), vst3::kResultOk);
        EXPECT_EQ(ascii(shown), ascii(name));
    }
    EXPECT_EQ(units->getProgramName(list.id, kPrograms, name), vst3::kInvalidArgument);
    EXPECT_EQ(units->getProgramName(list.id + 1, 0, name), vst3::kInvalidArgument);
    units->release();

    // Exactly one parameter is the program change: the one after the bypass,
    // a list of the programs on the root unit, which a host keeps out of
    // automation.
    int32_t programChanges = 0;
    for (int32_t i = 0; i < controller->getParameterCount(); ++i) {
        vst3::ParameterInfo info;
        ASSERT_EQ(controller->getParameterInfo(i, info), vst3::kResultOk);
        if (info.flags & vst3::ParameterInfo::kIsProgramChange) ++programChanges;
    }
    EXPECT_EQ(programChanges, 1);
    vst3::ParameterInfo info;
    ASSERT_EQ(controller->getParameterInfo(kParameterCount + 1, info), vst3::kResultOk);
    EXPECT_EQ(info.id, kProgramId);
    EXPECT_EQ(info.flags, vst3::ParameterInfo::kIsList | vst3::ParameterInfo::kIsProgramChange);
    EXPECT_EQ(info.stepCount, kPrograms - 1);
    EXPECT_EQ(info.unitId, unit.id);
    EXPECT_EQ(info.defaultNormalizedValue, 0.0);
    vst3::TChar typed[] = u"dub feedback";
    vst3::ParamValue value = -1;
    ASSERT_EQ(controller->getParamValueByString(kProgramId, typed, value), vst3::kResultOk);
    EXPECT_EQ(value, programValue(3));
}

// Choosing in the controller: every value the program's, shown as its own
// units, the bypass as it was, and the host asked once to read the values
// again; the program already chosen asks nothing.
TEST_F(Vst3Test, ChoosingAProgramSetsItsValuesInTheControllerAndAsksTheHostToReadThem) {
    auto plugin = newInstance();
    vst3::IEditController* controller = plugin->controller();
    ASSERT_NE(controller, nullptr);
    std::vector<float> defaults;
    for (int32_t i = 0; i < kParameterCount; ++i) {
        vst3::ParameterInfo info;
        controller->getParameterInfo(i, info);
        defaults.push_back(static_cast<float>(controller->normalizedParamToPlain(i, info.defaultNormalizedValue)));
    }
    controller->setParamNormalized(kBypassId, 1.0);
    plugin->takeRestart();
    for (int32_t p : {1, 2, 3, 4, 5, 6, 7, 8, 0}) {
        ASSERT_EQ(controller->setParamNormalized(kProgramId, programValue(p)), vst3::kResultOk);
        EXPECT_EQ(plugin->takeRestart(), vst3::kParamValuesChanged) << "program " << p;
        EXPECT_EQ(controller->getParamNormalized(kProgramId), programValue(p));
        for (int32_t i = 0; i < kParameterCount; ++i) {
            const double plain = controller->normalizedParamToPlain(i, controller->getParamNormalized(i));
            const float expected = p == 0 ? defaults[static_cast<size_t>(i)] : kFactoryPresets[p - 1].values[i];
            EXPECT_EQ(static_cast<float>(plain), expected) << "program " << p << ", parameter " << i;
        }
        EXPECT_EQ(controller->getParamNormalized(kBypassId), 1.0);
    }
    controller->setParamNormalized(kProgramId, programValue(0));
    EXPECT_EQ(plugin->takeRestart(), 0);
}

// Choosing in the processor, at frame 200 of a block, with the mix set at
// the same frame: the sound is the module's given the program's values at
// that frame and the mix after them. The same program sent again in later
// blocks, by values within its step, leaves the mix as it was set; a state saved after it holds the
// program's values.
TEST_F(Vst3Test, TheProcessorTakesAProgramAtItsFrameAndValuesSetWithItHoldOverIt) {
    const int32_t program = 2;  // Ping-Pong: taps far apart on both sides
    auto chooser = newInstance();
    chooser->controller()->setParamNormalized(kProgramId, programValue(program));
    std::vector<float> chosen;
    for (int32_t i = 0; i < kParameterCount; ++i)
        chosen.push_back(static_cast<float>(chooser->controller()->getParamNormalized(i)));
    chosen[kMixId] = 0.25f;

    const Stereo input = noise(3 * 44100, 21);
    auto plugin = newInstance();
    std::string error;
    ASSERT_TRUE(plugin->activate(44100.0, 512, error)) << error;
    Vst3ParameterChanges changes(4, 2);
    Stereo viaVst3(input.frames());
    for (size_t at = 0, block = 0; at < input.frames(); at += 512, ++block) {
        const int32_t frames = static_cast<int32_t>(std::min<size_t>(512, input.frames() - at));
        changes.clear();
        if (block == 0) {
            changes.add(kMixId, 200, 0.25);
            changes.add(kProgramId, 200, programValue(program));
        } else if (block % 8 == 0) {
            // Values a little apart, each within the program's step.
            changes.add(kProgramId, 0, programValue(program) + 0.0001 * static_cast<double>(block));
        }
        float* in[2] = {const_cast<float*>(input.left.data()) + at,
                        const_cast<float*>(input.right.data()) + at};
        float* out[2] = {viaVst3.left.data() + at, viaVst3.right.data() + at};
        ASSERT_EQ(plugin->process(in, 2, out, 2, frames, changes.empty() ? nullptr : &changes),
                  vst3::kResultOk);
    }

    auto module = newVst2Instance();
    module->prepare(44100.0f, 512);
    Stereo viaVst2(input.frames());
    float* in[2] = {const_cast<float*>(input.left.data()), const_cast<float*>(input.right.data())};
    float* out[2] = {viaVst2.left.data(), viaVst2.right.data()};
    module->processReplacing(in, out, 200);
    for (int32_t i = 0; i < kParameterCount; ++i) module->setParameter(i, chosen[static_cast<size_t>(i)]);
    for (size_t at = 200; at < input.frames(); at += 512) {
        const int32_t frames = static_cast<int32_t>(std::min<size_t>(512, input.frames() - at));
        float* inB[2] = {in[0] + at, in[1] + at};
        float* outB[2] = {out[0] + at, out[1] + at};
        module->processReplacing(inB, outB, frames);
    }
    EXPECT_TRUE(viaVst3 == viaVst2);

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(plugin->saveState(bytes));
    auto restored = newInstance();
    ASSERT_TRUE(restored->loadState(bytes));
    for (int32_t i = 0; i < kParameterCount; ++i)
        EXPECT_EQ(static_cast<float>(restored->controller()->getParamNormalized(i)),
                  chosen[static_cast<size_t>(i)])
            << "parameter " << i;
}

}  // namespace
