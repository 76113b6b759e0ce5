// Names of the dispatcher requests, for logs.
#pragma once

#include <cstdint>

// "effOpen" for 0 and so on; "(unknown)" outside the interface's range.
const char* effectOpcodeName(int32_t opcode);
