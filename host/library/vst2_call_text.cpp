#include "host/library/vst2_call_text.h"

#include <cstdio>
#include <cstring>

#include "host/library/opcode_names.h"

namespace {
// Requests whose ptr carries a text to the other side.
bool carriesText(bool toPlugin, int32_t opcode) {
    if (toPlugin) return opcode == effCanDo || opcode == effSetProgramName;
    return opcode == audioMasterCanDo;
}

std::string arguments(int32_t index, intptr_t value, void* ptr, float opt, bool text) {
    char line[160];
    if (text && ptr) {
        const char* s = static_cast<const char*>(ptr);
        std::snprintf(line, sizeof line, "index=%d value=%lld ptr=\"%.64s\" opt=%g", index,
                      static_cast<long long>(value), s, static_cast<double>(opt));
    } else {
        std::snprintf(line, sizeof line, "index=%d value=%lld ptr=%p opt=%g", index,
                      static_cast<long long>(value), ptr, static_cast<double>(opt));
    }
    return line;
}
}  // namespace

std::string describeRequest(const HostRequest& request) {
    char line[200];
    switch (request.kind) {
        case HostRequest::Kind::SetParameter:
            std::snprintf(line, sizeof line, "-> setParameter index=%d value=%.9g", request.index,
                          static_cast<double>(request.opt));
            return line;
        case HostRequest::Kind::GetParameter:
            std::snprintf(line, sizeof line, "-> getParameter index=%d", request.index);
            return line;
        case HostRequest::Kind::ProcessReplacing:
            std::snprintf(line, sizeof line, "-> processReplacing frames=%lld",
                          static_cast<long long>(request.value));
            return line;
        case HostRequest::Kind::Dispatch:
            break;
    }
    return std::string("-> ") + effectOpcodeName(request.opcode) + " " +
           arguments(request.index, request.value, request.ptr, request.opt,
                     carriesText(true, request.opcode));
}

std::string describeHostCall(const HostCall& call) {
    return std::string("<- ") + audioMasterOpcodeName(call.opcode) + " " +
           arguments(call.index, call.value, call.ptr, call.opt, carriesText(false, call.opcode));
}
