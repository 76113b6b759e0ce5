// What a polite host does, as a state it keeps: every operation of a polite
// sequence is one that traced hosts make at that point. The generator builds
// polite sequences through it, and the shrinker keeps a shortened polite
// sequence within it, so that a polite finding never rests on a call only a
// hostile host makes.
#pragma once

#include <vector>

#include "host/tool/validate/operation.h"
#include "host/tool/validate/plugin_facts.h"

class PoliteHost {
public:
    explicit PoliteHost(const PluginFacts& pluginFacts) : facts(&pluginFacts) {}

    bool allows(const Operation& operation) const;
    void apply(const Operation& operation);

    bool opened() const { return isOpen; }
    bool resumed() const { return isResumed; }
    bool configured() const { return hasRate && announcedBlock > 0; }
    int64_t blockSize() const { return announcedBlock; }
    double sampleRate() const { return rate; }

    // Whether each kind is allowed here, once the instance is open (or
    // the request is one a scanner makes of an instance it never opens).
    bool operator()(const ops::NewInstance&) const { return true; }
    bool operator()(const ops::Open&) const { return !isOpen; }
    bool operator()(const ops::SampleRate& operation) const;
    bool operator()(const ops::BlockSize& operation) const;
    bool operator()(const ops::Resume&) const { return configured(); }
    bool operator()(const ops::Suspend&) const { return true; }
    bool operator()(const ops::StartProcess&) const { return true; }
    bool operator()(const ops::StopProcess&) const { return true; }
    bool operator()(const ops::Program& operation) const {
        return operation.index >= 0 && operation.index < facts->numPrograms;
    }
    bool operator()(const ops::ProgramName& operation) const;
    bool operator()(const ops::SetParameter& operation) const;
    bool operator()(const ops::GetParameter& operation) const {
        return operation.index >= 0 && operation.index < facts->numParams;
    }
    bool operator()(const ops::Text& operation) const;
    bool operator()(const ops::Query& operation) const;
    bool operator()(const ops::CanDo& operation) const { return !operation.nullPointer; }
    bool operator()(const ops::Process& operation) const;
    bool operator()(const ops::RoundTrip&) const { return configured(); }
    bool operator()(const ops::DenormalTiming&) const { return configured() && isResumed; }

private:
    const PluginFacts* facts;
    bool isOpen = false;
    bool isResumed = false;
    bool everResumed = false;
    bool hasRate = false;
    double rate = 0.0;
    int64_t announcedBlock = 0;
};

bool isPolite(const OperationList& operations, const PluginFacts& facts);

// The choices of a polite host.
const std::vector<double>& politeSampleRates();
constexpr int64_t kLargestPoliteBlock = 8192;
// Buffer sizes traced hosts pass for each text; the smallest is the least a
// polite host passes.
const std::vector<int32_t>& politeTextSizes(TextRequest request);
bool isPoliteSignal(TestSignal signal);
