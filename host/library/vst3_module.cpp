#include "host/library/vst3_module.h"

#include <sys/stat.h>

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
constexpr const char* kEntry = "InitDll";
constexpr const char* kExit = "ExitDll";
#if defined(_WIN64)
constexpr const char* kArchitecture = "x86_64-win";
#else
constexpr const char* kArchitecture = "x86-win";
#endif
constexpr const char* kBinarySuffix = ".vst3";
#else
void* openLibrary(const std::string& path, std::string& error) {
    const std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : "cannot load " + path;
    }
    return handle;
}
void* findSymbol(void* handle, const char* name) { return dlsym(handle, name); }
void closeLibrary(void* handle) { dlclose(handle); }
constexpr const char* kEntry = "ModuleEntry";
constexpr const char* kExit = "ModuleExit";
#if defined(__x86_64__)
constexpr const char* kArchitecture = "x86_64-linux";
#elif defined(__i386__)
constexpr const char* kArchitecture = "i386-linux";
#elif defined(__aarch64__)
constexpr const char* kArchitecture = "aarch64-linux";
#else
constexpr const char* kArchitecture = "unknown-linux";
#endif
constexpr const char* kBinarySuffix = ".so";
#endif

bool isDirectory(const std::string& path) {
    struct stat facts;
    return stat(path.c_str(), &facts) == 0 && (facts.st_mode & S_IFMT) == S_IFDIR;
}

}  // namespace

std::string Vst3Module::binaryOf(const std::string& path) {
    if (!isDirectory(path)) return path;
    std::string bundle = path;
    while (bundle.size() > 1 && (bundle.back() == '/' || bundle.back() == '\\')) bundle.pop_back();
    const size_t slash = bundle.find_last_of("/\\");
    std::string name = slash == std::string::npos ? bundle : bundle.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return bundle + "/Contents/" + kArchitecture + "/" + name + kBinarySuffix;
}

bool Vst3Module::load(const std::string& path, std::string& error) {
    unload();
    const std::string binary = binaryOf(path);
    void* opened = openLibrary(binary, error);
    if (!opened) return false;
    const auto getFactory =
        reinterpret_cast<vst3::GetFactoryProc>(findSymbol(opened, "GetPluginFactory"));
    if (!getFactory) {
        error = path + " is not a VST3 module: it exports no GetPluginFactory";
        closeLibrary(opened);
        return false;
    }
#if defined(_WIN32)
    const auto enter = reinterpret_cast<vst3::InitDllProc>(findSymbol(opened, kEntry));
    const bool enteredNow = enter ? enter() : true;
#else
    const auto enter = reinterpret_cast<vst3::ModuleEntryProc>(findSymbol(opened, kEntry));
    const bool enteredNow = enter ? enter(opened) : true;
#endif
    if (!enteredNow) {
        error = path + ": its " + kEntry + " refused";
        closeLibrary(opened);
        return false;
    }
    vst3::IPluginFactory* made = getFactory();
    if (!made) {
        error = path + ": GetPluginFactory gave no factory";
        if (const auto leave = reinterpret_cast<vst3::ModuleExitProc>(findSymbol(opened, kExit)))
            leave();
        closeLibrary(opened);
        return false;
    }
    handle = opened;
    entered = enter != nullptr;
    factoryInterface = made;
    modulePath = path;
    return true;
}

void Vst3Module::unload() {
    if (factoryInterface) factoryInterface->release();
    factoryInterface = nullptr;
    if (handle) {
        if (entered)
            if (const auto leave = reinterpret_cast<vst3::ModuleExitProc>(findSymbol(handle, kExit)))
                leave();
        closeLibrary(handle);
    }
    handle = nullptr;
    entered = false;
}

void* Vst3Module::symbol(const char* name) const {
    return handle ? findSymbol(handle, name) : nullptr;
}
