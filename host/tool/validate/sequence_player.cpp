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
    bool perform(const Operation& op);

private:
    PlayerContext& context;
    BlockRunner blocks;
    RequestChecks requests;
};

bool SequencePlayer::perform(const Operation& op) {
    if (op.kind == OperationKind::NewInstance) {
        context.plugin.reset();
        context.plugin = context.createInstance();
        context.sampleRate = 0.0;
        context.blockSize = 0;
        context.cleanSoFar = context.quietSoFar = true;
        return context.plugin != nullptr;
    }
    PluginInstance& plugin = *context.plugin;
    switch (op.kind) {
        case OperationKind::Open: plugin.open(); break;
        case OperationKind::SampleRate: context.setSampleRate(op.value); break;
        case OperationKind::BlockSize: context.setBlockSize(op.index); break;
        case OperationKind::Resume: plugin.resume(); break;
        case OperationKind::Suspend: plugin.suspend(); break;
        case OperationKind::StartProcess: plugin.startProcessing(); break;
        case OperationKind::StopProcess: plugin.stopProcessing(); break;
        case OperationKind::Program:
            plugin.dispatch(effBeginSetProgram);
            plugin.dispatch(effSetProgram, 0, static_cast<intptr_t>(op.index));
            plugin.dispatch(effEndSetProgram);
            break;
        case OperationKind::ProgramName: requests.setProgramName(context, op); break;
        case OperationKind::SetParameter:
            if (!(op.value >= 0.0 && op.value <= 1.0)) context.taint();
            plugin.setParameter(static_cast<int32_t>(op.index), static_cast<float>(op.value));
            break;
        case OperationKind::GetParameter: plugin.getParameter(static_cast<int32_t>(op.index)); break;
        case OperationKind::Text: requests.text(context, op); break;
        case OperationKind::Query: requests.query(context, op); break;
        case OperationKind::CanDo: requests.canDo(context, op); break;
        case OperationKind::Process:
            if (blocks.play(context, op) == BlockRunner::Result::WentNonFinite) {
                checkRecovery(context, blocks);
                return false;
            }
            break;
        case OperationKind::RoundTrip: checkRoundTrip(context, op.roundTrip()); break;
        case OperationKind::DenormalTiming: checkDenormalSlowdown(context); break;
        case OperationKind::NewInstance: break;
    }
    return true;
}

bool loadModule(PlayerContext& context, const std::string& path, std::string& error) {
    context.progress.callKind.store(-3);
    context.progress.beat();
    return context.module.load(path, error);
}
}  // namespace

void readPluginFacts(const std::string& modulePath, ChildReport& report, ChildProgress& progress) {
    PlayerContext context(report, progress, 1.0);
    FactsRecord& facts = report.facts;
    std::string error;
    if (!loadModule(context, modulePath, error)) {
        copyField(facts.error, ("cannot load the plug-in: " + error).c_str());
        return;
    }
    progress.callKind.store(-1);
    std::unique_ptr<PluginInstance> plugin = PluginInstance::create(context.module, context.host, error);
    if (!plugin) {
        copyField(facts.error, (modulePath + " is not a VST 2.4 plug-in: " + error).c_str());
        return;
    }
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
    facts.valid = 1;
}

void playSequence(const std::string& modulePath, const OperationList& operations, double maxLevel,
                  ChildReport& report, ChildProgress& progress) {
    PlayerContext context(report, progress, maxLevel);
    std::string error;
    if (!loadModule(context, modulePath, error)) {
        context.findings.failure("no-instance", "no-module", "cannot load the plug-in: " + error);
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
