// Names of the requests that cross the interface, for logs.
#pragma once

#include <cstdint>

// "effOpen" for 0 and so on; "(unknown)" outside the interface's range.
const char* effectOpcodeName(int32_t opcode);
// "audioMasterAutomate" for 0 and so on; "(unknown)" outside the range.
const char* audioMasterOpcodeName(int32_t opcode);
