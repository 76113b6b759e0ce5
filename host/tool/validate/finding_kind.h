// The kinds of finding, each declared once with everything the run and
// the report need to know of it; the rest of the validator names a kind
// only through this enumeration. A new kind is an enumerator and its case
// in kindFacts, which the compiler asks for.
#pragma once

enum class FindingKind {
    Crash,             // the child died of a signal
    Hang,              // a call did not return within the timeout
    Exception,         // a C++ exception came out of the plug-in
    EndedProcess,      // the plug-in ended the process
    NoInstance,        // the module does not load, or its entry gives no instance
    NoReplacing,       // the record has no processReplacing
    OutsideBuffer,     // a write outside a buffer the host passed
    UnwrittenOutput,   // output samples left as they were
    AddedToOutput,     // output read and added to, not replaced
    NonFiniteOutput,   // NaN or infinity from clean input
    NeverRecovers,     // non-finite output that a reset and clean input do not end
    TooLoud,           // output far louder than the input
    RoundTrip,         // state a save and restore loses
    DenormalSlowdown,  // silence after loud input costs far more than the input
};

struct KindFacts {
    const char* word;  // in reports, keys and reproducers: "outside-buffer"; null past the last kind
    // What it says is a measurement (a time, a ratio) that differs from run
    // to run: such a finding is kept only when its list shows it a second
    // time, and a replay looks for its kind and key, not its numbers.
    bool measured;
};

KindFacts kindFacts(FindingKind kind);
inline const char* kindWord(FindingKind kind) { return kindFacts(kind).word; }
// False when the word names no kind.
bool kindByWord(const char* word, FindingKind& kind);
