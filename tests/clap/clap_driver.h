// Drives the built varnolet.clap as a CLAP host does, through the module's one
// export and the project's declarations of the interface, with the host's
// side (its extensions, event lists and streams) made for tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clap/clap_interface.h"

// The module, loaded once per process and its entry initialised: the one
// named by useClapModule before, else the build's (VARNOLET_CLAP_PATH).
void useClapModule(const std::string& path);
const vclap_plugin_entry_t* clapEntry();
const vclap_plugin_factory_t* clapFactory();

// A parameter's new value from a frame on, as the host's event carries it.
struct ParamChange {
    uint32_t frame;
    uint32_t id;
    double value;
};

// An event list of parameter changes, in the order given.
class EventList {
public:
    explicit EventList(const std::vector<ParamChange>& changes = {});
    // Valid while the list stays where it is.
    const vclap_input_events_t* list() const;

private:
    std::vector<vclap_event_param_value_t> stored;
    mutable vclap_input_events_t events;
};

class ClapPlugin {
public:
    // Made by the factory and initialised; null on failure.
    static std::unique_ptr<ClapPlugin> create();
    ~ClapPlugin();

    const vclap_plugin_t* plugin() const { return instance; }
    const vclap_plugin_params_t* params() const;
    const vclap_plugin_state_t* state() const;
    const vclap_plugin_tail_t* tailExtension() const;

    bool activate(double rate, uint32_t maxFrames = 4096);
    void deactivate();
    // One block of stereo in and out, with the changes as its events.
    vclap_process_status process(const float* inLeft, const float* inRight, float* outLeft,
                                 float* outRight, uint32_t frames,
                                 const std::vector<ParamChange>& changes = {});
    // The same with a list made beforehand: nothing is allocated.
    vclap_process_status process(const float* inLeft, const float* inRight, float* outLeft,
                                 float* outRight, uint32_t frames, const EventList& events);
    void flush(const std::vector<ParamChange>& changes);

    // NaN where the plug-in refuses.
    double value(uint32_t id) const;
    std::string text(uint32_t id, double value) const;
    uint32_t tail() const;
    // How often the plug-in said its tail changed.
    int tailChanges() const { return host.tailChanges; }
    // How often it asked the host to read every value again.
    int valueRescans() const { return host.valueRescans; }

    // Through streams that move at most `step` bytes a call.
    std::vector<uint8_t> save(size_t step = SIZE_MAX) const;
    bool load(const std::vector<uint8_t>& bytes, size_t step = SIZE_MAX);

    // The host's side of one instance: host_data points here.
    struct Host {
        vclap_host_t table;
        vclap_host_tail_t tail;
        int tailChanges = 0;
        vclap_host_params_t params;
        int valueRescans = 0;
    };

private:
    ClapPlugin();

    Host host;
    const vclap_plugin_t* instance = nullptr;
};

// Stereo noise (or any signal) through a plug-in in blocks of the sizes
// given in turn, with each block's changes.
struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(size_t frames = 0) : left(frames), right(frames) {}
    size_t frames() const { return left.size(); }
};
Stereo noise(size_t frames, uint32_t seed, float amplitude = 0.5f);

// Equal to the bit, -0 and 0 told apart.
bool sameBits(const std::vector<float>& a, const std::vector<float>& b);
bool sameBits(const Stereo& a, const Stereo& b);
