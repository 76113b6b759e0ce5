// The binary interface between a VST 2.4 host and a plug-in module: the
// record a plug-in hands to its host, the calling convention of every call
// across the boundary, and the numbers both sides agree on. The host tools
// include this header and nothing else of the plug-in.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VSTCALLBACK __cdecl
#else
#define VSTCALLBACK
#endif

struct AEffect;

using audioMasterCallback = intptr_t(VSTCALLBACK*)(AEffect* effect, int32_t opcode, int32_t index,
                                                   intptr_t value, void* ptr, float opt);
using AEffectDispatcherProc = intptr_t(VSTCALLBACK*)(AEffect* effect, int32_t opcode, int32_t index,
                                                     intptr_t value, void* ptr, float opt);
using AEffectProcessProc = void(VSTCALLBACK*)(AEffect* effect, float** inputs, float** outputs,
                                              int32_t sampleFrames);
using AEffectProcessDoubleProc = void(VSTCALLBACK*)(AEffect* effect, double** inputs,
                                                    double** outputs, int32_t sampleFrames);
using AEffectSetParameterProc = void(VSTCALLBACK*)(AEffect* effect, int32_t index, float value);
using AEffectGetParameterProc = float(VSTCALLBACK*)(AEffect* effect, int32_t index);
using VstEntryProc = AEffect*(VSTCALLBACK*)(audioMasterCallback host);

struct AEffect {
    int32_t magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    int32_t numPrograms;
    int32_t numParams;
    int32_t numInputs;
    int32_t numOutputs;
    int32_t flags;
    intptr_t resvd1;
    intptr_t resvd2;
    int32_t initialDelay;
    int32_t realQualities;
    int32_t offQualities;
    float ioRatio;
    void* object;
    void* user;
    int32_t uniqueID;
    int32_t version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

// Hosts compiled by any compiler read these offsets; they must never drift.
#define VST_PIN_OFFSET(field, at) static_assert(offsetof(AEffect, field) == (at), #field)
#if INTPTR_MAX == INT64_MAX
static_assert(sizeof(AEffect) == 192, "the 64-bit record is 192 bytes");
VST_PIN_OFFSET(magic, 0);
VST_PIN_OFFSET(dispatcher, 8);
VST_PIN_OFFSET(process, 16);
VST_PIN_OFFSET(setParameter, 24);
VST_PIN_OFFSET(getParameter, 32);
VST_PIN_OFFSET(numPrograms, 40);
VST_PIN_OFFSET(numParams, 44);
VST_PIN_OFFSET(numInputs, 48);
VST_PIN_OFFSET(numOutputs, 52);
VST_PIN_OFFSET(flags, 56);
VST_PIN_OFFSET(resvd1, 64);
VST_PIN_OFFSET(resvd2, 72);
VST_PIN_OFFSET(initialDelay, 80);
VST_PIN_OFFSET(realQualities, 84);
VST_PIN_OFFSET(offQualities, 88);
VST_PIN_OFFSET(ioRatio, 92);
VST_PIN_OFFSET(object, 96);
VST_PIN_OFFSET(user, 104);
VST_PIN_OFFSET(uniqueID, 112);
VST_PIN_OFFSET(version, 116);
VST_PIN_OFFSET(processReplacing, 120);
VST_PIN_OFFSET(processDoubleReplacing, 128);
VST_PIN_OFFSET(future, 136);
#elif INTPTR_MAX == INT32_MAX
static_assert(sizeof(AEffect) == 144, "the 32-bit record is 144 bytes");
VST_PIN_OFFSET(magic, 0);
VST_PIN_OFFSET(dispatcher, 4);
VST_PIN_OFFSET(process, 8);
VST_PIN_OFFSET(setParameter, 12);
VST_PIN_OFFSET(getParameter, 16);
VST_PIN_OFFSET(numPrograms, 20);
VST_PIN_OFFSET(numParams, 24);
VST_PIN_OFFSET(numInputs, 28);
VST_PIN_OFFSET(numOutputs, 32);
VST_PIN_OFFSET(flags, 36);
VST_PIN_OFFSET(resvd1, 40);
VST_PIN_OFFSET(resvd2, 44);
VST_PIN_OFFSET(initialDelay, 48);
VST_PIN_OFFSET(realQualities, 52);
VST_PIN_OFFSET(offQualities, 56);
VST_PIN_OFFSET(ioRatio, 60);
VST_PIN_OFFSET(object, 64);
VST_PIN_OFFSET(user, 68);
VST_PIN_OFFSET(uniqueID, 72);
VST_PIN_OFFSET(version, 76);
VST_PIN_OFFSET(processReplacing, 80);
VST_PIN_OFFSET(processDoubleReplacing, 84);
VST_PIN_OFFSET(future, 88);
#else
#error "only 32-bit and 64-bit pointers are supported"
#endif
#undef VST_PIN_OFFSET

// Four characters packed big-endian into one integer, as the record's codes are.
constexpr int32_t fourCharCode(char a, char b, char c, char d) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

constexpr int32_t kEffectMagic = fourCharCode('V', 's', 't', 'P');

enum VstAEffectFlags : int32_t {
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,
    effFlagsHasVu = 1 << 2,
    effFlagsCanMono = 1 << 3,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,
    effFlagsExtHasBuffer = 1 << 11,
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Requests a host sends through the record's dispatcher.
enum AEffectOpcodes : int32_t {
    effOpen = 0,
    effClose,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    effGetVu,
    effSetSampleRate,
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    effEditDraw,
    effEditMouse,
    effEditKey,
    effEditIdle,
    effEditTop,
    effEditSleep,
    effIdentify,
    effGetChunk,
    effSetChunk,
    effProcessEvents,
    effCanBeAutomated,
    effString2Parameter,
    effGetNumProgramCategories,
    effGetProgramNameIndexed,
    effCopyProgram,
    effConnectInput,
    effConnectOutput,
    effGetInputProperties,
    effGetOutputProperties,
    effGetPlugCategory,
    effGetCurrentPosition,
    effGetDestinationBuffer,
    effOfflineNotify,
    effOfflinePrepare,
    effOfflineRun,
    effProcessVarIo,
    effSetSpeakerArrangement,
    effSetBlockSizeAndSampleRate,
    effSetBypass,
    effGetEffectName,
    effGetErrorText,
    effGetVendorString,
    effGetProductString,
    effGetVendorVersion,
    effVendorSpecific,
    effCanDo,
    effGetTailSize,
    effIdle,
    effGetIcon,
    effSetViewPosition,
    effGetParameterProperties,
    effKeysRequired,
    effGetVstVersion,
    effEditKeyDown,
    effEditKeyUp,
    effSetEditKnobMode,
    effGetMidiProgramName,
    effGetCurrentMidiProgram,
    effGetMidiProgramCategory,
    effHasMidiProgramsChanged,
    effGetMidiKeyName,
    effBeginSetProgram,
    effEndSetProgram,
    effGetSpeakerArrangement,
    effShellGetNextPlugin,
    effStartProcess,
    effStopProcess,
    effSetTotalSampleToProcess,
    effSetPanLaw,
    effBeginLoadBank,
    effBeginLoadProgram,
    effSetProcessPrecision,
    effGetNumMidiInputChannels,
    effGetNumMidiOutputChannels,
};

// Calls a plug-in makes back into its host.
enum AudioMasterOpcodes : int32_t {
    audioMasterAutomate = 0,
    audioMasterVersion,
    audioMasterCurrentId,
    audioMasterIdle,
    audioMasterPinConnected,
    audioMasterWantMidi = 6,
    audioMasterGetTime,
    audioMasterProcessEvents,
    audioMasterSetTime,
    audioMasterTempoAt,
    audioMasterGetNumAutomatableParameters,
    audioMasterGetParameterQuantization,
    audioMasterIOChanged,
    audioMasterNeedIdle,
    audioMasterSizeWindow,
    audioMasterGetSampleRate,
    audioMasterGetBlockSize,
    audioMasterGetInputLatency,
    audioMasterGetOutputLatency,
    audioMasterGetPreviousPlug,
    audioMasterGetNextPlug,
    audioMasterWillReplaceOrAccumulate,
    audioMasterGetCurrentProcessLevel,
    audioMasterGetAutomationState,
    audioMasterOfflineStart,
    audioMasterOfflineRead,
    audioMasterOfflineWrite,
    audioMasterOfflineGetCurrentPass,
    audioMasterOfflineGetCurrentMetaPass,
    audioMasterSetOutputSampleRate,
    audioMasterGetOutputSpeakerArrangement,
    audioMasterGetVendorString,
    audioMasterGetProductString,
    audioMasterGetVendorVersion,
    audioMasterVendorSpecific,
    audioMasterSetIcon,
    audioMasterCanDo,
    audioMasterGetLanguage,
    audioMasterOpenWindow,
    audioMasterCloseWindow,
    audioMasterGetDirectory,
    audioMasterUpdateDisplay,
    audioMasterBeginEdit,
    audioMasterEndEdit,
    audioMasterOpenFileSelector,
    audioMasterCloseFileSelector,
    audioMasterEditFile,
    audioMasterGetChunkFile,
    audioMasterGetInputSpeakerArrangement,
};

enum VstPlugCategory : int32_t {
    kPlugCategUnknown = 0,
    kPlugCategEffect,
    kPlugCategSynth,
};

// Text sizes of the interface, terminator included.
constexpr int kVstMaxProgNameLen = 24;
constexpr int kVstMaxParamStrLen = 8;
constexpr int kVstMaxVendorStrLen = 64;
constexpr int kVstMaxProductStrLen = 64;
constexpr int kVstMaxEffectNameLen = 32;

// Events a host sends with effProcessEvents before the block they belong
// to. The list holds numEvents pointers; the two of the declaration are a
// placeholder, and a host allocates room for as many as it sends.
enum VstEventTypes : int32_t {
    kVstMidiType = 1,
};

struct VstEvent {
    int32_t type;
    int32_t byteSize;     // of the whole event record
    int32_t deltaFrames;  // where in the coming block it happens
    int32_t flags;
    char data[16];
};

struct VstEvents {
    int32_t numEvents;
    intptr_t reserved;
    VstEvent* events[2];
};

enum VstMidiEventFlags : int32_t {
    kVstMidiEventIsRealtime = 1 << 0,
};

// One short MIDI message, shaped as a VstEvent of type kVstMidiType.
struct VstMidiEvent {
    int32_t type;
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    int32_t noteLength;  // frames, 0 when not known
    int32_t noteOffset;
    char midiData[4];  // status byte and up to two data bytes
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

// What a host answers to audioMasterGetTime: where its transport stands at
// the start of the block being processed. flags says which fields hold
// anything; positions in quarter notes ("ppq") count from the song's start.
struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;  // beats per minute
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    int32_t timeSigNumerator;
    int32_t timeSigDenominator;
    int32_t smpteOffset;
    int32_t smpteFrameRate;
    int32_t samplesToNextClock;
    int32_t flags;
};

enum VstTimeInfoFlags : int32_t {
    kVstTransportChanged = 1 << 0,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15,
};

// The event and time records are read across the boundary too.
static_assert(sizeof(VstEvent) == 32, "an event record is 32 bytes");
static_assert(sizeof(VstMidiEvent) == 32, "a MIDI event record is 32 bytes");
static_assert(offsetof(VstMidiEvent, deltaFrames) == 8, "deltaFrames");
static_assert(offsetof(VstMidiEvent, midiData) == 24, "midiData");
static_assert(offsetof(VstMidiEvent, noteOffVelocity) == 29, "noteOffVelocity");
static_assert(sizeof(VstTimeInfo) == 88, "the time record is 88 bytes");
static_assert(offsetof(VstTimeInfo, ppqPos) == 24, "ppqPos");
static_assert(offsetof(VstTimeInfo, barStartPos) == 40, "barStartPos");
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64, "timeSigNumerator");
static_assert(offsetof(VstTimeInfo, samplesToNextClock) == 80, "samplesToNextClock");
static_assert(offsetof(VstTimeInfo, flags) == 84, "flags");
#if INTPTR_MAX == INT64_MAX
static_assert(offsetof(VstEvents, reserved) == 8 && offsetof(VstEvents, events) == 16,
              "the 64-bit event list: count, reserved, pointers");
static_assert(sizeof(VstEvents) == 32, "the 64-bit event list with its two placeholders");
#else
static_assert(offsetof(VstEvents, reserved) == 4 && offsetof(VstEvents, events) == 8,
              "the 32-bit event list: count, reserved, pointers");
static_assert(sizeof(VstEvents) == 16, "the 32-bit event list with its two placeholders");
#endif
