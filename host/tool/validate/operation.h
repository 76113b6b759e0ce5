// One thing a host does to a plug-in, and a list of them: what the
// validator generates, plays in a child process, shortens and writes to a
// file that plays it again. Each operation is one line of text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class OperationKind {
    NewInstance,    // new-instance: close the instance, make another through the entry
    Open,           // open
    SampleRate,     // rate HZ
    BlockSize,      // block FRAMES (the largest block announced)
    Resume,         // resume
    Suspend,        // suspend
    StartProcess,   // start
    StopProcess,    // stop
    Program,        // program N
    ProgramName,    // program-name TEXT|null
    SetParameter,   // param INDEX VALUE
    GetParameter,   // get-param INDEX
    Text,           // text WHAT INDEX BYTES|null
    Query,          // query WHAT INDEX [null]
    CanDo,          // can-do TEXT|null
    Process,        // process BLOCKS FRAMES SIGNAL in-place|out-of-place [thread SEED]
    RoundTrip,      // round-trip parameters|chunk|programs
    DenormalTiming, // denormal-timing
};

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

struct Operation {
    OperationKind kind = OperationKind::Open;
    int32_t what = 0;           // the TextRequest, QueryRequest, TestSignal or RoundTripKind
    int64_t index = 0;          // parameter, program or pin; the block size; the frames of a block
    int64_t blocks = 1;         // process: how many blocks of that size
    double value = 0.0;         // sample rate, parameter value (floats, kept exactly)
    int32_t bufferSize = 0;     // text: the bytes the host passes
    bool nullPointer = false;   // the host passes no buffer at all
    bool inPlace = false;       // process: the outputs are the inputs
    uint32_t threadSeed = 0;    // process: non-zero, a second thread sets parameters meanwhile
    std::string text;           // program name or capability, one word

    TextRequest textRequest() const { return static_cast<TextRequest>(what); }
    QueryRequest queryRequest() const { return static_cast<QueryRequest>(what); }
    TestSignal signal() const { return static_cast<TestSignal>(what); }
    RoundTripKind roundTrip() const { return static_cast<RoundTripKind>(what); }
};

using OperationList = std::vector<Operation>;

// The line of one operation ("process 4 512 noise out-of-place").
std::string formatOperation(const Operation& operation);
// False, with the reason, when the line is no operation.
bool parseOperation(const std::string& line, Operation& operation, std::string& error);

const char* textRequestWord(TextRequest request);
const char* queryRequestWord(QueryRequest request);
const char* testSignalWord(TestSignal signal);
const char* roundTripWord(RoundTripKind kind);

// The interface's own size of a text, terminator included, which hosts may
// pass as the whole buffer.
int32_t nominalTextSize(TextRequest request);
// Whether a request takes a parameter's index (else a program's, or none).
bool textTakesParameter(TextRequest request);
bool queryTakesParameter(QueryRequest request);
