// Loads the built VST3 bundle the way a host does, beside the VST 2.4 module
// it must agree with, and renders through either.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
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

#ifndef VARNOLET_VST3_BUNDLE
#error "the tests need the path of the built bundle"
#endif
#ifndef VARNOLET_MODULE_PATH
#error "the tests need the path of the built VST 2.4 module"
#endif

// The module's parameters, which the bundle has under the same ids; its
// bypass and its program change follow them.
constexpr int32_t kParameterCount = 23;
constexpr vst3::ParamID kBypassId = 23;
constexpr vst3::ParamID kProgramId = 24;

// Stereo audio, frames of each channel apart.
struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(size_t frames = 0) : left(frames), right(frames) {}
    size_t frames() const { return left.size(); }
    bool operator==(const Stereo& other) const {
        return left == other.left && right == other.right;
    }
};

// Noise with an impulse in front, the same for a seed on every platform.
inline Stereo noise(size_t frames, uint32_t seed) {
    std::mt19937 draw(seed);
    Stereo s(frames);
    for (size_t i = 0; i < frames; ++i) {
        const float l = static_cast<float>(draw() >> 8) * 0x1p-24f;
        const float r = static_cast<float>(draw() >> 8) * 0x1p-24f;
        s.left[i] = l - 0.5f;
        s.right[i] = r - 0.5f;
    }
    if (frames) s.left[0] = s.right[0] = 1.0f;
    return s;
}

// Sizes of consecutive blocks: a fixed size, or drawn from 1 to 4096.
inline std::vector<int32_t> blockSizes(size_t frames, int32_t fixed, uint32_t seed = 7) {
    std::mt19937 draw(seed);
    std::vector<int32_t> sizes;
    for (size_t done = 0; done < frames;) {
        int32_t size = fixed;
        if (fixed <= 0) size = 1 + static_cast<int32_t>(draw() % 4096u);
        size = static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(size), frames - done));
        sizes.push_back(size);
        done += static_cast<size_t>(size);
    }
    return sizes;
}

class Vst3Test : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(bundle.load(VARNOLET_VST3_BUNDLE, error)) << error;
        ASSERT_TRUE(vst2.load(VARNOLET_MODULE_PATH, error)) << error;
    }

    std::unique_ptr<Vst3Instance> newInstance() {
        std::string error;
        auto instance = Vst3Instance::create(bundle, error);
        EXPECT_NE(instance, nullptr) << error;
        return instance;
    }

    std::unique_ptr<PluginInstance> newVst2Instance() {
        std::string error;
        auto instance = PluginInstance::create(vst2, host, error);
        EXPECT_NE(instance, nullptr) << error;
        return instance;
    }

    // Renders through the bundle in the given blocks, with the normalised
    // values set through the block's first queue point where given.
    Stereo renderVst3(const Stereo& input, const std::vector<int32_t>& blocks, double rate,
                      const std::vector<float>& settings = {}) {
        auto plugin = newInstance();
        std::string error;
        EXPECT_TRUE(plugin->activate(rate, 4096, error)) << error;
        Vst3ParameterChanges changes(kParameterCount, 4);
        for (size_t i = 0; i < settings.size(); ++i)
            changes.add(static_cast<vst3::ParamID>(i), 0, settings[i]);
        Stereo output(input.frames());
        size_t at = 0;
        for (int32_t frames : blocks) {
            float* in[2] = {const_cast<float*>(input.left.data()) + at,
                            const_cast<float*>(input.right.data()) + at};
            float* out[2] = {output.left.data() + at, output.right.data() + at};
            plugin->process(in, 2, out, 2, frames, changes.empty() ? nullptr : &changes);
            changes.clear();
            at += static_cast<size_t>(frames);
        }
        return output;
    }

    Stereo renderVst2(const Stereo& input, const std::vector<int32_t>& blocks, float rate,
                      const std::vector<float>& settings = {}) {
        auto plugin = newVst2Instance();
        plugin->prepare(rate, 4096);
        for (size_t i = 0; i < settings.size(); ++i)
            plugin->setParameter(static_cast<int32_t>(i), settings[i]);
        Stereo output(input.frames());
        size_t at = 0;
        for (int32_t frames : blocks) {
            float* in[2] = {const_cast<float*>(input.left.data()) + at,
                            const_cast<float*>(input.right.data()) + at};
            float* out[2] = {output.left.data() + at, output.right.data() + at};
            plugin->processReplacing(in, out, frames);
            at += static_cast<size_t>(frames);
        }
        return output;
    }

    Vst3Module bundle;
    VstModule vst2;
    RecordingHost host;
};
