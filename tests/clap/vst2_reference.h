// The VST 2.4 module of the same build beside the .clap: the sound and the
// texts the CLAP plug-in must give are the module's.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/parameter_mapping.h"
#include "core/varnolet_parameters.h"
#include "host/library/plugin_instance.h"
#include "host/library/recording_host.h"
#include "host/library/vst_module.h"

#ifndef VARNOLET_MODULE_PATH
#error "the tests need the path of the built VST 2.4 module"
#endif

struct Vst2Reference {
    VstModule module;
    RecordingHost host;
    std::unique_ptr<PluginInstance> plugin;

    explicit Vst2Reference(float rate = 44100.0f) {
        std::string error;
        if (!module.load(VARNOLET_MODULE_PATH, error)) ADD_FAILURE() << error;
        plugin = PluginInstance::create(module, host, error);
        if (!plugin) ADD_FAILURE() << error;
        else plugin->prepare(rate, 4096);
    }
};

// The native value the module holds once a host sends `x` for a parameter that
// holds `stored`: what a CLAP host sends for the same setting.
inline float nativeOf(int32_t index, float x, double stored) {
    return parameter_mapping::nativeFromHost(varnolet::kParameters[index], x,
                                             static_cast<float>(stored));
}
