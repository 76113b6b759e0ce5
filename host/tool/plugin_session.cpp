#include "host/tool/plugin_session.h"

#include <cstdlib>

#include "host/library/fx_preset.h"
#include "host/library/preset_transfer.h"
#include "host/tool/parameter_assignment.h"
#include "host/tool/request_log.h"
#include "host/tool/output_file.h"

namespace {
bool loadPresetFile(PluginInstance& plugin, const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    FxPreset preset;
    if (!readWholeFile(path, bytes, error)) return false;
    if (!parseFxPreset(bytes, preset, error) || !loadFxPreset(plugin, preset, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool applySettings(PluginInstance& plugin, const PluginSettings& settings, std::string& error) {
    if (!settings.presetPath.empty() && !loadPresetFile(plugin, settings.presetPath, error))
        return false;
    if (settings.program >= 0) {
        if (settings.program >= plugin.numPrograms()) {
            error = "there is no program " + std::to_string(settings.program) + ": the plug-in has " +
                    std::to_string(plugin.numPrograms());
            return false;
        }
        plugin.dispatch(effBeginSetProgram);
        plugin.setProgram(settings.program);
        plugin.dispatch(effEndSetProgram);
    }
    for (const ParameterAssignment& assignment : settings.assignments)
        if (!applyParameterAssignment(plugin, assignment, error)) return false;
    return true;
}

bool checkUse(PluginInstance& plugin, const PluginUse& use, std::string& error) {
    if (use.needsOutputs && plugin.numOutputs() <= 0) {
        error = "the plug-in has no audio outputs";
        return false;
    }
    return true;
}
}  // namespace

bool PluginSettings::take(ArgumentList& arguments, std::string& error) {
    arguments.value("--preset", presetPath);
    std::string text;
    if (arguments.value("--program", text)) {
        char* end = nullptr;
        const long number = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || number < 0 || number > 1 << 20) {
            error = "--program needs a program number, not '" + text + "'";
            return false;
        }
        program = static_cast<int32_t>(number);
    }
    for (const std::string& word : arguments.values("--set")) {
        ParameterAssignment assignment;
        if (!parseParameterAssignment(word, assignment, error)) return false;
        assignments.push_back(assignment);
    }
    return true;
}

std::unique_ptr<PluginSession> openPreparedPlugin(const std::string& path,
                                                  const PluginSettings& settings, const PluginUse& use,
                                                  const ToolOptions& options, std::string& error) {
    std::unique_ptr<PluginSession> session(new PluginSession);
    if (!session->module.load(path, error)) {
        error = "cannot load the plug-in: " + error;
        return nullptr;
    }
    PlayingHost& host = session->host;
    host.sampleRateAnswer = static_cast<intptr_t>(use.sampleRate);
    host.sampleRate = use.sampleRate;
    host.transport = use.transport;
    host.blockSizeAnswer = use.largestBlock;
    if (options.log) {
        host.observer = [](const HostCall& call) { logLine(describeHostCall(call)); };
        logLine("-> entry (" + path + ")");
    }
    session->instance = PluginInstance::create(session->module, host, error);
    if (!session->instance) {
        error = path + " is not a VST 2.4 plug-in: " + error;
        return nullptr;
    }
    PluginInstance& plugin = *session->instance;
    if (options.log)
        plugin.requestObserver = [](const HostRequest& r) { logLine(describeRequest(r)); };
    plugin.open();
    if (!checkUse(plugin, use, error)) return nullptr;
    plugin.setSampleRate(static_cast<float>(use.sampleRate));
    plugin.setBlockSize(use.largestBlock);
    if (!applySettings(plugin, settings, error)) return nullptr;
    return session;
}

std::string PluginSession::displayName() {
    std::string name = instance->productString();
    if (name.empty()) name = instance->effectName();
    if (name.empty()) {
        const size_t slash = module.path().rfind('/');
        name = slash == std::string::npos ? module.path() : module.path().substr(slash + 1);
    }
    return name;
}
