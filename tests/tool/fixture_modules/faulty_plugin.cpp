// A small stereo effect written as a careful plug-in is: a one-pole
// smoother, a gain and a damped one-sample feedback, three parameters, two
// programs and its state in chunks. It is built once as it stands and once
// for each deliberate fault below, so that each fault is the only
// difference from a plug-in that the validator passes.
//   FAULT_NULL_POINTER          writes its texts without looking at the pointer
//   FAULT_HANG_AT_BLOCK_SIZE_0  steps through a block in the announced block size, even 0
//   FAULT_NAN_LATCH             keeps its filter state through resume, NaN and all
//   FAULT_UNWRITTEN_ODD_FRAMES  works two frames at a time and drops an odd last one
//   FAULT_TABLE_READ            reads its parameter table at any index it is given
//   FAULT_UNDAMPED_FEEDBACK     feeds its output back at full gain
//   FAULT_WRITES_PAST_OUTPUT    writes one sample past the end of its outputs
//   FAULT_TRUNCATED_STEPS       keeps its gain in hundredths, truncated, so that a
//                               value read and set again may come back a step lower
//   FAULT_SLOW_SILENT_TAIL      pays for a tail of denormal numbers after loud input,
//                               as a processor that traps on them does
//   FAULT_BANK_CHUNK_DROPS_EDITS  saves the programs in its bank chunk as they were
//                               chosen, without the changes made since
//   FAULT_SHORT_PROGRAM_NAMES   keeps the program names a host gives in 8 bytes, while
//                               its own are longer
//   FAULT_ONE_THREAD_PARAMETERS checks, as a release build's assertion does, that
//                               parameters are set on the thread that made it, and traps
//                               when another thread sets one
//   FAULT_RECIPROCAL_SMOOTHING  takes its smoothing coefficient as 1 / (100 Smooth),
//                               infinite at the end of the range
//   FAULT_LONG_DISPLAYS         spells its units out in its displays, into the 64 bytes
//                               it takes a host to pass
//   FAULT_THROWS_ON_BAD_PROGRAM throws when asked for a program it does not have
//   FAULT_QUANTISED_MODE        keeps Mode in its three steps: a value set lands on its
//                               step's own value (0, 0.5 or 1), while its programs hold
//                               values between steps, as a plug-in's defaults may; what
//                               it shows never changes on the way
//   FAULT_TORN_GAIN_UPDATE      updates its gain in two steps, a NaN placeholder and then
//                               the value, and reads it every frame: the audio thread
//                               sees the placeholder only when another thread sets the
//                               gain during a block
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <thread>

#include "vst/aeffect.h"

namespace {
#if defined(FAULT_NULL_POINTER)
constexpr bool kChecksPointers = false;
#else
constexpr bool kChecksPointers = true;
#endif
#if defined(FAULT_HANG_AT_BLOCK_SIZE_0)
constexpr bool kGuardsBlockSize = false;
#else
constexpr bool kGuardsBlockSize = true;
#endif
#if defined(FAULT_NAN_LATCH)
constexpr bool kResumeClears = false;
#else
constexpr bool kResumeClears = true;
#endif
#if defined(FAULT_UNWRITTEN_ODD_FRAMES)
constexpr bool kWritesOddFrame = false;
#else
constexpr bool kWritesOddFrame = true;
#endif
#if defined(FAULT_TABLE_READ)
constexpr bool kChecksIndex = false;
#else
constexpr bool kChecksIndex = true;
#endif
#if defined(FAULT_UNDAMPED_FEEDBACK)
constexpr double kFeedback = 1.0;
#else
constexpr double kFeedback = 0.5;
#endif
#if defined(FAULT_WRITES_PAST_OUTPUT)
constexpr bool kWritesOnePast = true;
#else
constexpr bool kWritesOnePast = false;
#endif
#if defined(FAULT_TRUNCATED_STEPS)
constexpr bool kTruncatesGain = true;
#else
constexpr bool kTruncatesGain = false;
#endif
#if defined(FAULT_SLOW_SILENT_TAIL)
constexpr bool kPaysForTail = true;
#else
constexpr bool kPaysForTail = false;
#endif
#if defined(FAULT_BANK_CHUNK_DROPS_EDITS)
constexpr bool kBankKeepsEdits = false;
#else
constexpr bool kBankKeepsEdits = true;
#endif
#if defined(FAULT_SHORT_PROGRAM_NAMES)
constexpr size_t kGivenNameSize = 8;
#else
constexpr size_t kGivenNameSize = kVstMaxProgNameLen;
#endif
#if defined(FAULT_ONE_THREAD_PARAMETERS)
constexpr bool kAssertsOneThread = true;
#else
constexpr bool kAssertsOneThread = false;
#endif
#if defined(FAULT_RECIPROCAL_SMOOTHING)
constexpr bool kBoundsSmoothing = false;
#else
constexpr bool kBoundsSmoothing = true;
#endif
#if defined(FAULT_LONG_DISPLAYS)
constexpr bool kShortDisplays = false;
#else
constexpr bool kShortDisplays = true;
#endif
#if defined(FAULT_THROWS_ON_BAD_PROGRAM)
constexpr bool kThrowsOnBadProgram = true;
#else
constexpr bool kThrowsOnBadProgram = false;
#endif
#if defined(FAULT_QUANTISED_MODE)
constexpr bool kQuantisesMode = true;
#else
constexpr bool kQuantisesMode = false;
#endif
#if defined(FAULT_TORN_GAIN_UPDATE)
constexpr bool kTearsGain = true;
#else
constexpr bool kTearsGain = false;
#endif
using State = double;

constexpr int32_t kParams = 3;
constexpr int32_t kPrograms = 2;
constexpr int32_t kFallbackStep = 64;
const char* const kNames[kParams] = {"Gain", "Smooth", "Mode"};
const char* const kLabels[kParams] = {"x", "%", ""};
const char* const kUnits[kParams] = {"times", "percent", ""};
const char* const kModes[3] = {"Low", "Mid", "High"};
constexpr uint32_t kChunkMagic = 0x46787431u;

// This processor takes no assist for denormal numbers (they cost it about
// 1.3 times as much as others), so the slow tail pays for one itself: for
// each frame of silence in the two and a half seconds (at 44.1 kHz) after
// loud input, work that costs some forty times the frame's own.
constexpr int32_t kTailFrames = 110250;
constexpr int kAssistSteps = 100;

struct Program {
    float values[kParams];
    char name[kVstMaxProgNameLen];
};

// What effGetChunk hands out: the program chosen, or the bank and which of
// it is chosen.
struct ProgramChunk {
    uint32_t magic;
    Program program;
};
struct BankChunk {
    uint32_t magic;
    int32_t program;
    Program programs[kPrograms];
};

struct Fixture {
    AEffect record{};
    // The current values lie at the very end of a page with an inaccessible
    // page after it, so that a read past them always faults, as it would
    // under a memory checker.
    void* pages = nullptr;
    float* values = nullptr;
    Program programs[kPrograms] = {{{0.5f, 0.5f, kQuantisesMode ? 0.2f : 0.0f}, "Init"},
                                   {{0.75f, 0.1f, kQuantisesMode ? 0.9f : 1.0f}, "Bright hall"}};
    int32_t program = 0;
    int32_t announcedBlock = 1024;
    State smoothed[2] = {0, 0};
    State fedBack[2] = {0, 0};
    int32_t tailLeft = 0;
    std::thread::id madeOn = std::this_thread::get_id();
    // Valid until the next effGetChunk, as hosts expect.
    ProgramChunk programChunk{};
    BankChunk bankChunk{};
};

Fixture* self(AEffect* effect) { return static_cast<Fixture*>(effect->object); }

bool isParameter(int32_t index) { return index >= 0 && index < kParams; }
// Where the values table is read.
bool validIndex(int32_t index) { return !kChecksIndex || isParameter(index); }
// Every read of the table goes through here, so that a read past its end
// faults in one place whichever call made it: just past the last value lies
// a guard page, but an index far beyond faults or not by what the process
// happens to have mapped there.
__attribute__((noinline)) float valueAt(const Fixture* fixture, int32_t index) { return fixture->values[index]; }

void copyText(void* ptr, const char* text, size_t size) {
    if (kChecksPointers && !ptr) return;
    std::snprintf(static_cast<char*>(ptr), size, "%s", text);
}

void display(Fixture* fixture, int32_t index, void* ptr) {
    if (!validIndex(index)) return copyText(ptr, "", kVstMaxParamStrLen);
    const float value = valueAt(fixture, index);
    if (index == 2) return copyText(ptr, kModes[std::min(2, static_cast<int>(value * 3.0f))], kVstMaxParamStrLen);
    const double shown = index == 0 ? 2.0 * value : 100.0 * value;
    if (!kShortDisplays) {
        char text[64];
        std::snprintf(text, sizeof text, "%.2f %s", shown, kUnits[index]);
        return copyText(ptr, text, sizeof text);
    }
    // Values run from 0 to 1: "0.00" to "200.00" at most, always within 8 bytes.
    char text[kVstMaxParamStrLen];
    std::snprintf(text, sizeof text, "%.2f", shown);
    copyText(ptr, text, sizeof text);
}

void chooseProgram(Fixture* fixture, intptr_t program) {
    if (kThrowsOnBadProgram && (program < 0 || program >= kPrograms))
        throw std::out_of_range("no program " + std::to_string(program));
    if (program < 0 || program >= kPrograms) return;
    std::memcpy(fixture->programs[fixture->program].values, fixture->values, sizeof(float) * kParams);
    fixture->program = static_cast<int32_t>(program);
    std::memcpy(fixture->values, fixture->programs[program].values, sizeof(float) * kParams);
}

Program currentProgram(const Fixture* fixture) {
    Program current = fixture->programs[fixture->program];
    std::memcpy(current.values, fixture->values, sizeof(float) * kParams);
    return current;
}

intptr_t saveChunk(Fixture* fixture, bool oneProgram, void** address) {
    if (!address) return 0;
    if (oneProgram) {
        fixture->programChunk = {kChunkMagic, currentProgram(fixture)};
        *address = &fixture->programChunk;
        return sizeof fixture->programChunk;
    }
    BankChunk& bank = fixture->bankChunk;
    bank.magic = kChunkMagic;
    bank.program = fixture->program;
    std::copy(fixture->programs, fixture->programs + kPrograms, bank.programs);
    // The chosen program's values live in the values table until another is chosen.
    if (kBankKeepsEdits) bank.programs[fixture->program] = currentProgram(fixture);
    *address = &bank;
    return sizeof bank;
}

// A chunk of another size or kind is passed over; names end within their field.
void loadChunk(Fixture* fixture, bool oneProgram, const void* data, intptr_t size) {
    if (!data) return;
    if (oneProgram) {
        ProgramChunk chunk;
        if (size != static_cast<intptr_t>(sizeof chunk)) return;
        std::memcpy(&chunk, data, sizeof chunk);
        if (chunk.magic != kChunkMagic) return;
        chunk.program.name[kVstMaxProgNameLen - 1] = '\0';
        fixture->programs[fixture->program] = chunk.program;
    } else {
        BankChunk chunk;
        if (size != static_cast<intptr_t>(sizeof chunk)) return;
        std::memcpy(&chunk, data, sizeof chunk);
        if (chunk.magic != kChunkMagic || chunk.program < 0 || chunk.program >= kPrograms) return;
        for (Program& program : chunk.programs) program.name[kVstMaxProgNameLen - 1] = '\0';
        std::copy(chunk.programs, chunk.programs + kPrograms, fixture->programs);
        fixture->program = chunk.program;
    }
    std::memcpy(fixture->values, fixture->programs[fixture->program].values, sizeof(float) * kParams);
}

intptr_t dispatch(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    Fixture* fixture = self(effect);
    switch (opcode) {
        case effClose:
            munmap(fixture->pages, 2 * static_cast<size_t>(sysconf(_SC_PAGESIZE)));
            delete fixture;
            return 1;
        case effSetProgram: chooseProgram(fixture, value); return 0;
        case effGetProgram: return fixture->program;
        case effSetProgramName:
            if (ptr) std::snprintf(fixture->programs[fixture->program].name, kGivenNameSize, "%s", static_cast<const char*>(ptr));
            return 0;
        case effGetProgramName: copyText(ptr, fixture->programs[fixture->program].name, kVstMaxProgNameLen); return 0;
        case effGetProgramNameIndexed:
            if (index < 0 || index >= kPrograms) return 0;
            copyText(ptr, fixture->programs[index].name, kVstMaxProgNameLen);
            return 1;
        case effGetParamName: copyText(ptr, isParameter(index) ? kNames[index] : "", kVstMaxParamStrLen); return 0;
        case effGetParamLabel: copyText(ptr, isParameter(index) ? kLabels[index] : "", kVstMaxParamStrLen); return 0;
        case effGetParamDisplay: display(fixture, index, ptr); return 0;
        case effSetBlockSize: fixture->announcedBlock = static_cast<int32_t>(value); return 0;
        case effMainsChanged:
            if (value != 0 && kResumeClears) {
                std::fill(fixture->smoothed, fixture->smoothed + 2, State(0));
                std::fill(fixture->fedBack, fixture->fedBack + 2, State(0));
            }
            return 0;
        case effGetEffectName: copyText(ptr, "Fixture", kVstMaxEffectNameLen); return 1;
        case effGetVendorString: copyText(ptr, "Varnolet tests", kVstMaxVendorStrLen); return 1;
        case effGetProductString: copyText(ptr, "Fixture", kVstMaxProductStrLen); return 1;
        case effGetVstVersion: return 2400;
        case effGetPlugCategory: return kPlugCategEffect;
        case effGetChunk: return saveChunk(fixture, index != 0, static_cast<void**>(ptr));
        case effSetChunk: loadChunk(fixture, index != 0, ptr, value); return 1;
        case effCanBeAutomated: return isParameter(index) ? 1 : 0;
        default: (void)opt; return 0;
    }
}

void setParameter(AEffect* effect, int32_t index, float value) {
    if (kAssertsOneThread && std::this_thread::get_id() != self(effect)->madeOn) __builtin_trap();
    if (!isParameter(index) || std::isnan(value)) return;
    value = std::min(1.0f, std::max(0.0f, value));
    if (kTruncatesGain && index == 0) value = static_cast<float>(std::floor(value * 100.0) / 100.0);
    if (kQuantisesMode && index == 2) value = static_cast<float>(std::min(2, static_cast<int>(value * 3.0f))) / 2.0f;
    volatile float* slot = &self(effect)->values[index];
    if (kTearsGain && index == 0) {
        // The coefficients of the new gain take a while to work out.
        *slot = std::numeric_limits<float>::quiet_NaN();
        for (volatile int k = 0; k < 20000; ++k) {
        }
    }
    *slot = value;
}

float getParameter(AEffect* effect, int32_t index) {
    if (!validIndex(index)) return 0.0f;
    return valueAt(self(effect), index);
}

// Values this small are flushed, so that a decaying tail never turns into
// denormal numbers.
State flushed(State x) { return std::fabs(x) < State(1e-30) ? State(0) : x; }

// Read before the frames are processed: in place, they are the outputs too.
void payForTail(Fixture* fixture, float** inputs, int32_t from, int32_t frames) {
    for (int32_t i = from; i < from + frames; ++i) {
        if (std::fabs(inputs[0][i]) > 1e-3f || std::fabs(inputs[1][i]) > 1e-3f) {
            fixture->tailLeft = kTailFrames;
        } else if (fixture->tailLeft > 0) {
            --fixture->tailLeft;
            volatile double assist = 1.0;
            for (int k = 0; k < kAssistSteps; ++k) assist = assist * 0.999 + 1e-3;
        }
    }
}

void processFrames(Fixture* fixture, float** inputs, float** outputs, int32_t from, int32_t frames) {
    const State gain = State(2.0 * fixture->values[0]);
    const State smoothing = kBoundsSmoothing ? State(1.0 - 0.99 * fixture->values[1])
                                             : State(1.0) / State(100.0 * fixture->values[1]);
    if (kPaysForTail) payForTail(fixture, inputs, from, frames);
    const int32_t written = kWritesOddFrame ? frames : frames - frames % 2;
    const volatile float* liveGain = &fixture->values[0];
    for (int32_t c = 0; c < 2; ++c) {
        State s = fixture->smoothed[c], y = fixture->fedBack[c];
        for (int32_t i = from; i < from + written; ++i) {
            s = flushed(s + smoothing * (inputs[c][i] - s));
            // Read every frame, with a frame's worth of work, when the gain is torn.
            const State g = kTearsGain ? State(2.0 * *liveGain) : gain;
            if (kTearsGain)
                for (volatile int k = 0; k < 20; ++k) {
                }
            y = flushed(g * s + State(kFeedback) * y);
            outputs[c][i] = static_cast<float>(y);
        }
        if (kWritesOnePast) outputs[c][from + frames] = 0.0f;
        fixture->smoothed[c] = s;
        fixture->fedBack[c] = y;
    }
}

void processReplacing(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    Fixture* fixture = self(effect);
    // The parameters are read once per step of the announced block size.
    const int32_t step = kGuardsBlockSize && fixture->announcedBlock <= 0 ? kFallbackStep : fixture->announcedBlock;
    for (int32_t done = 0; done < frames; done += step)
        processFrames(fixture, inputs, outputs, done, std::min(step, frames - done));
}
}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void* pages = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) return nullptr;
    mprotect(static_cast<char*>(pages) + page, page, PROT_NONE);
    Fixture* fixture = new Fixture;
    fixture->pages = pages;
    fixture->values = reinterpret_cast<float*>(static_cast<char*>(pages) + page) - kParams;
    std::memcpy(fixture->values, fixture->programs[0].values, sizeof(float) * kParams);
    AEffect& r = fixture->record;
    r.magic = kEffectMagic;
    r.dispatcher = dispatch;
    r.setParameter = setParameter;
    r.getParameter = getParameter;
    r.processReplacing = processReplacing;
    r.numPrograms = kPrograms;
    r.numParams = kParams;
    r.numInputs = 2;
    r.numOutputs = 2;
    r.flags = effFlagsCanReplacing | effFlagsProgramChunks;
    r.object = fixture;
    r.uniqueID = fourCharCode('F', 'x', 't', 'r');
    r.version = 1;
    return &r;
}
