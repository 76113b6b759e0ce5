// One request the host sends to a plug-in, as a request observer sees it
// just before it goes out.
#pragma once

#include <cstdint>

struct HostRequest {
    enum class Kind { Dispatch, SetParameter, GetParameter, ProcessReplacing };

    Kind kind = Kind::Dispatch;
    int32_t opcode = 0;  // dispatcher requests only
    int32_t index = 0;   // also the parameter index
    intptr_t value = 0;  // also the frame count of a process call
    void* ptr = nullptr;
    float opt = 0.0f;  // also the value of setParameter
};
