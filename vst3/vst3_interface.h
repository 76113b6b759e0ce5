// The binary interface between a VST3 host and a plug-in module: the module's
// exported functions, the class factory, the component with its audio
// processor, the edit controller, parameter change queues, streams and the
// connection point, and the host-side interfaces either side of this project
// uses. The plug-in and the host library include this header and nothing else
// of each other.
//
// The format is COM-like: every object is reached through interfaces, each a
// table of virtual functions in a fixed order behind a 16-byte id, counted
// with addRef/release and found with queryInterface. The classes below carry
// only pure virtual functions and no destructor, so that every C++ compiler
// lays their tables out as the format's hosts and plug-ins do: one slot per
// function, in declaration order, after those of the base. On Windows every
// call uses __stdcall (on 64-bit Windows there is only one convention), and
// ids and result codes follow COM; elsewhere the default convention, ids in
// plain byte order, and results of the format's own numbering.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(_WIN32)
#define VST3_CALL __stdcall
#else
#define VST3_CALL
#endif

namespace vst3 {

using int8 = int8_t;
using uint8 = uint8_t;
using int16 = int16_t;
using int32 = int32_t;
using uint32 = uint32_t;
using int64 = int64_t;
using uint64 = uint64_t;
using TBool = uint8_t;
using char8 = char;
using char16 = char16_t;
using TChar = char16_t;
using String128 = TChar[128];
using FIDString = const char8*;
using tresult = int32_t;

// ---- Results ---------------------------------------------------------------

#if defined(_WIN32)
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002u);
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = kResultOk;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057u);
constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001u);
constexpr tresult kInternalError = static_cast<tresult>(0x80004005u);
constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);
constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);
#else
constexpr tresult kNoInterface = -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = kResultOk;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif

// ---- Ids -------------------------------------------------------------------

// A class or interface id as it travels: 16 bytes.
using TUID = char[16];

struct Uid {
    char bytes[16];
    bool matches(const char* other) const {
        return other && std::memcmp(bytes, other, sizeof bytes) == 0;
    }
};

// An id is written as four 32-bit numbers. On Windows its bytes are those of
// a COM GUID in memory: the first number little-endian, the second as two
// little-endian halves, high half first, the last two big-endian. Everywhere
// else all four are big-endian.
constexpr Uid makeUid(uint32 l1, uint32 l2, uint32 l3, uint32 l4) {
    Uid id{};
    const uint32 words[4] = {l1, l2, l3, l4};
    for (int w = 0; w < 4; ++w)
        for (int b = 0; b < 4; ++b)
            id.bytes[4 * w + b] = static_cast<char>((words[w] >> (24 - 8 * b)) & 0xFF);
#if defined(_WIN32)
    const char a[4] = {id.bytes[0], id.bytes[1], id.bytes[2], id.bytes[3]};
    id.bytes[0] = a[3];
    id.bytes[1] = a[2];
    id.bytes[2] = a[1];
    id.bytes[3] = a[0];
    const char c[4] = {id.bytes[4], id.bytes[5], id.bytes[6], id.bytes[7]};
    id.bytes[4] = c[1];
    id.bytes[5] = c[0];
    id.bytes[6] = c[3];
    id.bytes[7] = c[2];
#endif
    return id;
}

// ---- FUnknown --------------------------------------------------------------

class FUnknown {
public:
    // kResultOk and an interface counted once more in *obj, or kNoInterface
    // and null.
    virtual tresult VST3_CALL queryInterface(const TUID wanted, void** obj) = 0;
    virtual uint32 VST3_CALL addRef() = 0;
    virtual uint32 VST3_CALL release() = 0;
    static constexpr Uid iid = makeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
};

// ---- Streams ---------------------------------------------------------------

// Reading and writing may move fewer bytes than asked; the count comes back
// through the last argument, which may be null.
class IBStream : public FUnknown {
public:
    enum SeekMode : int32 { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };
    virtual tresult VST3_CALL read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult VST3_CALL write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    virtual tresult VST3_CALL seek(int64 pos, int32 mode, int64* result) = 0;
    virtual tresult VST3_CALL tell(int64* pos) = 0;
    static constexpr Uid iid = makeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
};

// ---- Plug-in base and factory -----------------------------------------------

class IPluginBase : public FUnknown {
public:
    // context: the host's IHostApplication (or null).
    virtual tresult VST3_CALL initialize(FUnknown* context) = 0;
    virtual tresult VST3_CALL terminate() = 0;
    static constexpr Uid iid = makeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
};

struct PFactoryInfo {
    enum : int32 { kNoFlags = 0, kClassesDiscardable = 1 << 0, kComponentNonDiscardable = 1 << 3,
                   kUnicode = 1 << 4 };
    enum { kURLSize = 256, kEmailSize = 128, kNameSize = 64 };
    char8 vendor[kNameSize];
    char8 url[kURLSize];
    char8 email[kEmailSize];
    int32 flags;
};

struct PClassInfo {
    enum : int32 { kManyInstances = 0x7FFFFFFF };
    enum { kCategorySize = 32, kNameSize = 64 };
    TUID cid;
    int32 cardinality;
    char8 category[kCategorySize];
    char8 name[kNameSize];
};

struct PClassInfo2 {
    enum { kVendorSize = 64, kVersionSize = 64, kSubCategoriesSize = 128 };
    TUID cid;
    int32 cardinality;
    char8 category[PClassInfo::kCategorySize];
    char8 name[PClassInfo::kNameSize];
    uint32 classFlags;
    char8 subCategories[kSubCategoriesSize];  // "Fx|Delay": several joined by '|'
    char8 vendor[kVendorSize];
    char8 version[kVersionSize];
    char8 sdkVersion[kVersionSize];
};

struct PClassInfoW {
    enum { kVendorSize = 64, kVersionSize = 64, kSubCategoriesSize = 128 };
    TUID cid;
    int32 cardinality;
    char8 category[PClassInfo::kCategorySize];
    char16 name[PClassInfo::kNameSize];
    uint32 classFlags;
    char8 subCategories[kSubCategoriesSize];
    char16 vendor[kVendorSize];
    char16 version[kVersionSize];
    char16 sdkVersion[kVersionSize];
};

class IPluginFactory : public FUnknown {
public:
    virtual tresult VST3_CALL getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 VST3_CALL countClasses() = 0;
    virtual tresult VST3_CALL getClassInfo(int32 index, PClassInfo* info) = 0;
    virtual tresult VST3_CALL createInstance(FIDString cid, FIDString wanted, void** obj) = 0;
    static constexpr Uid iid = makeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
};

class IPluginFactory2 : public IPluginFactory {
public:
    virtual tresult VST3_CALL getClassInfo2(int32 index, PClassInfo2* info) = 0;
    static constexpr Uid iid = makeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
};

class IPluginFactory3 : public IPluginFactory2 {
public:
    virtual tresult VST3_CALL getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult VST3_CALL setHostContext(FUnknown* context) = 0;
    static constexpr Uid iid = makeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
};

// The class categories and the version text hosts expect in PClassInfo2.
constexpr const char* kAudioEffectClass = "Audio Module Class";
constexpr const char* kComponentControllerClass = "Component Controller Class";
constexpr const char* kSdkVersionString = "VST 3.7.13";

// ---- Component -------------------------------------------------------------

using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using UnitID = int32;
using ParamID = uint32;
using ParamValue = double;
using SampleRate = double;
using SpeakerArrangement = uint64;
using Sample32 = float;
using Sample64 = double;

enum MediaTypes : int32 { kAudio = 0, kEvent = 1 };
enum BusDirections : int32 { kInput = 0, kOutput = 1 };
enum BusTypes : int32 { kMain = 0, kAux = 1 };
enum IoModes : int32 { kSimple = 0, kAdvanced = 1, kOfflineProcessing = 2 };

struct BusInfo {
    enum BusFlags : uint32 { kDefaultActive = 1 << 0, kIsControlVoltage = 1 << 1 };
    MediaType mediaType;
    BusDirection direction;
    int32 channelCount;
    String128 name;
    BusType busType;
    uint32 flags;
};

struct RoutingInfo {
    MediaType mediaType;
    int32 busIndex;
    int32 channel;
};

class IComponent : public IPluginBase {
public:
    virtual tresult VST3_CALL getControllerClassId(TUID classId) = 0;
    virtual tresult VST3_CALL setIoMode(IoMode mode) = 0;
    virtual int32 VST3_CALL getBusCount(MediaType type, BusDirection dir) = 0;
    virtual tresult VST3_CALL getBusInfo(MediaType type, BusDirection dir, int32 index,
                                         BusInfo& bus) = 0;
    virtual tresult VST3_CALL getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult VST3_CALL activateBus(MediaType type, BusDirection dir, int32 index,
                                          TBool state) = 0;
    virtual tresult VST3_CALL setActive(TBool state) = 0;
    virtual tresult VST3_CALL setState(IBStream* state) = 0;
    virtual tresult VST3_CALL getState(IBStream* state) = 0;
    static constexpr Uid iid = makeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
};

// ---- Speakers --------------------------------------------------------------

constexpr SpeakerArrangement kSpeakerL = 1u << 0;
constexpr SpeakerArrangement kSpeakerR = 1u << 1;
constexpr SpeakerArrangement kSpeakerM = 1u << 19;
constexpr SpeakerArrangement kArrangementEmpty = 0;
constexpr SpeakerArrangement kArrangementMono = kSpeakerM;
constexpr SpeakerArrangement kArrangementStereo = kSpeakerL | kSpeakerR;

// ---- Parameter changes -----------------------------------------------------

// The points of one parameter within a block, in order of their offsets.
class IParamValueQueue : public FUnknown {
public:
    virtual ParamID VST3_CALL getParameterId() = 0;
    virtual int32 VST3_CALL getPointCount() = 0;
    virtual tresult VST3_CALL getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
    virtual tresult VST3_CALL addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;
    static constexpr Uid iid = makeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
};

// One queue for each parameter that changes within a block.
class IParameterChanges : public FUnknown {
public:
    virtual int32 VST3_CALL getParameterCount() = 0;
    virtual IParamValueQueue* VST3_CALL getParameterData(int32 index) = 0;
    virtual IParamValueQueue* VST3_CALL addParameterData(const ParamID& id, int32& index) = 0;
    static constexpr Uid iid = makeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
};

// Neither side of this project reads or writes note events or the transport:
// their lists travel only as pointers.
class IEventList;
struct ProcessContext;

// ---- Audio processor ---------------------------------------------------------

enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 = 1 };
enum ProcessModes : int32 { kRealtime = 0, kPrefetch = 1, kOffline = 2 };
constexpr uint32 kNoTail = 0;
constexpr uint32 kInfiniteTail = 0xFFFFFFFFu;

struct ProcessSetup {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 maxSamplesPerBlock;
    SampleRate sampleRate;
};

struct AudioBusBuffers {
    int32 numChannels;
    uint64 silenceFlags;
    union {
        Sample32** channelBuffers32;
        Sample64** channelBuffers64;
    };
};

struct ProcessData {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 numSamples;
    int32 numInputs;
    int32 numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

class IAudioProcessor : public FUnknown {
public:
    virtual tresult VST3_CALL setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts) = 0;
    virtual tresult VST3_CALL getBusArrangement(BusDirection dir, int32 index,
                                                SpeakerArrangement& arr) = 0;
    virtual tresult VST3_CALL canProcessSampleSize(int32 symbolicSampleSize) = 0;
    virtual uint32 VST3_CALL getLatencySamples() = 0;
    virtual tresult VST3_CALL setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult VST3_CALL setProcessing(TBool state) = 0;
    virtual tresult VST3_CALL process(ProcessData& data) = 0;
    virtual uint32 VST3_CALL getTailSamples() = 0;
    static constexpr Uid iid = makeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
};

// ---- Edit controller ---------------------------------------------------------

struct ParameterInfo {
    enum ParameterFlags : int32 {
        kNoFlags = 0,
        kCanAutomate = 1 << 0,
        kIsReadOnly = 1 << 1,
        kIsWrapAround = 1 << 2,
        kIsList = 1 << 3,
        kIsHidden = 1 << 4,
        kIsProgramChange = 1 << 15,
        kIsBypass = 1 << 16,
    };
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32 stepCount;  // 0 continuous, else the number of steps between min and max
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32 flags;
};

constexpr UnitID kRootUnitId = 0;
constexpr UnitID kNoParentUnitId = -1;

// What restartComponent asks the host to read again.
enum RestartFlags : int32 {
    kReloadComponent = 1 << 0,
    kIoChanged = 1 << 1,
    kParamValuesChanged = 1 << 2,
    kLatencyChanged = 1 << 3,
};

class IComponentHandler : public FUnknown {
public:
    virtual tresult VST3_CALL beginEdit(ParamID id) = 0;
    virtual tresult VST3_CALL performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult VST3_CALL endEdit(ParamID id) = 0;
    virtual tresult VST3_CALL restartComponent(int32 flags) = 0;
    static constexpr Uid iid = makeUid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
};

// The controller's editor view is never created here: it travels as a pointer.
class IPlugView;

class IEditController : public IPluginBase {
public:
    virtual tresult VST3_CALL setComponentState(IBStream* state) = 0;
    virtual tresult VST3_CALL setState(IBStream* state) = 0;
    virtual tresult VST3_CALL getState(IBStream* state) = 0;
    virtual int32 VST3_CALL getParameterCount() = 0;
    virtual tresult VST3_CALL getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
    virtual tresult VST3_CALL getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                    String128 string) = 0;
    virtual tresult VST3_CALL getParamValueByString(ParamID id, TChar* string,
                                                    ParamValue& valueNormalized) = 0;
    virtual ParamValue VST3_CALL normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
    virtual ParamValue VST3_CALL plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    virtual ParamValue VST3_CALL getParamNormalized(ParamID id) = 0;
    virtual tresult VST3_CALL setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult VST3_CALL setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* VST3_CALL createView(FIDString name) = 0;
    static constexpr Uid iid = makeUid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
};

// ---- Units and their program lists --------------------------------------------

using ProgramListID = int32;
using CString = const char8*;
constexpr ProgramListID kNoProgramListId = -1;

struct UnitInfo {
    UnitID id;
    UnitID parentUnitId;
    String128 name;
    ProgramListID programListId;
};

struct ProgramListInfo {
    ProgramListID id;
    String128 name;
    int32 programCount;
};

// The controller's description of its units; here the root unit alone,
// with the list of programs its program-change parameter chooses from.
class IUnitInfo : public FUnknown {
public:
    virtual int32 VST3_CALL getUnitCount() = 0;
    virtual tresult VST3_CALL getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
    virtual int32 VST3_CALL getProgramListCount() = 0;
    virtual tresult VST3_CALL getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
    virtual tresult VST3_CALL getProgramName(ProgramListID listId, int32 programIndex,
                                             String128 name) = 0;
    virtual tresult VST3_CALL getProgramInfo(ProgramListID listId, int32 programIndex,
                                             CString attributeId, String128 attributeValue) = 0;
    virtual tresult VST3_CALL hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
    virtual tresult VST3_CALL getProgramPitchName(ProgramListID listId, int32 programIndex,
                                                  int16 midiPitch, String128 name) = 0;
    virtual UnitID VST3_CALL getSelectedUnit() = 0;
    virtual tresult VST3_CALL selectUnit(UnitID unitId) = 0;
    virtual tresult VST3_CALL getUnitByBus(MediaType type, BusDirection dir, int32 busIndex,
                                           int32 channel, UnitID& unitId) = 0;
    virtual tresult VST3_CALL setUnitProgramData(int32 listOrUnitId, int32 programIndex,
                                                 IBStream* data) = 0;
    static constexpr Uid iid = makeUid(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);
};

// ---- Messages between component and controller --------------------------------

class IAttributeList;

class IMessage : public FUnknown {
public:
    virtual FIDString VST3_CALL getMessageID() = 0;
    virtual void VST3_CALL setMessageID(FIDString id) = 0;
    virtual IAttributeList* VST3_CALL getAttributes() = 0;
    static constexpr Uid iid = makeUid(0x936F033B, 0xC6C047DB, 0xBB0882F8, 0x13C1E613);
};

class IConnectionPoint : public FUnknown {
public:
    virtual tresult VST3_CALL connect(IConnectionPoint* other) = 0;
    virtual tresult VST3_CALL disconnect(IConnectionPoint* other) = 0;
    virtual tresult VST3_CALL notify(IMessage* message) = 0;
    static constexpr Uid iid = makeUid(0x70A4156F, 0x6E6E4026, 0x989148BF, 0xAA60D8D1);
};

// ---- Host application ----------------------------------------------------------

class IHostApplication : public FUnknown {
public:
    virtual tresult VST3_CALL getName(String128 name) = 0;
    virtual tresult VST3_CALL createInstance(TUID cid, TUID wanted, void** obj) = 0;
    static constexpr Uid iid = makeUid(0x58E595CC, 0xDB2D4969, 0x8B6AAF8C, 0x36A664E5);
};

// ---- The module's exports --------------------------------------------------------

// Every platform: the factory, counted once more for the caller, who releases it.
using GetFactoryProc = IPluginFactory*(VST3_CALL*)();
// Linux: called once after loading with the library's handle, and once before
// unloading; a module that answers false to the first is not used.
using ModuleEntryProc = bool (*)(void* sharedLibraryHandle);
using ModuleExitProc = bool (*)();
// Windows: the same without the handle; optional there.
using InitDllProc = bool (*)();
using ExitDllProc = bool (*)();

// ---- Layouts ---------------------------------------------------------------------

// What every host and plug-in of the format agrees on. 64-bit builds align
// 64-bit members to 8 bytes, as do 32-bit Windows builds; 32-bit Linux
// aligns them to 4.
static_assert(sizeof(TUID) == 16, "ids are 16 bytes");
static_assert(sizeof(TChar) == 2, "texts are UTF-16");
static_assert(sizeof(PFactoryInfo) == 452, "PFactoryInfo");
static_assert(sizeof(PClassInfo) == 116, "PClassInfo");
static_assert(offsetof(PClassInfo2, classFlags) == 116 && sizeof(PClassInfo2) == 440,
              "PClassInfo2");
static_assert(offsetof(PClassInfoW, name) == 52 && offsetof(PClassInfoW, classFlags) == 180 &&
                  offsetof(PClassInfoW, vendor) == 312 && sizeof(PClassInfoW) == 696,
              "PClassInfoW");
static_assert(offsetof(BusInfo, name) == 12 && offsetof(BusInfo, busType) == 268 &&
                  sizeof(BusInfo) == 276,
              "BusInfo");
static_assert(sizeof(RoutingInfo) == 12, "RoutingInfo");
static_assert(offsetof(UnitInfo, name) == 8 && offsetof(UnitInfo, programListId) == 264 &&
                  sizeof(UnitInfo) == 268,
              "UnitInfo");
static_assert(offsetof(ProgramListInfo, programCount) == 260 && sizeof(ProgramListInfo) == 264,
              "ProgramListInfo");
static_assert(offsetof(ParameterInfo, stepCount) == 772 &&
                  offsetof(ParameterInfo, defaultNormalizedValue) == 776 &&
                  offsetof(ParameterInfo, unitId) == 784 && sizeof(ParameterInfo) == 792,
              "ParameterInfo");
#if UINTPTR_MAX > 0xFFFFFFFFu
static_assert(offsetof(ProcessSetup, sampleRate) == 16 && sizeof(ProcessSetup) == 24,
              "ProcessSetup, 64-bit");
static_assert(offsetof(AudioBusBuffers, silenceFlags) == 8 &&
                  offsetof(AudioBusBuffers, channelBuffers32) == 16 &&
                  sizeof(AudioBusBuffers) == 24,
              "AudioBusBuffers, 64-bit");
static_assert(offsetof(ProcessData, inputs) == 24 && offsetof(ProcessData, processContext) == 72 &&
                  sizeof(ProcessData) == 80,
              "ProcessData, 64-bit");
#elif defined(_WIN32)
static_assert(offsetof(ProcessSetup, sampleRate) == 16 && sizeof(ProcessSetup) == 24,
              "ProcessSetup, 32-bit Windows");
static_assert(offsetof(AudioBusBuffers, silenceFlags) == 8 &&
                  offsetof(AudioBusBuffers, channelBuffers32) == 16 &&
                  sizeof(AudioBusBuffers) == 24,
              "AudioBusBuffers, 32-bit Windows");
static_assert(offsetof(ProcessData, inputs) == 20 && offsetof(ProcessData, processContext) == 44 &&
                  sizeof(ProcessData) == 48,
              "ProcessData, 32-bit Windows");
#else
static_assert(offsetof(ProcessSetup, sampleRate) == 12 && sizeof(ProcessSetup) == 20,
              "ProcessSetup, 32-bit Linux");
static_assert(offsetof(AudioBusBuffers, silenceFlags) == 4 &&
                  offsetof(AudioBusBuffers, channelBuffers32) == 12 &&
                  sizeof(AudioBusBuffers) == 16,
              "AudioBusBuffers, 32-bit Linux");
static_assert(offsetof(ProcessData, inputs) == 20 && offsetof(ProcessData, processContext) == 44 &&
                  sizeof(ProcessData) == 48,
              "ProcessData, 32-bit Linux");
#endif

}  // namespace vst3
