#include "host/library/clap_module.h"

#include <map>
#include <mutex>

namespace {
// Recursive: a module that fails while being loaded goes again under the lock.
std::recursive_mutex modulesMutex;
std::map<std::string, std::weak_ptr<ClapModule>> openModules;
}  // namespace

std::shared_ptr<ClapModule> ClapModule::load(const std::string& path, std::string& error) {
    std::lock_guard<std::recursive_mutex> lock(modulesMutex);
    if (std::shared_ptr<ClapModule> open = openModules[path].lock()) return open;

    std::shared_ptr<ClapModule> module(new ClapModule);
    if (!module->library.open(path, error)) {
        error = "cannot load the plug-in: " + error;
        return nullptr;
    }
    module->modulePath = path;
    const std::string notClap = path + " is not a CLAP plug-in: ";
    module->entry = static_cast<const vclap_plugin_entry_t*>(module->library.symbol(VCLAP_ENTRY_SYMBOL));
    const vclap_plugin_entry_t* entry = module->entry;
    if (!entry) {
        error = notClap + "it exports no " VCLAP_ENTRY_SYMBOL;
        return nullptr;
    }
    if (!vclap_version_is_compatible(entry->clap_version)) {
        error = notClap + "its entry is of the draft version " +
                std::to_string(entry->clap_version.major) + "." +
                std::to_string(entry->clap_version.minor);
        return nullptr;
    }
    if (!entry->init || !entry->deinit || !entry->get_factory) {
        error = notClap + "its entry lacks a function";
        return nullptr;
    }
    if (!entry->init(path.c_str())) {
        error = path + " refused to initialise";
        return nullptr;
    }
    module->initialised = true;
    module->pluginFactory =
        static_cast<const vclap_plugin_factory_t*>(entry->get_factory(VCLAP_PLUGIN_FACTORY_ID));
    const vclap_plugin_factory_t* factory = module->pluginFactory;
    if (!factory || !factory->get_plugin_count || !factory->get_plugin_descriptor ||
        !factory->create_plugin) {
        error = path + " has no plug-in factory";
        return nullptr;
    }
    openModules[path] = module;
    return module;
}

ClapModule::~ClapModule() {
    if (initialised) entry->deinit();
    std::lock_guard<std::recursive_mutex> lock(modulesMutex);
    const auto found = openModules.find(modulePath);
    if (found != openModules.end() && found->second.expired()) openModules.erase(found);
}
