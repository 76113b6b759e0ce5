#include "framework/tolm_program.h"

#include <cstring>

void TolmProgramBasic::setName(const char* newName) {
    if (!newName) return;
    size_t length = strnlen(newName, kNameSize - 1);
    std::memcpy(name, newName, length);
    std::memset(name + length, 0, kNameSize - length);
}
