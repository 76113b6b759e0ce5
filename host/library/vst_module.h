// A plug-in module loaded into this process, and its entry function.
#pragma once

#include <string>

#include "vst/aeffect.h"

class VstModule {
public:
    VstModule() = default;
    ~VstModule();
    VstModule(const VstModule&) = delete;
    VstModule& operator=(const VstModule&) = delete;
    VstModule(VstModule&& other) noexcept;
    VstModule& operator=(VstModule&& other) noexcept;

    // Loads the module and finds its entry ("VSTPluginMain", else "main").
    // On failure returns false and says why in error.
    bool load(const std::string& path, std::string& error);
    void unload();

    bool loaded() const { return handle != nullptr; }
    VstEntryProc entry() const { return entryPoint; }
    // Looks up any exported symbol, for tests that check the export table.
    void* symbol(const char* name) const;
    const std::string& path() const { return modulePath; }

private:
    void* handle = nullptr;
    VstEntryProc entryPoint = nullptr;
    std::string modulePath;
};
