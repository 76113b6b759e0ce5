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
    bool configured() const { return rateSet && announcedBlock > 0; }
    int64_t blockSize() const { return announcedBlock; }
    double sampleRate() const { return rate; }

private:
    bool allowsText(const Operation& operation) const;
    bool allowsQuery(const Operation& operation) const;

    const PluginFacts* facts;
    bool isOpen = false;
    bool isResumed = false;
    bool everResumed = false;
    bool rateSet = false;
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
