// Plays the blocks of one process operation: inputs and outputs in guarded
// buffers, the outputs to be replaced filled with the never-written
// pattern, notes before each block and a second thread setting parameters
// meanwhile if asked, and after every block the checks of what came out.
#pragma once

#include <memory>
#include <vector>

#include "host/tool/validate/guarded_memory.h"
#include "host/tool/validate/note_source.h"
#include "host/tool/validate/operation.h"
#include "host/tool/validate/player_context.h"
#include "host/tool/validate/signal_source.h"

class BlockRunner {
public:
    BlockRunner();

    enum class Result { Played, WentNonFinite };
    Result play(PlayerContext& context, const ops::Process& operation);

    // Blocks of clean noise, out of place; true if the last one is finite
    // throughout.
    bool playClean(PlayerContext& context, int32_t frames, int64_t blocks);

    // Whether the instance was ever sent a note, and so may hold keys down.
    bool sentNotes() const { return notesSent; }
    // Sends a list of events, as hosts do just before a block.
    void sendEvents(PlayerContext& context, std::vector<VstMidiEvent>& events);

private:
    Result playBlock(PlayerContext& context, TestSignal signal, size_t frames, bool inPlace);
    GuardedBuffer& channel(std::vector<std::unique_ptr<GuardedBuffer>>& set, size_t index,
                           const char* what);
    void checkMargins(PlayerContext& context, size_t inputs, size_t outputs, size_t frames,
                      bool inPlace);

    std::vector<std::unique_ptr<GuardedBuffer>> inputBuffers, outputBuffers;
    GuardedBuffer inputPointers, outputPointers;
    std::vector<float*> inputs, outputs;
    SignalSource source;
    EventList eventList;
    bool lastBlockFinite = true;
    bool notesSent = false;
};
