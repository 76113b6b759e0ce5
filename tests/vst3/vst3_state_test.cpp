// The effect's state as VST3 hosts keep it: the component's bytes, restored
// into another instance and followed by its controller, through streams
// that move a few bytes at a time; anything that is not a whole state of
// ours is refused and changes nothing.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/vst3/vst3_fixture.h"

namespace {

// A stream that moves at most `most` bytes per call, as some hosts' do.
class TrickleStream final : public vst3::IBStream {
public:
    TrickleStream(std::vector<uint8_t> contents, int32_t atMost)
        : bytes(std::move(contents)), most(atMost) {}
    const std::vector<uint8_t>& contents() const { return bytes; }
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID, void** obj) override {
        *obj = nullptr;
        return vst3::kNoInterface;
    }
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }
    vst3::tresult VST3_CALL read(void* buffer, vst3::int32 n, vst3::int32* got) override {
        const size_t count = std::min({static_cast<size_t>(n), static_cast<size_t>(most),
                                       bytes.size() - position});
        std::memcpy(buffer, bytes.data() + position, count);
        position += count;
        *got = static_cast<vst3::int32>(count);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL write(void* buffer, vst3::int32 n, vst3::int32* put) override {
        const size_t count = std::min(static_cast<size_t>(n), static_cast<size_t>(most));
        const auto* from = static_cast<const uint8_t*>(buffer);
        bytes.insert(bytes.end(), from, from + count);
        *put = static_cast<vst3::int32>(count);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_CALL seek(vst3::int64, vst3::int32, vst3::int64*) override {
        return vst3::kNotImplemented;
    }
    vst3::tresult VST3_CALL tell(vst3::int64* at) override {
        *at = static_cast<vst3::int64>(position);
        return vst3::kResultOk;
    }

private:
    std::vector<uint8_t> bytes;
    size_t position = 0;
    int32_t most;
};

// CRC-32 as zip has it: for states that are whole but of another version.
uint32_t crc32(const uint8_t* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

class Vst3State : public Vst3Test {
protected:
    // An instance whose values were set through a block's queue points.
    std::unique_ptr<Vst3Instance> instanceWith(const std::vector<float>& setting) {
        auto plugin = newInstance();
        Vst3ParameterChanges changes(kParameterCount, 1);
        for (size_t i = 0; i < setting.size(); ++i)
            changes.add(static_cast<vst3::ParamID>(i), 0, setting[i]);
        // Without audio, as a host flushes its changes.
        plugin->process(nullptr, 0, nullptr, 0, 0, &changes);
        return plugin;
    }

    std::vector<uint8_t> stateOf(Vst3Instance& plugin) {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(plugin.saveState(bytes));
        return bytes;
    }

    std::vector<float> setting() {
        std::vector<float> v;
        for (int32_t i = 0; i < kParameterCount; ++i) v.push_back(0.03f + 0.041f * static_cast<float>(i));
        return v;
    }
};

TEST_F(Vst3State, RestoresIntoAnotherInstanceAndItsControllerAndSoundsAlike) {
    const std::vector<float> values = setting();
    auto saved = instanceWith(values);
    const std::vector<uint8_t> bytes = stateOf(*saved);
    // The values, then the bypass.
    ASSERT_EQ(bytes.size(), 4u + 4u + 4u + 4u * (kParameterCount + 1) + 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "VrnD");

    auto restored = newInstance();
    ASSERT_TRUE(restored->loadState(bytes));
    EXPECT_EQ(stateOf(*restored), bytes);
    // The controller shows what the module reads after the same values.
    auto module = newVst2Instance();
    for (int32_t i = 0; i < kParameterCount; ++i) {
        module->setParameter(i, values[static_cast<size_t>(i)]);
        EXPECT_EQ(static_cast<float>(restored->controller()->getParamNormalized(i)),
                  module->getParameter(i));
    }
    // And the effect sounds as the module with those values.
    std::string error;
    ASSERT_TRUE(restored->activate(44100.0, 512, error)) << error;
    const Stereo input = noise(44100, 8);
    Stereo out(input.frames());
    for (size_t at = 0; at < input.frames(); at += 512) {
        const int32_t frames = static_cast<int32_t>(std::min<size_t>(512, input.frames() - at));
        float* in[2] = {const_cast<float*>(input.left.data()) + at,
                        const_cast<float*>(input.right.data()) + at};
        float* o[2] = {out.left.data() + at, out.right.data() + at};
        restored->process(in, 2, o, 2, frames);
    }
    EXPECT_TRUE(out == renderVst2(input, blockSizes(input.frames(), 512), 44100.0f, values));
}

// A host that makes the controller itself and connects the two, and one that
// asks the component for it: either way the controller follows the state.
TEST_F(Vst3State, AControllerMadeApartOrAskedOfTheComponentFollowsTheState) {
    const std::vector<uint8_t> bytes = stateOf(*instanceWith(setting()));
    vst3::IPluginFactory* factory = bundle.factory();
    auto made = [&](const vst3::Uid& interfaceId) {
        vst3::PClassInfo info;
        void* object = nullptr;
        for (int32_t i = 0; i < factory->countClasses(); ++i) {
            factory->getClassInfo(i, &info);
            if (factory->createInstance(info.cid, interfaceId.bytes, &object) == vst3::kResultOk)
                return object;
        }
        return object;
    };
    auto* component = static_cast<vst3::IComponent*>(made(vst3::IComponent::iid));
    auto* apart = static_cast<vst3::IEditController*>(made(vst3::IEditController::iid));
    ASSERT_TRUE(component && apart);
    ASSERT_EQ(component->initialize(nullptr), vst3::kResultOk);
    ASSERT_EQ(apart->initialize(nullptr), vst3::kResultOk);
    void* points[2] = {};
    ASSERT_EQ(component->queryInterface(vst3::IConnectionPoint::iid.bytes, &points[0]), vst3::kResultOk);
    ASSERT_EQ(apart->queryInterface(vst3::IConnectionPoint::iid.bytes, &points[1]), vst3::kResultOk);
    auto* componentPoint = static_cast<vst3::IConnectionPoint*>(points[0]);
    auto* controllerPoint = static_cast<vst3::IConnectionPoint*>(points[1]);
    EXPECT_EQ(componentPoint->connect(controllerPoint), vst3::kResultOk);
    EXPECT_EQ(controllerPoint->connect(componentPoint), vst3::kResultOk);

    Vst3MemoryStream stream(bytes);
    ASSERT_EQ(component->setState(&stream), vst3::kResultOk);
    stream.rewind();
    ASSERT_EQ(apart->setComponentState(&stream), vst3::kResultOk);
    void* asked = nullptr;
    ASSERT_EQ(component->queryInterface(vst3::IEditController::iid.bytes, &asked), vst3::kResultOk);
    auto* own = static_cast<vst3::IEditController*>(asked);
    // The component's own controller was made after the state: it starts
    // from it. Then a second state reaches it without the host's help.
    for (int32_t i = 0; i < kParameterCount; ++i)
        EXPECT_EQ(own->getParamNormalized(i), apart->getParamNormalized(i));
    auto other = instanceWith(std::vector<float>(kParameterCount, 0.5f));
    Vst3MemoryStream second(stateOf(*other));
    ASSERT_EQ(component->setState(&second), vst3::kResultOk);
    EXPECT_NE(own->getParamNormalized(0), apart->getParamNormalized(0));
    // Tap 1 time at 0.5 is 1000 ms, which reads back as 0.5 exactly.
    EXPECT_EQ(own->getParamNormalized(0), 0.5);

    EXPECT_EQ(componentPoint->disconnect(controllerPoint), vst3::kResultOk);
    EXPECT_EQ(controllerPoint->disconnect(componentPoint), vst3::kResultOk);
    componentPoint->release();
    controllerPoint->release();
    own->release();
    apart->terminate();
    apart->release();
    component->terminate();
    component->release();
}

TEST_F(Vst3State, StreamsThatMoveAFewBytesAtATimeCarryTheWholeState) {
    const std::vector<uint8_t> bytes = stateOf(*instanceWith(setting()));
    for (int32_t most : {1, 2, 3, 5}) {
        auto saved = instanceWith(setting());
        TrickleStream out({}, most);
        ASSERT_EQ(saved->component()->getState(&out), vst3::kResultOk);
        EXPECT_EQ(out.contents(), bytes) << most;

        auto restored = newInstance();
        TrickleStream in(bytes, most);
        ASSERT_EQ(restored->component()->setState(&in), vst3::kResultOk) << most;
        TrickleStream again(bytes, most);
        ASSERT_EQ(restored->controller()->setComponentState(&again), vst3::kResultOk);
        EXPECT_EQ(stateOf(*restored), bytes);
    }
}

// Cut at every length, any byte flipped, a later version, another plug-in's
// bytes: refused with an error, and the component and controller keep what
// they had.
TEST_F(Vst3State, RefusesAnythingButAWholeStateOfOursAndKeepsItsOwn) {
    const std::vector<uint8_t> good = stateOf(*instanceWith(setting()));
    auto plugin = instanceWith(std::vector<float>(kParameterCount, 0.25f));
    const std::vector<uint8_t> kept = stateOf(*plugin);
    const double shown = plugin->controller()->getParamNormalized(5);

    std::vector<std::vector<uint8_t>> bad;
    for (size_t length = 0; length < good.size(); ++length)
        bad.emplace_back(good.begin(), good.begin() + static_cast<long>(length));
    for (size_t at = 0; at < good.size(); ++at) {
        std::vector<uint8_t> flipped = good;
        flipped[at] ^= static_cast<uint8_t>(1u << (at % 8));
        bad.push_back(flipped);
    }
    std::vector<uint8_t> later = good;
    later[4] = 3;
    const uint32_t crc = crc32(later.data(), later.size() - 4);
    for (int i = 0; i < 4; ++i) later[later.size() - 4 + static_cast<size_t>(i)] = static_cast<uint8_t>(crc >> (8 * i));
    bad.push_back(later);
    std::vector<uint8_t> foreign(good.size(), 0x5A);
    bad.push_back(foreign);
    bad.push_back(std::vector<uint8_t>{'V', 'r', 'n', 'D', 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F});

    for (size_t n = 0; n < bad.size(); ++n) {
        Vst3MemoryStream stream(bad[n]);
        EXPECT_EQ(plugin->component()->setState(&stream), vst3::kResultFalse) << "case " << n;
        Vst3MemoryStream again(bad[n]);
        EXPECT_EQ(plugin->controller()->setComponentState(&again), vst3::kResultFalse);
    }
    EXPECT_EQ(plugin->component()->setState(nullptr), vst3::kResultFalse);
    EXPECT_EQ(stateOf(*plugin), kept);
    EXPECT_EQ(plugin->controller()->getParamNormalized(5), shown);
}

// A host that sends every parameter every block sends, after a project
// loads, the values it sent before: they must take hold over the loaded ones.
TEST_F(Vst3State, AValueSentAgainAfterAStateTakesHoldAgain) {
    auto plugin = newInstance();
    const std::vector<uint8_t> defaults = stateOf(*plugin);
    std::string error;
    ASSERT_TRUE(plugin->activate(44100.0, 64, error)) << error;
    Vst3ParameterChanges changes(kParameterCount, 1);
    changes.add(0, 0, 0.5);  // Tap 1 time: 1000 ms
    Stereo io(64);
    float* in[2] = {io.left.data(), io.right.data()};
    float* out[2] = {io.left.data(), io.right.data()};
    ASSERT_EQ(plugin->process(in, 2, out, 2, 64, &changes), vst3::kResultOk);
    ASSERT_TRUE(plugin->loadState(defaults));
    ASSERT_EQ(plugin->process(in, 2, out, 2, 64), vst3::kResultOk);
    EXPECT_EQ(stateOf(*plugin), defaults);
    ASSERT_EQ(plugin->process(in, 2, out, 2, 64, &changes), vst3::kResultOk);
    const std::vector<uint8_t> now = stateOf(*plugin);
    float tapTime = 0.0f;
    std::memcpy(&tapTime, now.data() + 12, 4);
    EXPECT_EQ(tapTime, 1000.0f);
}

}  // namespace
