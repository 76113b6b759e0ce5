#include "host/library/opcode_names.h"

const char* effectOpcodeName(int32_t opcode) {
    static const char* const names[] = {
        "effOpen", "effClose", "effSetProgram", "effGetProgram", "effSetProgramName",
        "effGetProgramName", "effGetParamLabel", "effGetParamDisplay", "effGetParamName",
        "effGetVu", "effSetSampleRate", "effSetBlockSize", "effMainsChanged", "effEditGetRect",
        "effEditOpen", "effEditClose", "effEditDraw", "effEditMouse", "effEditKey",
        "effEditIdle", "effEditTop", "effEditSleep", "effIdentify", "effGetChunk",
        "effSetChunk", "effProcessEvents", "effCanBeAutomated", "effString2Parameter",
        "effGetNumProgramCategories", "effGetProgramNameIndexed", "effCopyProgram",
        "effConnectInput", "effConnectOutput", "effGetInputProperties",
        "effGetOutputProperties", "effGetPlugCategory", "effGetCurrentPosition",
        "effGetDestinationBuffer", "effOfflineNotify", "effOfflinePrepare", "effOfflineRun",
        "effProcessVarIo", "effSetSpeakerArrangement", "effSetBlockSizeAndSampleRate",
        "effSetBypass", "effGetEffectName", "effGetErrorText", "effGetVendorString",
        "effGetProductString", "effGetVendorVersion", "effVendorSpecific", "effCanDo",
        "effGetTailSize", "effIdle", "effGetIcon", "effSetViewPosition",
        "effGetParameterProperties", "effKeysRequired", "effGetVstVersion", "effEditKeyDown",
        "effEditKeyUp", "effSetEditKnobMode", "effGetMidiProgramName",
        "effGetCurrentMidiProgram", "effGetMidiProgramCategory", "effHasMidiProgramsChanged",
        "effGetMidiKeyName", "effBeginSetProgram", "effEndSetProgram",
        "effGetSpeakerArrangement", "effShellGetNextPlugin", "effStartProcess",
        "effStopProcess", "effSetTotalSampleToProcess", "effSetPanLaw", "effBeginLoadBank",
        "effBeginLoadProgram", "effSetProcessPrecision", "effGetNumMidiInputChannels",
        "effGetNumMidiOutputChannels"};
    constexpr int32_t count = static_cast<int32_t>(sizeof names / sizeof names[0]);
    return opcode >= 0 && opcode < count ? names[opcode] : "(unknown)";
}

const char* audioMasterOpcodeName(int32_t opcode) {
    static const char* const names[] = {
        "audioMasterAutomate", "audioMasterVersion", "audioMasterCurrentId", "audioMasterIdle",
        "audioMasterPinConnected", "(5)", "audioMasterWantMidi", "audioMasterGetTime",
        "audioMasterProcessEvents", "audioMasterSetTime", "audioMasterTempoAt",
        "audioMasterGetNumAutomatableParameters", "audioMasterGetParameterQuantization",
        "audioMasterIOChanged", "audioMasterNeedIdle", "audioMasterSizeWindow",
        "audioMasterGetSampleRate", "audioMasterGetBlockSize", "audioMasterGetInputLatency",
        "audioMasterGetOutputLatency", "audioMasterGetPreviousPlug", "audioMasterGetNextPlug",
        "audioMasterWillReplaceOrAccumulate", "audioMasterGetCurrentProcessLevel",
        "audioMasterGetAutomationState", "audioMasterOfflineStart", "audioMasterOfflineRead",
        "audioMasterOfflineWrite", "audioMasterOfflineGetCurrentPass",
        "audioMasterOfflineGetCurrentMetaPass", "audioMasterSetOutputSampleRate",
        "audioMasterGetOutputSpeakerArrangement", "audioMasterGetVendorString",
        "audioMasterGetProductString", "audioMasterGetVendorVersion",
        "audioMasterVendorSpecific", "audioMasterSetIcon", "audioMasterCanDo",
        "audioMasterGetLanguage", "audioMasterOpenWindow", "audioMasterCloseWindow",
        "audioMasterGetDirectory", "audioMasterUpdateDisplay", "audioMasterBeginEdit",
        "audioMasterEndEdit", "audioMasterOpenFileSelector", "audioMasterCloseFileSelector",
        "audioMasterEditFile", "audioMasterGetChunkFile",
        "audioMasterGetInputSpeakerArrangement"};
    constexpr int32_t count = static_cast<int32_t>(sizeof names / sizeof names[0]);
    return opcode >= 0 && opcode < count ? names[opcode] : "(unknown)";
}
