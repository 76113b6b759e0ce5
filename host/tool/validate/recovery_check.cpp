#include "host/tool/validate/recovery_check.h"

#include <vector>

void checkRecovery(PlayerContext& context, BlockRunner& blocks) {
    int32_t program = 0;
    std::vector<float> defaults;
    {
        std::unique_ptr<PluginInstance> fresh = context.createInstance();
        if (!fresh) return;
        fresh->open();
        program = fresh->program();
        for (int32_t i = 0; i < visitedParameters(*fresh); ++i) defaults.push_back(fresh->getParameter(i));
    }
    PluginInstance& plugin = *context.plugin;
    const float rate = 44100.0f;
    const int32_t block = 512;
    plugin.suspend();
    context.setSampleRate(rate);
    context.setBlockSize(block);
    if (program >= 0 && program < plugin.numPrograms()) {
        plugin.dispatch(effBeginSetProgram);
        plugin.setProgram(program);
        plugin.dispatch(effEndSetProgram);
    }
    for (size_t i = 0; i < defaults.size(); ++i) plugin.setParameter(static_cast<int32_t>(i), defaults[i]);
    plugin.resume();
    plugin.startProcessing();
    // An instrument is told to let go of its keys, as hosts do when they stop.
    if (blocks.sentNotes()) {
        std::vector<VstMidiEvent> release = allNotesOff();
        blocks.sendEvents(context, release);
    }
    const int64_t blocksInTwoSeconds = static_cast<int64_t>(2 * rate) / block + 1;
    if (!blocks.playClean(context, block, blocksInTwoSeconds))
        context.findings.failure(FindingKind::NeverRecovers, "",
                                 "output stays non-finite after a reset to the defaults and 2 s of "
                                 "clean input");
}
