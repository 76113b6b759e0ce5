#include "host/library/vst3_module.h"

#include <sys/stat.h>

#include <map>

namespace {

#if defined(_WIN32)
constexpr const char* kEntry = "InitDll";
constexpr const char* kExit = "ExitDll";
#if defined(_WIN64)
constexpr const char* kArchitecture = "x86_64-win";
#else
constexpr const char* kArchitecture = "x86-win";
#endif
constexpr const char* kBinarySuffix = ".vst3";
#else
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

std::shared_ptr<Vst3Module> Vst3Module::shared(const std::string& path, std::string& error) {
    static std::map<std::string, std::weak_ptr<Vst3Module>> open;
    if (auto existing = open[path].lock()) return existing;
    auto module = std::make_shared<Vst3Module>();
    if (!module->load(path, error)) return nullptr;
    open[path] = module;
    return module;
}

bool Vst3Module::load(const std::string& path, std::string& error) {
    unload();
    if (!library.open(binaryOf(path), error)) return false;
    const auto getFactory =
        reinterpret_cast<vst3::GetFactoryProc>(library.symbol("GetPluginFactory"));
    if (!getFactory) {
        error = path + " is not a VST3 module: it exports no GetPluginFactory";
        library.close();
        return false;
    }
#if defined(_WIN32)
    const auto enter = reinterpret_cast<vst3::InitDllProc>(library.symbol(kEntry));
    const bool welcome = enter ? enter() : true;
#else
    const auto enter = reinterpret_cast<vst3::ModuleEntryProc>(library.symbol(kEntry));
    const bool welcome = enter ? enter(library.nativeHandle()) : true;
#endif
    if (!welcome) {
        error = path + ": its " + kEntry + " refused";
        library.close();
        return false;
    }
    entered = enter != nullptr;
    factoryInterface = getFactory();
    if (!factoryInterface) {
        error = path + ": GetPluginFactory gave no factory";
        unload();
        return false;
    }
    modulePath = path;
    return true;
}

void Vst3Module::unload() {
    if (factoryInterface) factoryInterface->release();
    factoryInterface = nullptr;
    if (entered)
        if (const auto leave = reinterpret_cast<vst3::ModuleExitProc>(library.symbol(kExit))) leave();
    entered = false;
    library.close();
}

void* Vst3Module::symbol(const char* name) const { return library.symbol(name); }
