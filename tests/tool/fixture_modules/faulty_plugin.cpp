// A small stereo effect written as a careful plug-in is: a one-pole
// smoother, a gain and a damped one-sample feedback, three parameters and
// two programs. It is built once as it stands and once for each deliberate
// fault below, so that each fault is the only difference from a plug-in
// that the validator passes.
//   FAULT_NULL_POINTER          writes its texts without looking at the pointer
//   FAULT_HANG_AT_BLOCK_SIZE_0  steps through a block in the announced block size, even 0
//   FAULT_NAN_LATCH             keeps its filter state through resume, NaN and all
//   FAULT_UNWRITTEN_ODD_FRAMES  works two frames at a time and drops an odd last one
//   FAULT_TABLE_READ            reads its parameter table at any index it is given
//   FAULT_UNDAMPED_FEEDBACK     feeds its output back at full gain
//   FAULT_WRITES_PAST_OUTPUT    writes one sample past the end of its outputs
//   FAULT_TRUNCATED_STEPS       keeps its gain in hundredths, truncated, so that a
//                               value read and set again may come back a step lower
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

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
using State = double;

constexpr int32_t kParams = 3;
constexpr int32_t kPrograms = 2;
constexpr int32_t kFallbackStep = 64;
const char* const kNames[kParams] = {"Gain", "Smooth", "Mode"};
const char* const kLabels[kParams] = {"x", "%", ""};
const char* const kModes[3] = {"Low", "Mid", "High"};

struct Program {
    float values[kParams];
    char name[kVstMaxProgNameLen];
};

struct Fixture {
    AEffect record{};
    // The current values lie at the very end of a page with an inaccessible
    // page after it, so that a read past them always faults, as it would
    // under a memory checker.
    void* pages = nullptr;
    float* values = nullptr;
    Program programs[kPrograms] = {{{0.5f, 0.5f, 0.0f}, "Init"}, {{0.75f, 0.1f, 1.0f}, "Bright"}};
    int32_t program = 0;
    int32_t announcedBlock = 1024;
    State smoothed[2] = {0, 0};
    State fedBack[2] = {0, 0};
};

Fixture* self(AEffect* effect) { return static_cast<Fixture*>(effect->object); }

bool isParameter(int32_t index) { return index >= 0 && index < kParams; }
// Where the values table is read.
bool validIndex(int32_t index) { return !kChecksIndex || isParameter(index); }

void copyText(void* ptr, const char* text, size_t size) {
    if (kChecksPointers && !ptr) return;
    std::snprintf(static_cast<char*>(ptr), size, "%s", text);
}

void display(Fixture* fixture, int32_t index, void* ptr) {
    if (!validIndex(index)) return copyText(ptr, "", kVstMaxParamStrLen);
    const float value = fixture->values[index];
    if (index == 2) return copyText(ptr, kModes[std::min(2, static_cast<int>(value * 3.0f))], kVstMaxParamStrLen);
    // Values run from 0 to 1: "0.00" to "200.00" at most, always within 8 bytes.
    char text[kVstMaxParamStrLen];
    std::snprintf(text, sizeof text, "%.2f", index == 0 ? 2.0 * value : 100.0 * value);
    copyText(ptr, text, sizeof text);
}

void chooseProgram(Fixture* fixture, intptr_t program) {
    if (program < 0 || program >= kPrograms) return;
    std::memcpy(fixture->programs[fixture->program].values, fixture->values, sizeof(float) * kParams);
    fixture->program = static_cast<int32_t>(program);
    std::memcpy(fixture->values, fixture->programs[program].values, sizeof(float) * kParams);
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
            if (ptr) std::snprintf(fixture->programs[fixture->program].name, kVstMaxProgNameLen, "%s", static_cast<const char*>(ptr));
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
        case effCanBeAutomated: return isParameter(index) ? 1 : 0;
        default: (void)opt; return 0;
    }
}

void setParameter(AEffect* effect, int32_t index, float value) {
    if (!isParameter(index) || std::isnan(value)) return;
    value = std::min(1.0f, std::max(0.0f, value));
    if (kTruncatesGain && index == 0) value = static_cast<float>(std::floor(value * 100.0) / 100.0);
    self(effect)->values[index] = value;
}

float getParameter(AEffect* effect, int32_t index) {
    if (!validIndex(index)) return 0.0f;
    return self(effect)->values[index];
}

// Values this small are flushed, so that a decaying tail never turns into
// denormal numbers.
State flushed(State x) { return std::fabs(x) < State(1e-30) ? State(0) : x; }

void processFrames(Fixture* fixture, float** inputs, float** outputs, int32_t from, int32_t frames) {
    const State gain = State(2.0 * fixture->values[0]);
    const State smoothing = State(1.0 - 0.99 * fixture->values[1]);
    const int32_t written = kWritesOddFrame ? frames : frames - frames % 2;
    for (int32_t c = 0; c < 2; ++c) {
        State s = fixture->smoothed[c], y = fixture->fedBack[c];
        for (int32_t i = from; i < from + written; ++i) {
            s = flushed(s + smoothing * (inputs[c][i] - s));
            y = flushed(gain * s + State(kFeedback) * y);
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
    r.flags = effFlagsCanReplacing;
    r.object = fixture;
    r.uniqueID = fourCharCode('F', 'x', 't', 'r');
    r.version = 1;
    return &r;
}
