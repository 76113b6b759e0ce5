// A shared library loaded into this process (a .so, a .dll, a .clap), and
// the symbols it exports; unloaded when it goes.
#pragma once

#include <string>

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary() { close(); }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;

    // False, with the loader's reason, when it cannot be loaded.
    bool open(const std::string& path, std::string& error);
    void close();

    bool loaded() const { return handle != nullptr; }
    void* symbol(const char* name) const;
    // The loader's own handle, which some entry functions are given.
    void* nativeHandle() const { return handle; }

private:
    void* handle = nullptr;
};
