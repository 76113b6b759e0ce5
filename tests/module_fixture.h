// Loads the built plug-in module the way a host does and holds one instance,
// so that tests talk to it only through its record.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "host/library/plugin_instance.h"
#include "host/library/recording_host.h"
#include "host/library/vst_module.h"

#ifndef VARNOLET_MODULE_PATH
#error "the tests need the path of the built module"
#endif

inline VstModule loadVarnolet() {
    VstModule module;
    std::string error;
    if (!module.load(VARNOLET_MODULE_PATH, error)) ADD_FAILURE() << error;
    return module;
}

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = loadVarnolet();
        ASSERT_TRUE(module.loaded());
        plugin = newInstance();
        ASSERT_NE(plugin, nullptr);
    }

    std::unique_ptr<PluginInstance> newInstance() {
        std::string error;
        auto instance = PluginInstance::create(module, host, error);
        EXPECT_NE(instance, nullptr) << error;
        return instance;
    }

    // The parameter's native value from its normalised one, independently of
    // the plug-in: linear for every unit but the logarithmic cutoff.
    void setNative(int32_t index, float native, float min, float max) {
        plugin->setParameter(index, (native - min) / (max - min));
    }

    // Processes the whole buffers in blocks of the given size.
    void render(std::vector<float>& left, std::vector<float>& right, std::vector<float>& outLeft,
                std::vector<float>& outRight, size_t blockSize = 512) {
        outLeft.assign(left.size(), 0.0f);
        outRight.assign(right.size(), 0.0f);
        for (size_t start = 0; start < left.size(); start += blockSize) {
            const size_t frames = std::min(blockSize, left.size() - start);
            float* in[2] = {left.data() + start, right.data() + start};
            float* out[2] = {outLeft.data() + start, outRight.data() + start};
            plugin->processReplacing(in, out, static_cast<int32_t>(frames));
        }
    }

    VstModule module;
    RecordingHost host;
    std::unique_ptr<PluginInstance> plugin;
};

// Parameter indices as a host sees them.
namespace param {
constexpr int32_t tapTime(int tap) { return 4 * (tap - 1); }
constexpr int32_t tapPan(int tap) { return 4 * (tap - 1) + 1; }
constexpr int32_t tapFeedback(int tap) { return 4 * (tap - 1) + 2; }
constexpr int32_t tapLevel(int tap) { return 4 * (tap - 1) + 3; }
constexpr int32_t kWetDry = 16;
constexpr int32_t kCutoff = 17;
constexpr int32_t kQ = 18;
constexpr int32_t kType = 19;
constexpr int32_t kSweep = 20;
constexpr int32_t kSaturation = 21;
constexpr int32_t kMasterFeedback = 22;
}  // namespace param
