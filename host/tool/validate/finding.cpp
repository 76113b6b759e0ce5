#include "host/tool/validate/finding.h"

#include <signal.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "host/library/host_request.h"
#include "host/library/opcode_names.h"
#include "host/tool/validate/symbol_lookup.h"
#include "vst/aeffect.h"

namespace {
std::string baseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string hex(uint64_t number) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(number));
    return text;
}

std::string signalName(int signal) {
    switch (signal) {
        case SIGSEGV: return "SIGSEGV";
        case SIGBUS: return "SIGBUS";
        case SIGFPE: return "SIGFPE";
        case SIGILL: return "SIGILL";
        case SIGABRT: return "SIGABRT";
        case SIGTRAP: return "SIGTRAP";
        case SIGSYS: return "SIGSYS";
        case SIGKILL: return "SIGKILL";
        default: return "signal " + std::to_string(signal);
    }
}

// The request a child was in when it ended, as a host would name it.
std::string callName(const ChildOutcome& outcome) {
    switch (outcome.callKind) {
        case -3: return "loading the module";
        case -1: return "the entry";
        case static_cast<int32_t>(HostRequest::Kind::SetParameter): return "setParameter";
        case static_cast<int32_t>(HostRequest::Kind::GetParameter): return "getParameter";
        case static_cast<int32_t>(HostRequest::Kind::ProcessReplacing): return "processReplacing";
        case static_cast<int32_t>(HostRequest::Kind::Dispatch): return effectOpcodeName(outcome.callOpcode);
        default: return "";
    }
}

// Requests whose pointer is a buffer or a record: a null one is worth naming.
bool takesPointer(int32_t opcode) {
    switch (opcode) {
        case effSetProgramName: case effGetProgramName: case effGetParamLabel:
        case effGetParamDisplay: case effGetParamName: case effGetChunk: case effSetChunk:
        case effProcessEvents: case effString2Parameter: case effGetProgramNameIndexed:
        case effGetInputProperties: case effGetOutputProperties: case effSetSpeakerArrangement:
        case effGetEffectName: case effGetVendorString: case effGetProductString: case effCanDo:
        case effGetParameterProperties: case effGetSpeakerArrangement: return true;
        default: return false;
    }
}

std::string callDetail(const ChildOutcome& outcome) {
    std::string text = callName(outcome);
    if (outcome.callKind == static_cast<int32_t>(HostRequest::Kind::ProcessReplacing))
        return text + " of " + std::to_string(outcome.callValue) + " frames";
    if (outcome.callKind == static_cast<int32_t>(HostRequest::Kind::SetParameter) ||
        outcome.callKind == static_cast<int32_t>(HostRequest::Kind::GetParameter))
        return text + " (index " + std::to_string(outcome.callIndex) + ")";
    if (outcome.callKind == static_cast<int32_t>(HostRequest::Kind::Dispatch)) {
        std::string operands;
        if (outcome.callIndex != 0) operands += "index " + std::to_string(outcome.callIndex);
        if (outcome.callValue != 0)
            operands += (operands.empty() ? "" : ", ") + std::string("value ") + std::to_string(outcome.callValue);
        if (outcome.callNull && takesPointer(outcome.callOpcode))
            operands += (operands.empty() ? "" : ", ") + std::string("null pointer");
        return operands.empty() ? text : text + " (" + operands + ")";
    }
    return text;
}

// An exception's text often holds the index or value it met: one throw is
// one finding whatever the numbers ("no program 2", "no program -1").
std::string withoutNumbers(const std::string& text) {
    const auto digit = [&](size_t i) {
        return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
    };
    std::string kept;
    for (size_t i = 0; i < text.size();) {
        const bool sign = text[i] == '-' && digit(i + 1);
        if (!sign && !digit(i)) {
            kept += text[i++];
            continue;
        }
        if (sign) ++i;
        while (i < text.size() &&
               (std::isxdigit(static_cast<unsigned char>(text[i])) || text[i] == 'x' || text[i] == '.'))
            ++i;
        kept += '#';
    }
    return kept;
}

struct Place {
    std::string text;  // "F (module+0x12)"
    std::string key;   // the function, else module+offset
};

Place placeOf(const CrashFrame& frame, bool returnAddress) {
    const std::string module = frame.module[0] ? baseName(frame.module) : "?";
    // A return address points past its call; the call lies just before it.
    const uint64_t at = returnAddress && frame.offset > 0 ? frame.offset - 1 : frame.offset;
    const std::string function = frame.module[0] ? functionAt(frame.module, at) : "";
    Place place;
    place.text = (function.empty() ? "" : function + " ") + "(" + module + "+" + hex(frame.offset) + ")";
    place.key = function.empty() ? module + "+" + hex(frame.offset) : module + ":" + function;
    return place;
}

Finding crashFinding(const ChildOutcome& outcome, const OperationList& operations,
                     const std::string& pluginPath) {
    Finding finding;
    const CrashRecord& crash = outcome.report.crash;
    std::string reason = signalName(outcome.signal);
    std::string key;
    if (outcome.report.crashed) {
        const bool memory = crash.signal == SIGSEGV || crash.signal == SIGBUS;
        if (memory)
            reason += std::string(crash.access == 1 ? " (a write to " : crash.access == 0 ? " (a read of " : " (address ") +
                      hex(crash.address) + (crash.zone[0] ? ", " + std::string(crash.zone) : "") + ")";
        // The place is the first frame inside the plug-in's own module,
        // where the plug-in called into a library that then failed.
        int inPlugin = -1;
        for (int i = 0; i < crash.frameCount; ++i)
            if (baseName(crash.frames[i].module) == baseName(pluginPath)) {
                inPlugin = i;
                break;
            }
        if (crash.frameCount > 0) {
            const Place first = placeOf(crash.frames[0], false);
            reason += " in " + first.text;
            key = first.key;
            if (inPlugin > 0) {
                const Place own = placeOf(crash.frames[inPlugin], true);
                reason += ", called from " + own.text;
                key = own.key;
            }
        }
        if (crash.zone[0]) {
            finding.kind = "outside-buffer";
            key = std::string(crash.zone) + ":" + key;
        }
    }
    if (finding.kind.empty()) finding.kind = "crash";
    finding.key = finding.kind + ":" + signalName(outcome.signal) + ":" + key;
    finding.reason = reason + ", " + describeStep(outcome, operations);
    return finding;
}
}  // namespace

std::string describeStep(const ChildOutcome& outcome, const OperationList& operations) {
    const std::string call = callDetail(outcome);
    std::string text = call.empty() ? "" : "during " + call + ", ";
    const int32_t op = outcome.operation;
    if (op < 0) return text + "before the first operation";
    if (static_cast<size_t>(op) >= operations.size()) return text + "closing the instance after the last operation";
    return text + "operation " + std::to_string(op + 1) + " (" + formatOperation(operations[op]) + ")";
}

std::vector<Finding> findingsOf(const ChildOutcome& outcome, const OperationList& operations,
                                const std::string& pluginPath) {
    std::vector<Finding> findings;
    const ChildReport& report = outcome.report;
    for (int i = 0; i < report.findingCount && i < kMaxChildFindings; ++i) {
        const ChildFinding& reported = report.findings[i];
        Finding finding;
        finding.failure = reported.failure != 0;
        finding.kind = reported.kind;
        finding.key = reported.key;
        finding.reason = reported.reason;
        finding.operation = reported.operation;
        if (reported.operation >= 0 && static_cast<size_t>(reported.operation) < operations.size())
            finding.reason += ", operation " + std::to_string(reported.operation + 1) + " (" +
                              formatOperation(operations[reported.operation]) + ")";
        findings.push_back(finding);
    }
    Finding ending;
    ending.operation = outcome.operation;
    switch (outcome.end) {
        case ChildOutcome::End::Finished: return findings;
        case ChildOutcome::End::Crashed: {
            Finding crash = crashFinding(outcome, operations, pluginPath);
            crash.operation = outcome.operation;
            findings.push_back(crash);
            return findings;
        }
        case ChildOutcome::End::Hung:
            ending.kind = "hang";
            ending.key = "hang:" + callName(outcome);
            ending.reason = "no answer within the timeout, " + describeStep(outcome, operations);
            break;
        case ChildOutcome::End::Exited:
            if (outcome.exitStatus == kExceptionExit) {
                const std::string what = report.exception[0] ? report.exception : "unknown";
                ending.kind = "exception";
                ending.key = "exception:" + callName(outcome) + ":" + withoutNumbers(what);
                ending.reason = "an exception (" + what + ") came out of the plug-in, " +
                                describeStep(outcome, operations);
            } else {
                ending.kind = "ended-process";
                ending.key = "ended-process:" + std::to_string(outcome.exitStatus);
                ending.reason = "the process ended with status " + std::to_string(outcome.exitStatus) +
                                ", " + describeStep(outcome, operations);
            }
            break;
    }
    findings.push_back(ending);
    return findings;
}
