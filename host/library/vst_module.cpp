#include "host/library/vst_module.h"

#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {
#if defined(_WIN32)
void* openLibrary(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return reinterpret_cast<void*>(module);
}
void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
void* openLibrary(const std::string& path, std::string& error) {
    // A path without a slash would be searched for in the library path; a
    // file named on the command line is meant as it stands.
    std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : "cannot load " + path;
    }
    return handle;
}
void* findSymbol(void* handle, const char* name) { return dlsym(handle, name); }
void closeLibrary(void* handle) { dlclose(handle); }
#endif
}  // namespace

VstModule::~VstModule() { unload(); }

VstModule::VstModule(VstModule&& other) noexcept
    : handle(std::exchange(other.handle, nullptr)),
      entryPoint(std::exchange(other.entryPoint, nullptr)),
      modulePath(std::move(other.modulePath)) {}

VstModule& VstModule::operator=(VstModule&& other) noexcept {
    if (this != &other) {
        unload();
        handle = std::exchange(other.handle, nullptr);
        entryPoint = std::exchange(other.entryPoint, nullptr);
        modulePath = std::move(other.modulePath);
    }
    return *this;
}

bool VstModule::load(const std::string& path, std::string& error) {
    unload();
    void* opened = openLibrary(path, error);
    if (!opened) return false;
    void* found = findSymbol(opened, "VSTPluginMain");
    if (!found) found = findSymbol(opened, "main");
    if (!found) {
        error = path + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main";
        closeLibrary(opened);
        return false;
    }
    handle = opened;
    entryPoint = reinterpret_cast<VstEntryProc>(found);
    modulePath = path;
    return true;
}

void VstModule::unload() {
    if (handle) closeLibrary(handle);
    handle = nullptr;
    entryPoint = nullptr;
}

void* VstModule::symbol(const char* name) const {
    return handle ? findSymbol(handle, name) : nullptr;
}
