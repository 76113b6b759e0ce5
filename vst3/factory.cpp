// The module's factory and its exported functions: the one way in for a host.
#include <cstdio>
#include <cstring>
#include <new>

#include "core/effect_identity.h"
#include "vst3/class_ids.h"
#include "vst3/component.h"
#include "vst3/controller.h"
#include "vst3/utf16_text.h"

namespace varnolet_vst3 {

namespace {

constexpr const char* kSubCategories = "Fx|Delay";
// The component and the controller talk only through the host, so they may
// run apart.
constexpr vst3::uint32 kDistributable = 1u << 0;

struct ClassFacts {
    const vst3::Uid* id;
    const char* category;
    const char* name;
    vst3::uint32 flags;
    const char* subCategories;
};

const ClassFacts kClasses[] = {
    {&kComponentClassId, vst3::kAudioEffectClass, varnolet::kProductName, kDistributable,
     kSubCategories},
    {&kControllerClassId, vst3::kComponentControllerClass, varnolet::kProductName, 0, ""},
};
constexpr vst3::int32 kNumClasses = 2;

void copyText(char* field, size_t size, const char* text) {
    std::snprintf(field, size, "%s", text);
}

// The fields every kind of class record shares, the record cleared first;
// null for an index of no class.
template <typename Record>
const ClassFacts* describe(vst3::int32 index, Record* info) {
    if (!info || index < 0 || index >= kNumClasses) return nullptr;
    const ClassFacts& c = kClasses[index];
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->cid, c.id->bytes, sizeof info->cid);
    info->cardinality = vst3::PClassInfo::kManyInstances;
    copyText(info->category, sizeof info->category, c.category);
    return &c;
}

// One factory for the whole module, living as long as it is loaded: hosts
// count it like any object, but it is never deleted.
class Factory final : public vst3::IPluginFactory3 {
public:
    vst3::tresult VST3_CALL queryInterface(const vst3::TUID wanted, void** obj) override {
        if (!obj) return vst3::kInvalidArgument;
        if (vst3::FUnknown::iid.matches(wanted) || vst3::IPluginFactory::iid.matches(wanted) ||
            vst3::IPluginFactory2::iid.matches(wanted) || vst3::IPluginFactory3::iid.matches(wanted)) {
            *obj = static_cast<vst3::IPluginFactory3*>(this);
            return vst3::kResultOk;
        }
        *obj = nullptr;
        return vst3::kNoInterface;
    }
    vst3::uint32 VST3_CALL addRef() override { return 1; }
    vst3::uint32 VST3_CALL release() override { return 1; }

    vst3::tresult VST3_CALL getFactoryInfo(vst3::PFactoryInfo* info) override {
        if (!info) return vst3::kInvalidArgument;
        std::memset(info, 0, sizeof *info);
        copyText(info->vendor, sizeof info->vendor, varnolet::kVendorName);
        info->flags = vst3::PFactoryInfo::kUnicode;
        return vst3::kResultOk;
    }

    vst3::int32 VST3_CALL countClasses() override { return kNumClasses; }

    vst3::tresult VST3_CALL getClassInfo(vst3::int32 index, vst3::PClassInfo* info) override {
        const ClassFacts* c = describe(index, info);
        if (!c) return vst3::kInvalidArgument;
        copyText(info->name, sizeof info->name, c->name);
        return vst3::kResultOk;
    }

    vst3::tresult VST3_CALL getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info) override {
        const ClassFacts* c = describe(index, info);
        if (!c) return vst3::kInvalidArgument;
        copyText(info->name, sizeof info->name, c->name);
        info->classFlags = c->flags;
        copyText(info->subCategories, sizeof info->subCategories, c->subCategories);
        copyText(info->vendor, sizeof info->vendor, varnolet::kVendorName);
        copyText(info->version, sizeof info->version, varnolet::kVersion);
        copyText(info->sdkVersion, sizeof info->sdkVersion, vst3::kSdkVersionString);
        return vst3::kResultOk;
    }

    vst3::tresult VST3_CALL getClassInfoUnicode(vst3::int32 index,
                                                vst3::PClassInfoW* info) override {
        const ClassFacts* c = describe(index, info);
        if (!c) return vst3::kInvalidArgument;
        toUtf16(c->name, info->name, vst3::PClassInfo::kNameSize);
        info->classFlags = c->flags;
        copyText(info->subCategories, sizeof info->subCategories, c->subCategories);
        toUtf16(varnolet::kVendorName, info->vendor, vst3::PClassInfoW::kVendorSize);
        toUtf16(varnolet::kVersion, info->version, vst3::PClassInfoW::kVersionSize);
        toUtf16(vst3::kSdkVersionString, info->sdkVersion, vst3::PClassInfoW::kVersionSize);
        return vst3::kResultOk;
    }

    vst3::tresult VST3_CALL setHostContext(vst3::FUnknown*) override { return vst3::kResultOk; }

    vst3::tresult VST3_CALL createInstance(vst3::FIDString cid, vst3::FIDString wanted,
                                           void** obj) override {
        if (!obj) return vst3::kInvalidArgument;
        *obj = nullptr;
        if (!cid || !wanted) return vst3::kInvalidArgument;
        vst3::FUnknown* made = nullptr;
        if (kComponentClassId.matches(cid)) {
            made = static_cast<vst3::IComponent*>(new (std::nothrow) Component);
        } else if (kControllerClassId.matches(cid)) {
            made = static_cast<vst3::IEditController*>(new (std::nothrow) Controller);
        } else {
            return vst3::kNoInterface;
        }
        if (!made) return vst3::kOutOfMemory;
        // The interface asked for holds the caller's reference; the one the
        // object was made with goes.
        const vst3::tresult result = made->queryInterface(wanted, obj);
        made->release();
        return result;
    }
};

Factory factory;

}  // namespace

}  // namespace varnolet_vst3

// The exports are plain C functions of no arguments but ModuleEntry's: for
// those the format's calling convention and the default one are the same
// call, and the plain one leaves their names undecorated on 32-bit Windows.
#if defined(_WIN32)
#define VARNOLET_EXPORT extern "C"
#else
#define VARNOLET_EXPORT extern "C" __attribute__((visibility("default")))
#endif

VARNOLET_EXPORT vst3::IPluginFactory* GetPluginFactory() {
    varnolet_vst3::factory.addRef();
    return &varnolet_vst3::factory;
}

// Nothing is set up on loading nor torn down before unloading: the factory
// and the effect's tables are static, and each instance owns the rest.
#if defined(_WIN32)
VARNOLET_EXPORT bool InitDll() { return true; }
VARNOLET_EXPORT bool ExitDll() { return true; }
#else
VARNOLET_EXPORT bool ModuleEntry(void*) { return true; }
VARNOLET_EXPORT bool ModuleExit() { return true; }
#endif
