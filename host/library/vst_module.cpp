#include "host/library/vst_module.h"

#include <utility>

VstModule::VstModule(VstModule&& other) noexcept
    : library(std::move(other.library)),
      entryPoint(std::exchange(other.entryPoint, nullptr)),
      modulePath(std::move(other.modulePath)) {}

VstModule& VstModule::operator=(VstModule&& other) noexcept {
    if (this != &other) {
        library = std::move(other.library);
        entryPoint = std::exchange(other.entryPoint, nullptr);
        modulePath = std::move(other.modulePath);
    }
    return *this;
}

bool VstModule::load(const std::string& path, std::string& error) {
    unload();
    if (!library.open(path, error)) return false;
    void* found = library.symbol("VSTPluginMain");
    if (!found) found = library.symbol("main");
    if (!found) {
        error = path + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main";
        library.close();
        return false;
    }
    entryPoint = reinterpret_cast<VstEntryProc>(found);
    modulePath = path;
    return true;
}

void VstModule::unload() {
    library.close();
    entryPoint = nullptr;
}
