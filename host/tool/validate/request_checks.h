// Requests that pass the plug-in a buffer: texts it writes (with canaries
// after the interface's size and after the host's buffer), records it fills
// or reads, texts it reads. Each buffer stands against a guard page.
#pragma once

#include "host/tool/validate/guarded_memory.h"
#include "host/tool/validate/operation.h"
#include "host/tool/validate/player_context.h"

class RequestChecks {
public:
    RequestChecks();

    void text(PlayerContext& context, const ops::Text& operation);
    void query(PlayerContext& context, const ops::Query& operation);
    void canDo(PlayerContext& context, const ops::CanDo& operation);
    void setProgramName(PlayerContext& context, const ops::ProgramName& operation);

private:
    // A failure when the plug-in wrote past `bytes` of a buffer it was
    // given, or in front of it.
    void checkWrites(PlayerContext& context, const GuardedBuffer& buffer, size_t bytes,
                     const std::string& what);
    char* placeText(GuardedBuffer& buffer, const std::string& text);

    GuardedBuffer textBuffer, recordBuffer, firstCell, secondCell, inputArrangement,
        outputArrangement;
};

// The sizes hosts allocate for the records these requests fill.
constexpr size_t kParameterPropertiesSize = 152;
constexpr size_t kPinPropertiesSize = 128;
constexpr size_t kSpeakerRecordSize = 112;
