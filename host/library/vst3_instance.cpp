#include "host/library/vst3_instance.h"

#include <cstring>

namespace {

template <typename Interface>
Interface* ask(vst3::FUnknown* object) {
    void* found = nullptr;
    if (!object || object->queryInterface(Interface::iid.bytes, &found) != vst3::kResultOk)
        return nullptr;
    return static_cast<Interface*>(found);
}

template <typename Interface>
void drop(Interface*& object) {
    if (object) object->release();
    object = nullptr;
}

// The id of the module's first audio effect class.
bool firstEffectClass(vst3::IPluginFactory* factory, vst3::TUID id) {
    const vst3::int32 count = factory->countClasses();
    for (vst3::int32 i = 0; i < count; ++i) {
        vst3::PClassInfo info;
        std::memset(&info, 0, sizeof info);
        if (factory->getClassInfo(i, &info) != vst3::kResultOk) continue;
        if (std::strncmp(info.category, vst3::kAudioEffectClass, sizeof info.category) == 0) {
            std::memcpy(id, info.cid, sizeof info.cid);
            return true;
        }
    }
    return false;
}

}  // namespace

std::unique_ptr<Vst3Instance> Vst3Instance::create(const Vst3Module& module, std::string& error,
                                                   const char* classId) {
    vst3::IPluginFactory* factory = module.factory();
    if (!factory) {
        error = "no module loaded";
        return nullptr;
    }
    vst3::TUID id;
    if (classId) {
        std::memcpy(id, classId, sizeof id);
    } else if (!firstEffectClass(factory, id)) {
        error = module.path() + " offers no audio effect class";
        return nullptr;
    }
    std::unique_ptr<Vst3Instance> instance(new Vst3Instance);
    Vst3Instance& it = *instance;
    void* made = nullptr;
    if (factory->createInstance(id, vst3::IComponent::iid.bytes, &made) != vst3::kResultOk ||
        !made) {
        error = module.path() + ": its factory made no component";
        return nullptr;
    }
    it.componentInterface = static_cast<vst3::IComponent*>(made);
    if (it.componentInterface->initialize(&it.hostApplication) != vst3::kResultOk) {
        error = module.path() + ": its component refused to initialise";
        drop(it.componentInterface);
        return nullptr;
    }
    it.processorInterface = ask<vst3::IAudioProcessor>(it.componentInterface);
    if (!it.processorInterface) {
        error = module.path() + ": its component has no audio processor";
        return nullptr;
    }

    // The controller: the component's own, else one made from the class it
    // names, initialised and connected to it.
    it.controllerInterface = ask<vst3::IEditController>(it.componentInterface);
    it.controllerShared = it.controllerInterface != nullptr;
    if (!it.controllerInterface) {
        vst3::TUID controllerId;
        void* controller = nullptr;
        if (it.componentInterface->getControllerClassId(controllerId) == vst3::kResultOk &&
            factory->createInstance(controllerId, vst3::IEditController::iid.bytes, &controller) ==
                vst3::kResultOk &&
            controller) {
            it.controllerInterface = static_cast<vst3::IEditController*>(controller);
            if (it.controllerInterface->initialize(&it.hostApplication) != vst3::kResultOk)
                drop(it.controllerInterface);
        }
        if (it.controllerInterface) {
            it.componentPoint = ask<vst3::IConnectionPoint>(it.componentInterface);
            it.controllerPoint = ask<vst3::IConnectionPoint>(it.controllerInterface);
            if (it.componentPoint && it.controllerPoint) {
                it.componentPoint->connect(it.controllerPoint);
                it.controllerPoint->connect(it.componentPoint);
            }
        }
    }
    if (it.controllerInterface) {
        it.controllerInterface->setComponentHandler(&it.handler);
        std::vector<uint8_t> state;
        if (it.saveState(state)) {
            Vst3MemoryStream stream(std::move(state));
            it.controllerInterface->setComponentState(&stream);
        }
    }
    return instance;
}

Vst3Instance::~Vst3Instance() {
    deactivate();
    if (componentPoint && controllerPoint) {
        componentPoint->disconnect(controllerPoint);
        controllerPoint->disconnect(componentPoint);
    }
    drop(componentPoint);
    drop(controllerPoint);
    if (controllerInterface && !controllerShared) controllerInterface->terminate();
    drop(controllerInterface);
    drop(processorInterface);
    if (componentInterface) componentInterface->terminate();
    drop(componentInterface);
}

int32_t Vst3Instance::channels(vst3::BusDirection direction) {
    if (componentInterface->getBusCount(vst3::kAudio, direction) < 1) return 0;
    vst3::BusInfo info;
    std::memset(&info, 0, sizeof info);
    if (componentInterface->getBusInfo(vst3::kAudio, direction, 0, info) != vst3::kResultOk)
        return 0;
    return info.channelCount;
}

bool Vst3Instance::activate(double rate, int32_t largestBlock, std::string& error, int32_t mode,
                            bool startProcessing) {
    if (isActive) return true;
    vst3::ProcessSetup setup{mode, vst3::kSample32, largestBlock, rate};
    if (processorInterface->setupProcessing(setup) != vst3::kResultOk) {
        error = "the plug-in refuses to process 32-bit samples at " + std::to_string(rate) + " Hz";
        return false;
    }
    for (vst3::BusDirection dir : {vst3::kInput, vst3::kOutput}) {
        const vst3::int32 buses = componentInterface->getBusCount(vst3::kAudio, dir);
        for (vst3::int32 bus = 0; bus < buses; ++bus)
            componentInterface->activateBus(vst3::kAudio, dir, bus, 1);
    }
    if (componentInterface->setActive(1) != vst3::kResultOk) {
        error = "the plug-in refuses to be switched on";
        return false;
    }
    processMode = mode;
    isActive = true;
    if (startProcessing) setProcessing(true);
    return true;
}

void Vst3Instance::setProcessing(bool on) {
    if (on == isProcessing || (on && !isActive)) return;
    processorInterface->setProcessing(on ? 1 : 0);
    isProcessing = on;
}

void Vst3Instance::deactivate() {
    if (!isActive) return;
    setProcessing(false);
    componentInterface->setActive(0);
    isActive = false;
}

vst3::tresult Vst3Instance::process(float* const* inputs, int32_t inputCount,
                                    float* const* outputs, int32_t outputCount, int32_t frames,
                                    vst3::IParameterChanges* changes) {
    vst3::AudioBusBuffers in{};
    in.numChannels = inputCount;
    in.channelBuffers32 = const_cast<float**>(inputs);
    vst3::AudioBusBuffers out{};
    out.numChannels = outputCount;
    out.channelBuffers32 = const_cast<float**>(outputs);
    vst3::ProcessData data{};
    data.processMode = processMode;
    data.symbolicSampleSize = vst3::kSample32;
    data.numSamples = frames;
    data.numInputs = inputCount > 0 ? 1 : 0;
    data.numOutputs = outputCount > 0 ? 1 : 0;
    data.inputs = inputCount > 0 ? &in : nullptr;
    data.outputs = outputCount > 0 ? &out : nullptr;
    data.inputParameterChanges = changes;
    return processorInterface->process(data);
}

bool Vst3Instance::saveState(std::vector<uint8_t>& bytes) {
    Vst3MemoryStream stream;
    if (componentInterface->getState(&stream) != vst3::kResultOk) return false;
    bytes = stream.contents();
    return true;
}

bool Vst3Instance::loadState(const std::vector<uint8_t>& bytes) {
    Vst3MemoryStream stream(bytes);
    if (componentInterface->setState(&stream) != vst3::kResultOk) return false;
    if (controllerInterface) {
        stream.rewind();
        controllerInterface->setComponentState(&stream);
    }
    return true;
}
