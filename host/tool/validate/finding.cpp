#include "host/tool/validate/finding.h"

#include <signal.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "host/library/host_request.h"
#include "host/library/opcode_names.h"
#include "host/tool/validate/finding_sink.h"
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

// "operation 5 (text param-label 1 null)", or where else the child was.
std::string operationPart(int32_t op, const OperationList& operations) {
    if (op < 0) return "before the first operation";
    if (static_cast<size_t>(op) >= operations.size()) return "closing the instance after the last operation";
    return "operation " + std::to_string(op + 1) + " (" + formatOperation(operations[op]) + ")";
}

// "during effGetParamName (index 3, null pointer)", or nothing when no call was under way.
std::string callPart(const ChildOutcome& outcome) {
    const std::string call = callDetail(outcome);
    return call.empty() ? "" : "during " + call;
}

std::string joined(const std::string& first, const std::string& second) {
    if (first.empty()) return second;
    return second.empty() ? first : first + ", " + second;
}

// The first page holds no mapping: an address there is a null pointer and
// an offset, the same in every run; any other depends on where the loader
// put things.
constexpr uint64_t kNullPage = 4096;

Finding crashFinding(const ChildOutcome& outcome, const OperationList& operations,
                     const std::string& pluginPath) {
    Finding finding;
    finding.kind = FindingKind::Crash;
    const CrashRecord& crash = outcome.report.crash;
    std::string access, places, key;
    bool addressShown = false;
    if (outcome.report.crashed) {
        const bool memory = crash.signal == SIGSEGV || crash.signal == SIGBUS;
        if (memory) {
            access = crash.access == 1 ? "a write to " : crash.access == 0 ? "a read of " : "address ";
            addressShown = true;
        }
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
            places = " in " + first.text;
            key = first.key;
            if (inPlugin > 0) {
                const Place own = placeOf(crash.frames[inPlugin], true);
                places += ", called from " + own.text;
                key = own.key;
            }
        }
        if (crash.zone[0]) {
            finding.kind = FindingKind::OutsideBuffer;
            key = std::string(crash.zone) + ":" + key;
        }
    }
    const std::string zone = crash.zone[0] ? ", " + std::string(crash.zone) : "";
    const auto text = [&](const std::string& address) {
        return signalName(outcome.signal) + (addressShown ? " (" + access + address + zone + ")" : "") + places;
    };
    const bool stableAddress = crash.address < kNullPage;
    // On the second thread the call the audio thread had under way says
    // nothing, and differs with where the threads met.
    const std::string call = outcome.report.crashed && crash.secondThread
                                 ? "on the second thread, during setParameter (index " +
                                       std::to_string(outcome.threadParameter) + ")"
                                 : callPart(outcome);
    finding.key = findingKey(finding.kind, signalName(outcome.signal) + ":" + key);
    finding.seen = joined(text(stableAddress ? hex(crash.address) : "an address"), call);
    finding.reason = joined(joined(text(hex(crash.address)), call), operationPart(outcome.operation, operations));
    return finding;
}

// The ending of a child that did not finish on its own.
Finding endingFinding(FindingKind kind, const std::string& distinction, const std::string& what,
                      const ChildOutcome& outcome, const OperationList& operations) {
    Finding finding;
    finding.kind = kind;
    finding.key = findingKey(kind, distinction);
    finding.seen = joined(what, callPart(outcome));
    finding.reason = joined(finding.seen, operationPart(outcome.operation, operations));
    return finding;
}
}  // namespace

std::vector<Finding> findingsOf(const ChildOutcome& outcome, const OperationList& operations,
                                const std::string& pluginPath) {
    std::vector<Finding> findings;
    // A child ended for an interruption said nothing that counts.
    if (outcome.end == ChildOutcome::End::Interrupted) return findings;
    const ChildReport& report = outcome.report;
    for (int i = 0; i < report.findingCount && i < kMaxChildFindings; ++i) {
        const ChildFinding& reported = report.findings[i];
        Finding finding;
        finding.failure = reported.failure != 0;
        finding.kind = static_cast<FindingKind>(reported.kind);
        finding.key = reported.key;
        finding.seen = reported.seen;
        finding.operation = reported.operation;
        finding.reason = reported.operation >= 0 && static_cast<size_t>(reported.operation) < operations.size()
                             ? joined(finding.seen, operationPart(reported.operation, operations))
                             : finding.seen;
        findings.push_back(finding);
    }
    Finding ending;
    switch (outcome.end) {
        case ChildOutcome::End::Finished:
        case ChildOutcome::End::Interrupted: return findings;
        case ChildOutcome::End::Crashed: ending = crashFinding(outcome, operations, pluginPath); break;
        case ChildOutcome::End::Hung:
            ending = endingFinding(FindingKind::Hang, callName(outcome), "no answer within the timeout",
                                   outcome, operations);
            break;
        case ChildOutcome::End::Exited:
            if (outcome.exitStatus == kExceptionExit) {
                const std::string what = report.exception[0] ? report.exception : "unknown";
                ending = endingFinding(FindingKind::Exception, callName(outcome) + ":" + withoutNumbers(what),
                                       "an exception (" + what + ") came out of the plug-in", outcome,
                                       operations);
            } else {
                const std::string status = std::to_string(outcome.exitStatus);
                ending = endingFinding(FindingKind::EndedProcess, status,
                                       "the process ended with status " + status, outcome, operations);
            }
            break;
    }
    ending.operation = outcome.operation;
    findings.push_back(ending);
    return findings;
}

bool showedDuringThread(const Finding& finding, const OperationList& operations) {
    if (finding.operation < 0 || static_cast<size_t>(finding.operation) >= operations.size()) return false;
    const auto* process = std::get_if<ops::Process>(&operations[static_cast<size_t>(finding.operation)]);
    return process && process->threadSeed != 0;
}

bool sameFinding(const Finding& expected, const Finding& found, bool numbersMayDiffer) {
    if (found.kind != expected.kind || found.key != expected.key) return false;
    if (kindFacts(expected.kind).measured) return true;
    return numbersMayDiffer ? withoutNumbers(found.seen) == withoutNumbers(expected.seen)
                            : found.seen == expected.seen;
}
