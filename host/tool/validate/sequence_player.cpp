#include "host/tool/validate/sequence_player.h"

#include <unistd.h>

#include <exception>

#include "host/tool/validate/block_runner.h"
#include "host/tool/validate/denormal_timing.h"
#include "host/tool/validate/player_context.h"
#include "host/tool/validate/recovery_check.h"
#include "host/tool/validate/request_checks.h"
#include "host/tool/validate/state_round_trips.h"

namespace {
class SequencePlayer {
public:
    SequencePlayer(PlayerContext& playerContext) : context(playerContext) {}

    // False when the sequence ends here.
    bool perform(const Operation& operation) { return std::visit(*this, operation); }

    bool operator()(const ops::NewInstance&) {
        context.plugin.reset();
        context.plugin = context.createInstance();
        context.sampleRate = 0.0;
        context.blockSize = 0;
        context.cleanSoFar = context.quietSoFar = true;
        return context.plugin != nullptr;
    }
    bool operator()(const ops::Open&) {
        plugin().open();
        return true;
    }
    bool operator()(const ops::SampleRate& op) {
        context.setSampleRate(op.hertz);
        return true;
    }
    bool operator()(const ops::BlockSize& op) {
        context.setBlockSize(op.frames);
        return true;
    }
    bool operator()(const ops::Resume&) {
        plugin().resume();
        return true;
    }
    bool operator()(const ops::Suspend&) {
        plugin().suspend();
        return true;
    }
    bool operator()(const ops::StartProcess&) {
        plugin().startProcessing();
        return true;
    }
    bool operator()(const ops::StopProcess&) {
        plugin().stopProcessing();
        return true;
    }
    bool operator()(const ops::Program& op) {
        plugin().dispatch(effBeginSetProgram);
        plugin().dispatch(effSetProgram, 0, static_cast<intptr_t>(op.index));
        plugin().dispatch(effEndSetProgram);
        return true;
    }
    bool operator()(const ops::ProgramName& op) {
        requests.setProgramName(context, op);
        return true;
    }
    bool operator()(const ops::SetParameter& op) {
        if (!(op.value >= 0.0 && op.value <= 1.0)) context.taint();
        plugin().setParameter(static_cast<int32_t>(op.index), static_cast<float>(op.value));
        return true;
    }
    bool operator()(const ops::GetParameter& op) {
        plugin().getParameter(static_cast<int32_t>(op.index));
        return true;
    }
    bool operator()(const ops::Text& op) {
        requests.text(context, op);
        return true;
    }
    bool operator()(const ops::Query& op) {
        requests.query(context, op);
        return true;
    }
    bool operator()(const ops::CanDo& op) {
        requests.canDo(context, op);
        return true;
    }
    bool operator()(const ops::Process& op) {
        if (blocks.play(context, op) == BlockRunner::Result::Played) return true;
        checkRecovery(context, blocks);
        return false;
    }
    bool operator()(const ops::RoundTrip& op) {
        checkRoundTrip(context, op.kind);
        return true;
    }
    bool operator()(const ops::DenormalTiming&) {
        checkDenormalSlowdown(context);
        return true;
    }

private:
    PluginInstance& plugin() { return *context.plugin; }

    PlayerContext& context;
    BlockRunner blocks;
    RequestChecks requests;
};

bool loadModule(PlayerContext& context, const std::string& path, std::string& error) {
    context.progress.callKind.store(-3);
    context.progress.beat();
    return context.module.load(path, error);
}
}  // namespace

void readPluginFacts(const std::string& modulePath, ChildReport& report, ChildProgress& progress, int logFd) {
    PlayerContext context(report, progress, 1.0, logFd);
    FactsRecord& facts = report.facts;
    std::string error;
    if (!loadModule(context, modulePath, error)) {
        copyField(facts.error, ("cannot load the plug-in: " + error).c_str());
        return;
    }
    progress.callKind.store(-1);
    context.logHostCalls();
    std::unique_ptr<PluginInstance> plugin = PluginInstance::create(context.module, context.host, error);
    if (!plugin) {
        copyField(facts.error, (modulePath + " is not a VST 2.4 plug-in: " + error).c_str());
        return;
    }
    context.observe(*plugin);
    const AEffect* record = plugin->effect();
    facts.numParams = record->numParams;
    facts.numPrograms = record->numPrograms;
    facts.numInputs = record->numInputs;
    facts.numOutputs = record->numOutputs;
    facts.flags = record->flags;
    facts.uniqueId = record->uniqueID;
    std::string name = plugin->productString();
    if (name.empty()) name = plugin->effectName();
    copyField(facts.name, name.c_str());
    const auto says = [&plugin](const char* capability) {
        return plugin->dispatch(effCanDo, 0, 0, const_cast<char*>(capability)) > 0;
    };
    facts.takesNotes = (record->flags & effFlagsIsSynth) != 0 || says("receiveVstEvents") ||
                       says("receiveVstMidiEvent");
    facts.valid = 1;
}

void playSequence(const std::string& modulePath, const OperationList& operations, const PlayOptions& options,
                  ChildReport& report, ChildProgress& progress) {
    PlayerContext context(report, progress, options.maxLevel, options.logFd);
    std::string error;
    if (!loadModule(context, modulePath, error)) {
        context.findings.failure(FindingKind::NoInstance, "no-module", "cannot load the plug-in: " + error);
        return;
    }
    context.plugin = context.createInstance();
    if (!context.plugin) return;
    SequencePlayer player(context);
    // An exception out of the plug-in ends the child where it came out,
    // before the instance is closed, so that the call it came from stays
    // the one reported.
    try {
        for (size_t i = 0; i < operations.size(); ++i) {
            progress.operation.store(static_cast<int32_t>(i));
            progress.beat();
            if (context.logging())
                context.log("# operation " + std::to_string(i + 1) + ": " + formatOperation(operations[i]));
            if (!player.perform(operations[i])) break;
        }
        progress.operation.store(static_cast<int32_t>(operations.size()));
        context.plugin.reset();
    } catch (const std::exception& exception) {
        copyField(report.exception, exception.what());
        _exit(kExceptionExit);
    } catch (...) {
        copyField(report.exception, "an exception of no standard type");
        _exit(kExceptionExit);
    }
}
