// What the parts of a sequence's playing share in the child: the module,
// the host side, the instance, what it was told, and whether everything it
// was given so far lay within what the interface allows.
#pragma once

#include <memory>
#include <string>

#include "host/library/plugin_host.h"
#include "host/library/plugin_instance.h"
#include "host/library/vst_module.h"
#include "host/tool/validate/child_report.h"
#include "host/tool/validate/finding_sink.h"

struct PlayerContext {
    PlayerContext(ChildReport& report, ChildProgress& shared, double maxLevel, int logDescriptor)
        : progress(shared), findings(report, shared), loudest(maxLevel), logFd(logDescriptor) {}

    ChildProgress& progress;
    FindingSink findings;
    double loudest;  // the largest output peak from clean input, linear
    int logFd;       // where --log's lines go; -1 without

    bool logging() const { return logFd >= 0; }
    void log(const std::string& line) const;

    VstModule module;
    PluginHost host;
    std::unique_ptr<PluginInstance> plugin;

    // What the instance was last told.
    double sampleRate = 0.0;
    int64_t blockSize = 0;

    // Every input sample, parameter value and sample rate so far was
    // finite and within the interface's range...
    bool cleanSoFar = true;
    // ...and no input louder than 0 dBFS.
    bool quietSoFar = true;

    // A rate and block size to give a second instance, or a reset: the
    // last ones told where they make sense, else 44.1 kHz and 512.
    float saneRate() const;
    int32_t saneBlock() const;

    // An instance through the entry, with the heartbeat watching its calls
    // (and, on the threads that play the sequence, noting the call under
    // way, so that a hang names the call that never returned), and the log
    // seeing them.
    // Null, with a failure recorded, when the entry gives none.
    std::unique_ptr<PluginInstance> createInstance();
    // What createInstance does for an instance made otherwise; the host's
    // side is logged from before the entry is called.
    void observe(PluginInstance& instance);
    void logHostCalls();
    // A fresh instance as a host restoring a session has it: opened, with
    // the rate and block size of this one.
    std::unique_ptr<PluginInstance> freshOpenedInstance();

    void taint() { cleanSoFar = quietSoFar = false; }
    void setSampleRate(double rate);
    void setBlockSize(int64_t frames);
};

// A second thread that sets parameters beside the audio thread calls this,
// so that its calls leave the audio thread's call the one a hang names.
void stopNotingCalls();

// Parameter and program counts, bounded for the loops that visit each.
int32_t visitedParameters(const PluginInstance& plugin);
int32_t visitedPrograms(const PluginInstance& plugin);
