#include "host/tool/validate/host_rules.h"

#include <cmath>

#include "vst/aeffect.h"

namespace {
bool parameterIndex(const PluginFacts& facts, int64_t index) {
    return index >= 0 && index < facts.numParams;
}

bool programIndex(const PluginFacts& facts, int64_t index) {
    return index >= 0 && index < facts.numPrograms;
}

// A scanner asks these of an instance it never opens.
bool scannerRequest(const Operation& operation) {
    if (std::holds_alternative<ops::CanDo>(operation) || std::holds_alternative<ops::NewInstance>(operation))
        return true;
    if (const auto* text = std::get_if<ops::Text>(&operation))
        return text->request == TextRequest::EffectName || text->request == TextRequest::VendorString ||
               text->request == TextRequest::ProductString;
    if (const auto* query = std::get_if<ops::Query>(&operation))
        return query->request == QueryRequest::VstVersion || query->request == QueryRequest::Category ||
               query->request == QueryRequest::VendorVersion;
    return false;
}
}  // namespace

const std::vector<double>& politeSampleRates() {
    static const std::vector<double> rates = {8000,  11025, 16000,  22050,  32000,  44100, 48000,
                                              88200, 96000, 176400, 192000, 352800, 384000};
    return rates;
}

const std::vector<int32_t>& politeTextSizes(TextRequest request) {
    static const std::vector<int32_t> names = {64, 128}, short64 = {64}, programs = {256},
                                      effect = {64, 256};
    switch (request) {
        case TextRequest::ParameterName: return names;
        case TextRequest::ParameterLabel:
        case TextRequest::ParameterDisplay: return short64;
        case TextRequest::ProgramName:
        case TextRequest::ProgramNameIndexed:
        case TextRequest::VendorString:
        case TextRequest::ProductString: return programs;
        case TextRequest::EffectName: return effect;
    }
    return programs;
}

bool isPoliteSignal(TestSignal signal) {
    return signal != TestSignal::NotANumber && signal != TestSignal::Infinity;
}

bool PoliteHost::operator()(const ops::Text& op) const {
    if (op.nullPointer || op.bufferSize < politeTextSizes(op.request).front()) return false;
    if (textTakesParameter(op.request)) return parameterIndex(*facts, op.index);
    if (op.request == TextRequest::ProgramNameIndexed) return programIndex(*facts, op.index);
    return true;
}

bool PoliteHost::operator()(const ops::Query& op) const {
    if (op.nullPointer) return false;
    if (queryTakesParameter(op.request)) return parameterIndex(*facts, op.index);
    if (op.request == QueryRequest::InputProperties) return op.index >= 0 && op.index < facts->numInputs;
    if (op.request == QueryRequest::OutputProperties) return op.index >= 0 && op.index < facts->numOutputs;
    if (op.request == QueryRequest::Bypass) return op.index == 0 || op.index == 1;
    return true;
}

bool PoliteHost::operator()(const ops::SampleRate& op) const {
    return !isResumed && std::isfinite(op.hertz) && op.hertz >= 8000.0 && op.hertz <= 384000.0;
}

bool PoliteHost::operator()(const ops::BlockSize& op) const {
    return !isResumed && op.frames >= 1 && op.frames <= kLargestPoliteBlock;
}

bool PoliteHost::operator()(const ops::ProgramName& op) const {
    return !op.nullPointer && op.text.size() < static_cast<size_t>(kVstMaxProgNameLen);
}

bool PoliteHost::operator()(const ops::SetParameter& op) const {
    return parameterIndex(*facts, op.index) && op.value >= 0.0 && op.value <= 1.0;
}

bool PoliteHost::operator()(const ops::Process& op) const {
    // Some hosts process before they ever resume; none after suspending.
    // Notes go only to a plug-in that takes them.
    return configured() && (isResumed || !everResumed) && op.frames <= announcedBlock &&
           isPoliteSignal(op.signal) && (op.notesSeed == 0 || facts->takesNotes);
}

bool PoliteHost::allows(const Operation& operation) const {
    if (!isOpen && !std::holds_alternative<ops::Open>(operation) && !scannerRequest(operation)) return false;
    return std::visit(*this, operation);
}

void PoliteHost::apply(const Operation& operation) {
    if (std::holds_alternative<ops::NewInstance>(operation)) *this = PoliteHost(*facts);
    else if (std::holds_alternative<ops::Open>(operation)) isOpen = true;
    else if (const auto* told = std::get_if<ops::SampleRate>(&operation)) {
        hasRate = true;
        rate = told->hertz;
    } else if (const auto* block = std::get_if<ops::BlockSize>(&operation)) announcedBlock = block->frames;
    else if (std::holds_alternative<ops::Resume>(operation)) isResumed = everResumed = true;
    else if (std::holds_alternative<ops::Suspend>(operation)) isResumed = false;
}

bool isPolite(const OperationList& operations, const PluginFacts& facts) {
    PoliteHost host(facts);
    for (const Operation& op : operations) {
        if (!host.allows(op)) return false;
        host.apply(op);
    }
    return true;
}
