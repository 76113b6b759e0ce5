// A VST3 module loaded into this process: found from its bundle (or given as
// its binary), entered, and its class factory; left and unloaded when it
// goes.
#pragma once

#include <memory>
#include <string>

#include "host/library/shared_library.h"
#include "vst3/vst3_interface.h"

class Vst3Module {
public:
    Vst3Module() = default;
    ~Vst3Module() { unload(); }
    Vst3Module(const Vst3Module&) = delete;
    Vst3Module& operator=(const Vst3Module&) = delete;

    // The binary a bundle holds for this platform
    // (NAME.vst3/Contents/x86_64-linux/NAME.so, .../x86_64-win/NAME.vst3),
    // or the path itself when it names a file.
    static std::string binaryOf(const std::string& path);

    // The module of that bundle, loaded now or shared with the plug-ins of
    // it that are open: a module is entered once however often it is used.
    static std::shared_ptr<Vst3Module> shared(const std::string& path, std::string& error);

    // Loads the binary, calls its entry (ModuleEntry, or InitDll where the
    // module has one) and takes its factory. False, saying why, on failure.
    bool load(const std::string& path, std::string& error);
    void unload();

    bool loaded() const { return factoryInterface != nullptr; }
    vst3::IPluginFactory* factory() const { return factoryInterface; }
    // Looks up any exported symbol, for tests that check the export table.
    void* symbol(const char* name) const;
    const std::string& path() const { return modulePath; }

private:
    SharedLibrary library;
    vst3::IPluginFactory* factoryInterface = nullptr;
    bool entered = false;
    std::string modulePath;
};
