// What a host's scanner reads from the bundle: the factory, its two classes,
// their ids, names, categories and version.
#include <cstring>
#include <string>

#include "tests/vst3/vst3_fixture.h"

namespace {

std::string hex(const char* id) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 0; i < 16; ++i) {
        const auto byte = static_cast<unsigned char>(id[i]);
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::string ascii(const vst3::TChar* text) {
    std::string out;
    for (; *text; ++text) out += static_cast<char>(*text);
    return out;
}

using Vst3Identity = Vst3Test;

// The ids hosts keep in their projects. On Windows a class id's bytes are
// those of the GUID in COM's order, as every Windows host reads them.
#if defined(_WIN32)
constexpr const char* kComponentId = "E1773F0E9FA00D95EE20D3B223BC87B8";
constexpr const char* kControllerId = "B627C6C2F3F086BDCFD382C70082816C";
#else
constexpr const char* kComponentId = "0E3F77E1A09F950DEE20D3B223BC87B8";
constexpr const char* kControllerId = "C2C627B6F0F3BD86CFD382C70082816C";
#endif

TEST_F(Vst3Identity, FactoryOffersTheEffectAndItsControllerUnderFixedIds) {
    vst3::IPluginFactory* factory = bundle.factory();
    vst3::PFactoryInfo info;
    ASSERT_EQ(factory->getFactoryInfo(&info), vst3::kResultOk);
    EXPECT_STREQ(info.vendor, "Tolmark");
    EXPECT_EQ(info.flags & vst3::PFactoryInfo::kUnicode, vst3::PFactoryInfo::kUnicode);

    ASSERT_EQ(factory->countClasses(), 2);
    void* found = nullptr;
    ASSERT_EQ(factory->queryInterface(vst3::IPluginFactory3::iid.bytes, &found), vst3::kResultOk);
    auto* factory3 = static_cast<vst3::IPluginFactory3*>(found);
    const struct {
        const char* id;
        const char* category;
        const char* subCategories;
    } expected[2] = {{kComponentId, "Audio Module Class", "Fx|Delay"},
                     {kControllerId, "Component Controller Class", ""}};
    for (int32_t i = 0; i < 2; ++i) {
        vst3::PClassInfo2 info2;
        ASSERT_EQ(factory3->getClassInfo2(i, &info2), vst3::kResultOk);
        EXPECT_EQ(hex(info2.cid), expected[i].id);
        EXPECT_STREQ(info2.category, expected[i].category);
        EXPECT_STREQ(info2.name, "Varnolet Delay");
        EXPECT_STREQ(info2.subCategories, expected[i].subCategories);
        EXPECT_STREQ(info2.vendor, "Tolmark");
        EXPECT_STREQ(info2.version, VARNOLET_PROJECT_VERSION);
        vst3::PClassInfoW wide;
        ASSERT_EQ(factory3->getClassInfoUnicode(i, &wide), vst3::kResultOk);
        EXPECT_EQ(hex(wide.cid), expected[i].id);
        EXPECT_EQ(ascii(wide.name), "Varnolet Delay");
        EXPECT_EQ(ascii(wide.version), VARNOLET_PROJECT_VERSION);
    }
    EXPECT_EQ(factory3->getClassInfo2(2, nullptr), vst3::kInvalidArgument);
    factory3->release();

    // The component names the controller's class, and a host can make both.
    auto plugin = newInstance();
    vst3::TUID controllerId;
    ASSERT_EQ(plugin->component()->getControllerClassId(controllerId), vst3::kResultOk);
    EXPECT_EQ(hex(controllerId), kControllerId);
    void* made = nullptr;
    char unknown[16] = {1, 2, 3};
    EXPECT_NE(factory->createInstance(unknown, vst3::IComponent::iid.bytes, &made),
              vst3::kResultOk);
    EXPECT_EQ(made, nullptr);
}

TEST_F(Vst3Identity, OneStereoBusEachWayNoLatencyAndNo64BitSamples) {
    auto plugin = newInstance();
    vst3::IComponent* component = plugin->component();
    EXPECT_EQ(component->getBusCount(vst3::kAudio, vst3::kInput), 1);
    EXPECT_EQ(component->getBusCount(vst3::kAudio, vst3::kOutput), 1);
    EXPECT_EQ(component->getBusCount(vst3::kEvent, vst3::kInput), 0);
    EXPECT_EQ(plugin->channels(vst3::kInput), 2);
    EXPECT_EQ(plugin->channels(vst3::kOutput), 2);
    vst3::IAudioProcessor* processor = plugin->processor();
    EXPECT_EQ(processor->canProcessSampleSize(vst3::kSample32), vst3::kResultTrue);
    EXPECT_EQ(processor->canProcessSampleSize(vst3::kSample64), vst3::kResultFalse);
    EXPECT_EQ(processor->getLatencySamples(), 0u);
    vst3::ProcessSetup doubles{vst3::kRealtime, vst3::kSample64, 512, 48000.0};
    EXPECT_EQ(processor->setupProcessing(doubles), vst3::kResultFalse);
    for (double rate : {0.0, 999.0, 1e6, -44100.0}) {
        vst3::ProcessSetup setup{vst3::kRealtime, vst3::kSample32, 512, rate};
        EXPECT_EQ(processor->setupProcessing(setup), vst3::kResultFalse) << rate;
    }
}

// Mono tracks: a mono input feeding both of the effect's inputs is taken;
// anything without a stereo output, or with more buses, is refused and
// leaves the layout as it was.
TEST_F(Vst3Identity, TakesMonoInStereoOutAndRefusesOtherLayouts) {
    auto plugin = newInstance();
    vst3::IAudioProcessor* processor = plugin->processor();
    using vst3::SpeakerArrangement;
    SpeakerArrangement mono = vst3::kArrangementMono, stereo = vst3::kArrangementStereo;
    SpeakerArrangement surround = 0x3F, two[2] = {stereo, stereo};
    EXPECT_EQ(processor->setBusArrangements(&stereo, 1, &mono, 1), vst3::kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(&mono, 1, &mono, 1), vst3::kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(&surround, 1, &surround, 1), vst3::kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(two, 2, two, 2), vst3::kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(nullptr, 1, nullptr, 1), vst3::kInvalidArgument);
    EXPECT_EQ(plugin->channels(vst3::kInput), 2);

    ASSERT_EQ(processor->setBusArrangements(&mono, 1, &stereo, 1), vst3::kResultTrue);
    SpeakerArrangement now = 0;
    ASSERT_EQ(processor->getBusArrangement(vst3::kInput, 0, now), vst3::kResultOk);
    EXPECT_EQ(now, mono);
    EXPECT_EQ(plugin->channels(vst3::kInput), 1);

    // The one channel sounds in both inputs: the same as a stereo input
    // holding it twice.
    std::string error;
    ASSERT_TRUE(plugin->activate(48000.0, 512, error)) << error;
    Stereo input = noise(4096, 3);
    Stereo monoOut(4096);
    for (size_t at = 0; at < 4096; at += 512) {
        float* in[1] = {input.left.data() + at};
        float* out[2] = {monoOut.left.data() + at, monoOut.right.data() + at};
        ASSERT_EQ(plugin->process(in, 1, out, 2, 512), vst3::kResultOk);
    }
    Stereo doubled = input;
    doubled.right = doubled.left;
    EXPECT_TRUE(monoOut == renderVst3(doubled, blockSizes(4096, 512), 48000.0));
}

}  // namespace
