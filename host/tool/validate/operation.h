// One thing a host does to a plug-in, and a list of them: what the
// validator generates, plays in a child process, shortens and writes to a
// file that plays it again. Each operation is one line of text.
//
// Every kind is a struct of its own in `ops` with its word and the fields it
// carries, and Operation is a variant of them all: code that takes an
// operation apart visits it, and the compiler holds every such visit to
// every kind. A kind's line is written and read through its one `fields`
// declaration, so the two cannot drift apart. A new kind is a struct here,
// its name in the variant, and whatever the compiler then asks for.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// Text requests: the host passes a buffer, the plug-in writes a text into it.
enum class TextRequest {
    ParameterName,
    ParameterLabel,
    ParameterDisplay,
    ProgramName,
    ProgramNameIndexed,
    EffectName,
    VendorString,
    ProductString,
};

// Other requests, answered with a number or by filling a record.
enum class QueryRequest {
    ParameterProperties,
    InputProperties,
    OutputProperties,
    SpeakerArrangement,     // the plug-in stores two arrangement addresses
    SetSpeakerArrangement,  // the host offers stereo in and out
    ProcessEvents,          // an empty event list
    StringToParameter,      // the text "0.5"
    TailSize,
    VstVersion,
    Category,
    CurrentProgram,
    VendorVersion,
    CanBeAutomated,
    Bypass,            // index 0 or 1
    ProcessPrecision,  // 32-bit
};

enum class TestSignal { Silence, Noise, Impulse, Square, Denormal, NotANumber, Infinity };

enum class RoundTripKind { Parameters, Chunk, Programs };

// The words of the line ("param-display", "noise", ...); null past the last.
const char* wordOf(TextRequest request);
const char* wordOf(QueryRequest request);
const char* wordOf(TestSignal signal);
const char* wordOf(RoundTripKind kind);

namespace ops {
// A kind that is its word alone.
struct Bare {
    template <typename Fields>
    void fields(Fields&) {}
};

// close the instance, make another through the entry
struct NewInstance : Bare { static constexpr const char* word = "new-instance"; };
struct Open : Bare { static constexpr const char* word = "open"; };
struct SampleRate {
    static constexpr const char* word = "rate";
    double hertz = 0.0;  // a float, kept exactly, as it goes to the plug-in
    template <typename Fields> void fields(Fields& f) { f.number("HZ", hertz); }
};
// the largest block announced
struct BlockSize {
    static constexpr const char* word = "block";
    int64_t frames = 0;
    template <typename Fields> void fields(Fields& f) { f.integer("FRAMES", frames); }
};
struct Resume : Bare { static constexpr const char* word = "resume"; };
struct Suspend : Bare { static constexpr const char* word = "suspend"; };
struct StartProcess : Bare { static constexpr const char* word = "start"; };
struct StopProcess : Bare { static constexpr const char* word = "stop"; };
struct Program {
    static constexpr const char* word = "program";
    int64_t index = 0;
    template <typename Fields> void fields(Fields& f) { f.integer("N", index); }
};
struct ProgramName {
    static constexpr const char* word = "program-name";
    std::string text;          // one word
    bool nullPointer = false;  // the host passes no text at all
    template <typename Fields> void fields(Fields& f) { f.wordOrNull("TEXT", text, nullPointer); }
};
struct SetParameter {
    static constexpr const char* word = "param";
    int64_t index = 0;
    double value = 0.0;  // a float, kept exactly
    template <typename Fields> void fields(Fields& f) {
        f.integer("INDEX", index);
        f.number("VALUE", value);
    }
};
struct GetParameter {
    static constexpr const char* word = "get-param";
    int64_t index = 0;
    template <typename Fields> void fields(Fields& f) { f.integer("INDEX", index); }
};
struct Text {
    static constexpr const char* word = "text";
    TextRequest request = TextRequest::ParameterName;
    int64_t index = 0;         // a parameter's or a program's
    int32_t bufferSize = 0;    // the bytes the host passes
    bool nullPointer = false;  // the host passes no buffer at all
    template <typename Fields> void fields(Fields& f) {
        f.choice("WHAT", request);
        f.integer("INDEX", index);
        f.bytesOrNull("BYTES", bufferSize, nullPointer);
    }
};
struct Query {
    static constexpr const char* word = "query";
    QueryRequest request = QueryRequest::TailSize;
    int64_t index = 0;  // a parameter, a pin, or bypass on or off
    bool nullPointer = false;
    template <typename Fields> void fields(Fields& f) {
        f.choice("WHAT", request);
        f.integer("INDEX", index);
        f.flag("null", nullPointer);
    }
};
struct CanDo {
    static constexpr const char* word = "can-do";
    std::string text;
    bool nullPointer = false;
    template <typename Fields> void fields(Fields& f) { f.wordOrNull("TEXT", text, nullPointer); }
};
// Blocks of one size; each block may come with notes (for a plug-in that
// takes them) and the whole operation with a second thread setting
// parameters while the blocks play.
struct Process {
    static constexpr const char* word = "process";
    static constexpr int64_t kMostBlocks = 100000;
    static constexpr int64_t kMostFrames = 1 << 20;
    int64_t blocks = 1;
    int64_t frames = 0;
    TestSignal signal = TestSignal::Noise;
    bool inPlace = false;     // the outputs are the inputs
    uint32_t notesSeed = 0;   // non-zero: notes drawn from it before every block
    uint32_t threadSeed = 0;  // non-zero: a second thread sets parameters meanwhile
    template <typename Fields> void fields(Fields& f) {
        f.integer("BLOCKS", blocks, 0, kMostBlocks);
        f.integer("FRAMES", frames, 0, kMostFrames);
        f.choice("SIGNAL", signal);
        f.either("in-place", "out-of-place", inPlace);
        f.tagged("notes", notesSeed);
        f.tagged("thread", threadSeed);
    }
};
struct RoundTrip {
    static constexpr const char* word = "round-trip";
    RoundTripKind kind = RoundTripKind::Parameters;
    template <typename Fields> void fields(Fields& f) { f.choice("WHAT", kind); }
};
// three seconds of loud noise, then thirty of silence, timed
struct DenormalTiming : Bare { static constexpr const char* word = "denormal-timing"; };
}  // namespace ops

using Operation =
    std::variant<ops::NewInstance, ops::Open, ops::SampleRate, ops::BlockSize, ops::Resume,
                 ops::Suspend, ops::StartProcess, ops::StopProcess, ops::Program, ops::ProgramName,
                 ops::SetParameter, ops::GetParameter, ops::Text, ops::Query, ops::CanDo,
                 ops::Process, ops::RoundTrip, ops::DenormalTiming>;

using OperationList = std::vector<Operation>;

// The line of one operation ("process 4 512 noise out-of-place").
std::string formatOperation(const Operation& operation);
// False, with the reason, when the line is no operation.
bool parseOperation(const std::string& line, Operation& operation, std::string& error);

// Whether the list has a second thread set parameters while blocks play:
// what it shows may then depend on how the two threads met.
bool dependsOnThreadTiming(const OperationList& operations);

// The interface's own size of a text, terminator included, which hosts may
// pass as the whole buffer.
int32_t nominalTextSize(TextRequest request);
// Whether a request takes a parameter's index (else a program's, or none).
bool textTakesParameter(TextRequest request);
bool queryTakesParameter(QueryRequest request);
