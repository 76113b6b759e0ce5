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
bool scannerRequest(const Operation& op) {
    if (op.kind == OperationKind::CanDo || op.kind == OperationKind::NewInstance) return true;
    if (op.kind == OperationKind::Text)
        return op.textRequest() == TextRequest::EffectName ||
               op.textRequest() == TextRequest::VendorString ||
               op.textRequest() == TextRequest::ProductString;
    if (op.kind == OperationKind::Query)
        return op.queryRequest() == QueryRequest::VstVersion ||
               op.queryRequest() == QueryRequest::Category ||
               op.queryRequest() == QueryRequest::VendorVersion;
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

bool PoliteHost::allowsText(const Operation& op) const {
    if (op.nullPointer || op.bufferSize < politeTextSizes(op.textRequest()).front()) return false;
    if (textTakesParameter(op.textRequest())) return parameterIndex(*facts, op.index);
    if (op.textRequest() == TextRequest::ProgramNameIndexed) return programIndex(*facts, op.index);
    return true;
}

bool PoliteHost::allowsQuery(const Operation& op) const {
    if (op.nullPointer) return false;
    const QueryRequest request = op.queryRequest();
    if (queryTakesParameter(request)) return parameterIndex(*facts, op.index);
    if (request == QueryRequest::InputProperties) return op.index >= 0 && op.index < facts->numInputs;
    if (request == QueryRequest::OutputProperties)
        return op.index >= 0 && op.index < facts->numOutputs;
    if (request == QueryRequest::Bypass) return op.index == 0 || op.index == 1;
    return true;
}

bool PoliteHost::allows(const Operation& op) const {
    if (!isOpen && op.kind != OperationKind::Open && !scannerRequest(op)) return false;
    switch (op.kind) {
        case OperationKind::NewInstance: return true;
        case OperationKind::Open: return !isOpen;
        case OperationKind::SampleRate:
            return !isResumed && std::isfinite(op.value) && op.value >= 8000.0 &&
                   op.value <= 384000.0;
        case OperationKind::BlockSize:
            return !isResumed && op.index >= 1 && op.index <= kLargestPoliteBlock;
        case OperationKind::Resume: return configured();
        case OperationKind::Suspend:
        case OperationKind::StartProcess:
        case OperationKind::StopProcess: return true;
        case OperationKind::Program: return programIndex(*facts, op.index);
        case OperationKind::ProgramName:
            return !op.nullPointer && op.text.size() < static_cast<size_t>(kVstMaxProgNameLen);
        case OperationKind::SetParameter:
            return parameterIndex(*facts, op.index) && op.value >= 0.0 && op.value <= 1.0;
        case OperationKind::GetParameter: return parameterIndex(*facts, op.index);
        case OperationKind::Text: return allowsText(op);
        case OperationKind::Query: return allowsQuery(op);
        case OperationKind::CanDo: return !op.nullPointer;
        case OperationKind::Process:
            // Some hosts process before they ever resume; none after suspending.
            return configured() && (isResumed || !everResumed) && op.index <= announcedBlock &&
                   isPoliteSignal(op.signal());
        case OperationKind::RoundTrip: return configured();
        case OperationKind::DenormalTiming: return configured() && isResumed;
    }
    return false;
}

void PoliteHost::apply(const Operation& op) {
    switch (op.kind) {
        case OperationKind::NewInstance:
            *this = PoliteHost(*facts);
            break;
        case OperationKind::Open: isOpen = true; break;
        case OperationKind::SampleRate:
            rateSet = true;
            rate = op.value;
            break;
        case OperationKind::BlockSize: announcedBlock = op.index; break;
        case OperationKind::Resume:
            isResumed = true;
            everResumed = true;
            break;
        case OperationKind::Suspend: isResumed = false; break;
        default: break;
    }
}

bool isPolite(const OperationList& operations, const PluginFacts& facts) {
    PoliteHost host(facts);
    for (const Operation& op : operations) {
        if (!host.allows(op)) return false;
        host.apply(op);
    }
    return true;
}
