// One instance of a VST3 plug-in as a host holds it: its component with the
// audio processor, and the edit controller, asked of the component or made
// from the class it names, initialised, connected and given the component's
// state, as hosts do. Released, in the order hosts release them, when it
// goes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/library/vst3_host_objects.h"
#include "host/library/vst3_module.h"
#include "vst3/vst3_interface.h"

class Vst3Instance {
public:
    // Makes an instance of the module's first audio effect class, or of the
    // class with the given id. Null, saying why, on failure.
    static std::unique_ptr<Vst3Instance> create(const Vst3Module& module, std::string& error,
                                                const char* classId = nullptr);
    ~Vst3Instance();
    Vst3Instance(const Vst3Instance&) = delete;
    Vst3Instance& operator=(const Vst3Instance&) = delete;

    vst3::IComponent* component() const { return componentInterface; }
    vst3::IAudioProcessor* processor() const { return processorInterface; }
    vst3::IEditController* controller() const { return controllerInterface; }
    // Whether the controller is the one the component itself gave.
    bool controllerFromComponent() const { return controllerShared; }

    // The channels of the first audio bus of a direction, 0 without one.
    int32_t channels(vst3::BusDirection direction);

    // setupProcessing (32-bit samples), every audio bus switched on,
    // setActive and, unless told not to, setProcessing. False, saying why,
    // when the plug-in refuses.
    bool activate(double rate, int32_t largestBlock, std::string& error,
                  int32_t mode = vst3::kOffline, bool startProcessing = true);
    void deactivate();
    bool active() const { return isActive; }
    void setProcessing(bool on);
    // The restarts the controller asked the host for since the last call.
    int32_t takeRestart() { return handler.takeRestart(); }

    // One block on the first bus of each direction; any changes travel with it.
    vst3::tresult process(float* const* inputs, int32_t inputCount, float* const* outputs,
                          int32_t outputCount, int32_t frames,
                          vst3::IParameterChanges* changes = nullptr);

    // The component's state, and a state into the component and then its
    // controller, as a host loads a project.
    bool saveState(std::vector<uint8_t>& bytes);
    bool loadState(const std::vector<uint8_t>& bytes);

private:
    Vst3Instance() = default;

    Vst3HostApplication hostApplication;
    Vst3ComponentHandler handler;
    vst3::IComponent* componentInterface = nullptr;
    vst3::IAudioProcessor* processorInterface = nullptr;
    vst3::IEditController* controllerInterface = nullptr;
    vst3::IConnectionPoint* componentPoint = nullptr;
    vst3::IConnectionPoint* controllerPoint = nullptr;
    bool controllerShared = false;
    bool isActive = false;
    bool isProcessing = false;
    int32_t processMode = vst3::kOffline;
};
