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
