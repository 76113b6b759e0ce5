#include "host/library/shared_library.h"

#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle(std::exchange(other.handle, nullptr)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        close();
        handle = std::exchange(other.handle, nullptr);
    }
    return *this;
}

#if defined(_WIN32)
bool SharedLibrary::open(const std::string& path, std::string& error) {
    close();
    handle = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
    if (!handle) error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return handle != nullptr;
}

void SharedLibrary::close() {
    if (handle) FreeLibrary(static_cast<HMODULE>(handle));
    handle = nullptr;
}

void* SharedLibrary::symbol(const char* name) const {
    return handle ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name))
                  : nullptr;
}
#else
bool SharedLibrary::open(const std::string& path, std::string& error) {
    close();
    // A path without a slash would be searched for in the library path; a
    // file named on the command line is meant as it stands.
    const std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : "cannot load " + path;
    }
    return handle != nullptr;
}

void SharedLibrary::close() {
    if (handle) dlclose(handle);
    handle = nullptr;
}

void* SharedLibrary::symbol(const char* name) const { return handle ? dlsym(handle, name) : nullptr; }
#endif
