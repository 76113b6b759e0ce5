#include "host/tool/validate/finding_kind.h"

#include <cstring>

KindFacts kindFacts(FindingKind kind) {
    switch (kind) {
        case FindingKind::Crash: return {"crash", false};
        case FindingKind::Hang: return {"hang", false};
        case FindingKind::Exception: return {"exception", false};
        case FindingKind::EndedProcess: return {"ended-process", false};
        case FindingKind::NoInstance: return {"no-instance", false};
        case FindingKind::NoReplacing: return {"no-replacing", false};
        case FindingKind::OutsideBuffer: return {"outside-buffer", false};
        case FindingKind::UnwrittenOutput: return {"unwritten-output", false};
        case FindingKind::AddedToOutput: return {"added-to-output", false};
        case FindingKind::NonFiniteOutput: return {"non-finite-output", false};
        case FindingKind::NeverRecovers: return {"never-recovers", false};
        case FindingKind::TooLoud: return {"too-loud", false};
        case FindingKind::RoundTrip: return {"round-trip", false};
        case FindingKind::DenormalSlowdown: return {"denormal-slowdown", true};
    }
    return {nullptr, false};  // past the last kind
}

bool kindByWord(const char* word, FindingKind& kind) {
    for (int i = 0; const char* known = kindFacts(static_cast<FindingKind>(i)).word; ++i)
        if (std::strcmp(word, known) == 0) {
            kind = static_cast<FindingKind>(i);
            return true;
        }
    return false;
}
