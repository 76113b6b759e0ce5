#include "host/tool/validate/sequence_generator.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/tool/validate/host_rules.h"
#include "host/tool/validate/seeded_random.h"

namespace {
// Audio per sequence: enough for feedback to build up, little enough that
// a run tries many sequences.
constexpr int64_t kFrameBudget = 150000;

const std::vector<std::string> kCapabilities = {
    "receiveVstEvents", "receiveVstMidiEvent", "receiveVstMidiEvents", "sendVstEvents",
    "sendVstMidiEvent", "sendVstMidiEvents", "sendVstTimeInfo", "receiveVstTimeInfo",
    "offline", "plugAsChannelInsert", "plugAsSend", "mixDryWet", "midiProgramNames",
    "bypass", "hasCockosExtensions", "receiveVstMidiEvnt", "plugAsChanelInsert"};

ops::Text text(TextRequest request, int64_t index, int32_t size) {
    ops::Text op;
    op.request = request;
    op.index = index;
    op.bufferSize = size;
    return op;
}

ops::Query query(QueryRequest request, int64_t index = 0) {
    ops::Query op;
    op.request = request;
    op.index = index;
    return op;
}

ops::Process process(int64_t blocks, int64_t frames, TestSignal signal, bool inPlace) {
    ops::Process op;
    op.blocks = blocks;
    op.frames = frames;
    op.signal = signal;
    op.inPlace = inPlace;
    return op;
}

ops::SampleRate rate(double hertz) {
    ops::SampleRate op;
    op.hertz = static_cast<float>(hertz);  // the rate goes to the plug-in as a float
    return op;
}

ops::BlockSize blockSize(int64_t frames) {
    ops::BlockSize op;
    op.frames = frames;
    return op;
}

ops::RoundTrip roundTrip(RoundTripKind kind) {
    ops::RoundTrip op;
    op.kind = kind;
    return op;
}

ops::CanDo canDo(const std::string& capability) {
    ops::CanDo op;
    op.text = capability;
    return op;
}

class SequenceBuilder {
public:
    SequenceBuilder(const PluginFacts& pluginFacts, Strictness how, uint64_t seed)
        : facts(pluginFacts), hostile(how == Strictness::Hostile), random(seed), state(pluginFacts) {}

    OperationList build();

private:
    // Adds the operation if the strictness allows it here.
    bool add(const Operation& op) {
        if (!hostile && !state.allows(op)) return false;
        operations.push_back(op);
        state.apply(op);
        return true;
    }

    void scannerQueries();
    void configure();
    void randomStep();
    void processStep();
    void parameterStep();
    void textStep();
    void queryStep();
    void programStep();
    void reconfigureStep();
    void newInstanceStep();

    int64_t announced() const { return state.blockSize() > 0 ? state.blockSize() : 512; }
    double politeRate() { return random.chance(40) ? random.pick(std::vector<double>{44100, 48000})
                                                    : random.pick(politeSampleRates()); }
    float parameterValue();
    int64_t parameterIndex();

    const PluginFacts& facts;
    const bool hostile;
    SeededRandom random;
    PoliteHost state;
    OperationList operations;
    int64_t framesLeft = kFrameBudget;
};

float SequenceBuilder::parameterValue() {
    if (hostile && random.chance(20)) {
        const float inf = std::numeric_limits<float>::infinity();
        return random.pick(std::vector<float>{std::numeric_limits<float>::quiet_NaN(), inf, -inf,
                                              -0.5f, 1.5f, 1e30f});
    }
    switch (random.below(8)) {
        case 0: return 0.0f;
        case 1: return 1.0f;
        case 2: return 0.5f;
        case 3: return static_cast<float>(random.below(9)) / 8.0f;
        default: return random.unit();
    }
}

int64_t SequenceBuilder::parameterIndex() {
    if (hostile && random.chance(12))
        return random.pick(std::vector<int64_t>{-1, facts.numParams, facts.numParams + 1, 65536,
                                                std::numeric_limits<int32_t>::max()});
    return static_cast<int64_t>(random.below(static_cast<uint64_t>(std::max(facts.numParams, 1))));
}

void SequenceBuilder::scannerQueries() {
    add(text(TextRequest::EffectName, 0, 256));
    add(text(TextRequest::VendorString, 0, 256));
    add(text(TextRequest::ProductString, 0, 256));
    add(query(QueryRequest::Category));
    add(query(QueryRequest::VstVersion));
}

void SequenceBuilder::configure() {
    double hertz = politeRate();
    if (hostile && random.chance(15)) {
        const double inf = std::numeric_limits<double>::infinity();
        hertz = random.pick(std::vector<double>{0.0, -44100.0, std::nan(""), inf, 1e7, 1e12, 1.0});
    }
    add(rate(hertz));
    int64_t block = random.chance(50)
                        ? random.pick(std::vector<int64_t>{64, 128, 256, 512, 1024, 2048, 4096, 8192})
                        : random.between(1, kLargestPoliteBlock);
    if (hostile && random.chance(15)) block = random.pick(std::vector<int64_t>{0, -1, 65536});
    add(blockSize(block));
}

void SequenceBuilder::processStep() {
    const int64_t size = announced();
    int64_t frames = size;
    switch (random.below(10)) {
        case 5:
        case 6: frames = random.between(1, size); break;
        case 7: frames = std::max<int64_t>(1, size - 1 - 2 * random.below(static_cast<uint64_t>(size / 2 + 1))) | 1; break;
        case 8: frames = 0; break;
        case 9: frames = random.between(1, std::min<int64_t>(16, size)); break;
        default: break;
    }
    if (hostile && random.chance(15)) frames = size + random.between(1, std::min<int64_t>(size, 8192));
    if (state.blockSize() <= 0 && hostile) frames = random.between(1, 1024);
    frames = std::min<int64_t>(frames, 16384);
    int64_t blocks = random.between(1, 8);
    if (frames > 0) blocks = std::max<int64_t>(1, std::min(blocks, framesLeft / frames));
    TestSignal signal = random.pick(std::vector<TestSignal>{
        TestSignal::Noise, TestSignal::Noise, TestSignal::Silence, TestSignal::Impulse,
        TestSignal::Square, TestSignal::Denormal});
    if (hostile && random.chance(20))
        signal = random.chance(60) ? TestSignal::NotANumber : TestSignal::Infinity;
    ops::Process op = process(blocks, frames, signal, random.chance(30));
    if (random.chance(10)) op.threadSeed = static_cast<uint32_t>(random.between(1, 0x7FFFFFFF));
    if (facts.takesNotes && random.chance(60)) op.notesSeed = static_cast<uint32_t>(random.between(1, 0x7FFFFFFF));
    if (add(op)) framesLeft -= blocks * frames;
}

void SequenceBuilder::parameterStep() {
    ops::SetParameter op;
    op.index = parameterIndex();
    op.value = parameterValue();
    add(op);
}

void SequenceBuilder::textStep() {
    static const std::vector<TextRequest> requests = {
        TextRequest::ParameterDisplay, TextRequest::ParameterDisplay, TextRequest::ParameterDisplay,
        TextRequest::ParameterName,    TextRequest::ParameterName,    TextRequest::ParameterLabel,
        TextRequest::ParameterLabel,   TextRequest::ProgramName,      TextRequest::ProgramNameIndexed,
        TextRequest::EffectName,       TextRequest::VendorString,     TextRequest::ProductString};
    const TextRequest request = random.pick(requests);
    int64_t index = 0;
    if (textTakesParameter(request)) index = parameterIndex();
    else if (request == TextRequest::ProgramNameIndexed)
        index = hostile && random.chance(12)
                    ? random.pick(std::vector<int64_t>{-1, facts.numPrograms, 1 << 20})
                    : static_cast<int64_t>(random.below(static_cast<uint64_t>(std::max(facts.numPrograms, 1))));
    ops::Text op = text(request, index, random.pick(politeTextSizes(request)));
    // Hosts that honour the interface pass its sizes; the parameter names of
    // every host traced take 64 bytes or more.
    if (hostile && request != TextRequest::ParameterName && random.chance(35))
        op.bufferSize = nominalTextSize(request);
    if (hostile && random.chance(15)) op.nullPointer = true;
    add(op);
}

void SequenceBuilder::queryStep() {
    static const std::vector<QueryRequest> requests = {
        QueryRequest::ParameterProperties, QueryRequest::InputProperties,
        QueryRequest::OutputProperties,    QueryRequest::SpeakerArrangement,
        QueryRequest::SetSpeakerArrangement, QueryRequest::ProcessEvents,
        QueryRequest::StringToParameter,   QueryRequest::TailSize,
        QueryRequest::VstVersion,          QueryRequest::Category,
        QueryRequest::CurrentProgram,      QueryRequest::VendorVersion,
        QueryRequest::CanBeAutomated,      QueryRequest::Bypass,
        QueryRequest::ProcessPrecision};
    if (random.chance(25)) {
        ops::CanDo op = canDo(random.pick(kCapabilities));
        op.nullPointer = hostile && random.chance(15);
        add(op);
        return;
    }
    const QueryRequest request = random.pick(requests);
    ops::Query op = query(request);
    if (queryTakesParameter(request)) op.index = parameterIndex();
    else if (request == QueryRequest::InputProperties)
        op.index = static_cast<int64_t>(random.below(static_cast<uint64_t>(std::max(facts.numInputs, 1))));
    else if (request == QueryRequest::OutputProperties)
        op.index = static_cast<int64_t>(random.below(static_cast<uint64_t>(std::max(facts.numOutputs, 1))));
    else if (request == QueryRequest::Bypass) op.index = random.chance(70) ? 0 : 1;
    const bool takesBuffer = request == QueryRequest::ParameterProperties ||
                             request == QueryRequest::InputProperties ||
                             request == QueryRequest::OutputProperties ||
                             request == QueryRequest::SetSpeakerArrangement ||
                             request == QueryRequest::ProcessEvents ||
                             request == QueryRequest::StringToParameter;
    op.nullPointer = hostile && takesBuffer && random.chance(15);
    add(op);
}

void SequenceBuilder::programStep() {
    if (random.chance(30)) {
        ops::ProgramName op;
        op.text = "Program-" + std::to_string(random.below(1000));
        if (hostile && random.chance(20)) op.text = std::string(63, 'W');
        op.nullPointer = hostile && random.chance(15);
        add(op);
        return;
    }
    int64_t program = static_cast<int64_t>(random.below(static_cast<uint64_t>(std::max(facts.numPrograms, 1))));
    if (hostile && random.chance(12))
        program = random.pick(std::vector<int64_t>{-1, facts.numPrograms, 1 << 20});
    ops::Program op;
    op.index = program;
    add(op);
}

void SequenceBuilder::reconfigureStep() {
    switch (random.below(4)) {
        case 0:  // suspend and resume in any order: a suspend alone, a resume twice
            if (random.chance(50)) add(ops::Suspend{});
            else add(ops::Resume{});
            break;
        case 1:  // what a host does around an offline render
            add(ops::Suspend{});
            add(blockSize(8192));
            add(ops::Resume{});
            break;
        default:
            add(ops::Suspend{});
            configure();
            add(ops::Resume{});
            break;
    }
    if (hostile && random.chance(20)) {
        // A rate changed under a running plug-in, or blocks after a suspend.
        if (random.chance(50)) add(rate(politeRate()));
        else add(ops::Suspend{});
        processStep();
    }
}

void SequenceBuilder::newInstanceStep() {
    add(ops::NewInstance{});
    if (random.chance(30)) scannerQueries();
    if (hostile && random.chance(30)) {
        processStep();  // before it is even opened
    }
    add(ops::Open{});
    configure();
    add(ops::Resume{});
}

void SequenceBuilder::randomStep() {
    const uint64_t roll = random.below(100);
    if (roll < 36) processStep();
    else if (roll < 52) parameterStep();
    else if (roll < 67) textStep();
    else if (roll < 76) queryStep();
    else if (roll < 80) {
        ops::GetParameter op;
        op.index = parameterIndex();
        add(op);
    }
    else if (roll < 86) programStep();
    else if (roll < 94) reconfigureStep();
    else if (roll < 96) newInstanceStep();
    else if (roll < 98) {
        if (random.chance(50)) add(ops::StartProcess{});
        else add(ops::StopProcess{});
    }
    else {
        const RoundTripKind kind = facts.hasChunks() && random.chance(40)
                                       ? RoundTripKind::Chunk
                                       : random.chance(50) ? RoundTripKind::Parameters
                                                           : RoundTripKind::Programs;
        add(roundTrip(kind));
    }
}

OperationList SequenceBuilder::build() {
    if (random.chance(25)) scannerQueries();
    if (random.chance(10)) add(ops::NewInstance{});
    if (hostile && random.chance(8)) processStep();  // before open
    add(ops::Open{});
    configure();
    for (int64_t i = random.between(0, 6); i > 0; --i) random.chance(50) ? textStep() : parameterStep();
    if (random.chance(10)) processStep();  // before any resume, as some hosts do
    add(ops::Resume{});
    if (random.chance(60)) add(ops::StartProcess{});
    for (int64_t steps = random.between(8, 40); steps > 0 && framesLeft > 0; --steps) randomStep();
    if (random.chance(70)) {
        add(ops::StopProcess{});
        add(ops::Suspend{});
    }
    return operations;
}

// The order traced hosts follow when they open a session, save it and
// close it, with blocks of every kind of size in between.
// The order traced hosts follow when they open a session, save it and
// close it, with blocks of every kind of size in between; an instrument
// is played notes in every block.
OperationList typicalSession(const PluginFacts& facts) {
    const int64_t params = std::min(facts.numParams, 64);
    const int64_t programs = std::min(facts.numPrograms, 16);
    OperationList list = {ops::Open{}, query(QueryRequest::VstVersion)};
    for (const std::string& capability : kCapabilities) list.push_back(canDo(capability));
    list.push_back(rate(44100));
    list.push_back(blockSize(1024));
    for (int64_t p = 0; p < params; ++p) {
        list.push_back(query(QueryRequest::CanBeAutomated, p));
        list.push_back(query(QueryRequest::ParameterProperties, p));
        ops::GetParameter get;
        get.index = p;
        list.push_back(get);
        list.push_back(text(TextRequest::ParameterName, p, 64));
    }
    for (TextRequest request : {TextRequest::EffectName, TextRequest::VendorString, TextRequest::ProductString})
        list.push_back(text(request, 0, 256));
    for (int64_t p = 0; p < programs; ++p) list.push_back(text(TextRequest::ProgramNameIndexed, p, 256));
    for (int64_t pin = 0; pin < std::min(facts.numInputs, 8); ++pin)
        list.push_back(query(QueryRequest::InputProperties, pin));
    for (int64_t pin = 0; pin < std::min(facts.numOutputs, 8); ++pin)
        list.push_back(query(QueryRequest::OutputProperties, pin));
    list.push_back(ops::Resume{});
    list.push_back(ops::StartProcess{});
    uint32_t notes = 0;
    const auto played = [&](ops::Process op) {
        if (facts.takesNotes) op.notesSeed = ++notes;
        return op;
    };
    list.push_back(played(process(4, 1024, TestSignal::Noise, false)));
    list.push_back(played(process(1, 272, TestSignal::Impulse, false)));
    list.push_back(played(process(1, 752, TestSignal::Noise, false)));
    list.push_back(process(1, 0, TestSignal::Silence, false));
    list.push_back(played(process(4, 1023, TestSignal::Square, false)));
    list.push_back(played(process(4, 1024, TestSignal::Square, true)));
    for (int64_t p = 0; p < params; ++p) {
        list.push_back(text(TextRequest::ParameterDisplay, p, 64));
        list.push_back(text(TextRequest::ParameterLabel, p, 64));
    }
    list.push_back(played(process(8, 1024, TestSignal::Denormal, false)));
    list.push_back(process(8, 1024, TestSignal::Silence, false));
    list.push_back(ops::StopProcess{});
    list.push_back(ops::Suspend{});
    list.push_back(roundTrip(RoundTripKind::Parameters));
    list.push_back(roundTrip(RoundTripKind::Programs));
    if (facts.hasChunks()) list.push_back(roundTrip(RoundTripKind::Chunk));
    return list;
}

OperationList denormalSession() {
    return {ops::Open{}, rate(44100), blockSize(512), ops::Resume{}, ops::StartProcess{}, ops::DenormalTiming{}};
}
}  // namespace

OperationList generateSequence(const PluginFacts& facts, Strictness strictness, uint64_t seed,
                               uint64_t sequence) {
    if (sequence == 0) return typicalSession(facts);
    if (sequence == 1) return denormalSession();
    SequenceBuilder builder(facts, strictness,
                            mixSeeds(mixSeeds(seed, sequence), static_cast<uint64_t>(strictness)));
    return builder.build();
}
