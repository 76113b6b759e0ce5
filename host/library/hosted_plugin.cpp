#include "host/library/hosted_plugin.h"

bool HostedPlugin::loadPreset(const std::vector<uint8_t>&, const std::string& name,
                              std::string& error) {
    error = name + " is a " + formatName() + " plug-in; preset files (.fxp, .fxb) are VST 2.4's";
    return false;
}

bool HostedPlugin::savePreset(bool, std::vector<uint8_t>&, std::string& error) {
    error = path() + " is a " + formatName() + " plug-in; preset files (.fxp, .fxb) are VST 2.4's";
    return false;
}
