// The function an address of a crash lies in, from the module's own file:
// its symbol table where it has one, else the dynamic symbols it exports.
#pragma once

#include <cstdint>
#include <string>

// The demangled name of the function that covers the offset from the
// module's load address; empty when no symbol covers it.
std::string functionAt(const std::string& modulePath, uint64_t offset);
