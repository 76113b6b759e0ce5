#include "host/tool/plugin_session.h"

#include <cstdlib>

#include "host/parameter_assignment.h"
#include "host/preset_transfer.h"
#include "host/tool/request_log.h"

bool PluginSettings::take(ArgumentList& arguments, std::string& error) {
    arguments.value("--preset", presetPath);
    std::string programText;
    if (arguments.value("--program", programText)) {
        char* end = nullptr;
        const long number = std::strtol(programText.c_str(), &end, 10);
        if (programText.empty() || *end != '\0' || number < 0 || number > 1 << 20) {
            error = "--program needs a program number, not '" + programText + "'";
            return false;
        }
        program = static_cast<int32_t>(number);
    }
    assignments = arguments.values("--set");
    return true;
}

bool PluginSession::load(const std::string& path, double sampleRate, int32_t blockSize,
                         std::string& error) {
    if (!module.load(path, error)) {
        error = "cannot load the plug-in: " + error;
        return false;
    }
    host.sampleRateAnswer = static_cast<intptr_t>(sampleRate);
    host.blockSizeAnswer = blockSize;
    if (log) {
        host.observer = [](const HostCall& call) { logLine(describeHostCall(call)); };
        logLine("-> entry (" + path + ")");
    }
    instance = PluginInstance::create(module, host, error);
    if (!instance) {
        error = path + " is not a VST 2.4 plug-in: " + error;
        return false;
    }
    if (log) instance->requestObserver = [](const HostRequest& r) { logLine(describeRequest(r)); };
    instance->open();
    return true;
}

void PluginSession::prepare(double sampleRate, int32_t blockSize) {
    host.sampleRateAnswer = static_cast<intptr_t>(sampleRate);
    host.blockSizeAnswer = blockSize;
    instance->setSampleRate(static_cast<float>(sampleRate));
    instance->setBlockSize(blockSize);
}

bool PluginSession::apply(const PluginSettings& settings, std::string& error) {
    if (!settings.presetPath.empty() && !loadFxPresetFile(*instance, settings.presetPath, error))
        return false;
    if (settings.program >= 0) {
        if (settings.program >= instance->numPrograms()) {
            error = "there is no program " + std::to_string(settings.program) + ": the plug-in has " +
                    std::to_string(instance->numPrograms());
            return false;
        }
        instance->dispatch(effBeginSetProgram);
        instance->setProgram(settings.program);
        instance->dispatch(effEndSetProgram);
    }
    for (const std::string& text : settings.assignments) {
        ParameterAssignment assignment;
        if (!parseParameterAssignment(text, assignment, error) ||
            !applyParameterAssignment(*instance, assignment, error))
            return false;
    }
    return true;
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
