// A CLAP module loaded into this process: its entry initialised once with
// the module's path, its plug-in factory, and the entry's deinit when the
// last user lets it go. Every plug-in opened from one file shares one module,
// since a module's entry is initialised once however often it is loaded.
#pragma once

#include <memory>
#include <string>

#include "clap/clap_interface.h"
#include "host/library/shared_library.h"

class ClapModule {
public:
    // The module of that file, loaded now or shared with those open; null,
    // saying why, for a file that is no CLAP module or one whose entry fails.
    static std::shared_ptr<ClapModule> load(const std::string& path, std::string& error);
    ~ClapModule();
    ClapModule(const ClapModule&) = delete;
    ClapModule& operator=(const ClapModule&) = delete;

    const std::string& path() const { return modulePath; }
    const vclap_plugin_factory_t& factory() const { return *pluginFactory; }
    vclap_version_t version() const { return entry->clap_version; }

private:
    ClapModule() = default;

    SharedLibrary library;
    std::string modulePath;
    const vclap_plugin_entry_t* entry = nullptr;
    bool initialised = false;
    const vclap_plugin_factory_t* pluginFactory = nullptr;
};
