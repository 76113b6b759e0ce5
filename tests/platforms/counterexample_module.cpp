// A module built the careless way, as the DLL table check must reject it: an
// export beyond the entry, and the C++ runtime left as a DLL of its own.
#include <stdexcept>
#include <string>

extern "C" __declspec(dllexport) int leakedHelper(const char* text) {
    if (!text) throw std::invalid_argument("no text");
    return static_cast<int>(std::string(text).size());
}

extern "C" __declspec(dllexport) void* VSTPluginMain(void*) { return nullptr; }
