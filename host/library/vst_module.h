// A plug-in module loaded into this process, and its entry function.
#pragma once

#include <string>

#include "host/library/shared_library.h"
#include "vst/aeffect.h"

class VstModule {
public:
    VstModule() = default;
    VstModule(VstModule&& other) noexcept;
    VstModule& operator=(VstModule&& other) noexcept;

    // Loads the module and finds its entry ("VSTPluginMain", else "main").
    // On failure returns false and says why in error.
    bool load(const std::string& path, std::string& error);
    void unload();

    bool loaded() const { return library.loaded(); }
    VstEntryProc entry() const { return entryPoint; }
    // Looks up any exported symbol, for tests that check the export table.
    void* symbol(const char* name) const { return library.symbol(name); }
    const std::string& path() const { return modulePath; }

private:
    SharedLibrary library;
    VstEntryProc entryPoint = nullptr;
    std::string modulePath;
};
