#include "clap/plugin_descriptor.h"

#include "core/effect_identity.h"

namespace varnolet_clap {

namespace {
const char* const kFeatures[] = {VCLAP_PLUGIN_FEATURE_AUDIO_EFFECT, VCLAP_PLUGIN_FEATURE_DELAY,
                                 VCLAP_PLUGIN_FEATURE_STEREO, nullptr};
}  // namespace

const vclap_plugin_descriptor_t kDescriptor = {
    VCLAP_VERSION_INIT,
    kPluginId,
    varnolet::kProductName,
    varnolet::kVendorName,
    "",
    "",
    "",
    varnolet::kVersion,
    "A stereo delay: four panned, levelled taps on one line, feeding back through a "
    "soft clipper and a crossfading state-variable filter",
    kFeatures,
};

}  // namespace varnolet_clap
