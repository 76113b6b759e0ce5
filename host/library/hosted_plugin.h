// One plug-in instance as the host library holds it, whatever its format:
// what it is, how many channels it takes and gives, its parameters (by
// index, values normalised 0..1 over each parameter's range), its programs
// where the format has them, its delay and tail, and the calls of its life:
// activate with the rate and largest block it was opened for, start and
// stop processing, process blocks, deactivate. Everything else of the host
// (chains, renders, reports) speaks to this and to nothing of a format.
//
// Calls come from one thread. A format that separates a main thread from an
// audio thread is told that process, startProcessing and stopProcessing
// come from its audio thread and everything else from its main thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/library/event_feed.h"
#include "host/library/plugin_report.h"

// A parameter's new value from a frame of the block on.
struct ParameterChange {
    uint32_t frame = 0;
    int32_t index = 0;
    float value = 0.0f;  // normalised
};

// One block for the plug-in: its channels, port after port, as many as
// inputCount() and outputCount() say, and what happens during it.
struct ProcessCall {
    float* const* inputs = nullptr;
    float* const* outputs = nullptr;
    uint32_t frames = 0;
    // Where the block starts, in frames from the start of the render.
    int64_t start = 0;
    // In order of frame; only for a plug-in that takesChangesWithinBlock(),
    // any other has its parameters set before the block.
    const ParameterChange* changes = nullptr;
    size_t changeCount = 0;
    // MIDI messages of the block, frames from the start of the render; one
    // before the block's start counts at its first frame.
    const TimedMidiMessage* messages = nullptr;
    size_t messageCount = 0;
};

// How long a plug-in rings after its input ends, where the format says.
struct TailReport {
    enum class Kind { Unknown, Frames, Infinite };
    Kind kind = Kind::Unknown;
    size_t frames = 0;
};

class HostedPlugin {
public:
    enum class MidiInput { Refused, Unsaid, Taken };

    virtual ~HostedPlugin() = default;

    // ---- What it is
    // "VST 2.4", "CLAP": for messages.
    virtual const char* formatName() const = 0;
    virtual const std::string& path() const = 0;
    // What a user calls it: the product's name, else the plug-in's, else
    // the file's.
    virtual std::string name() = 0;
    // Everything a host can ask; the plug-in is left as it was.
    virtual PluginReport describe() = 0;

    // ---- Its layout
    virtual int32_t inputCount() = 0;
    virtual int32_t outputCount() = 0;
    virtual MidiInput midiInput() = 0;

    // ---- Parameters
    virtual int32_t parameterCount() = 0;
    virtual std::string parameterName(int32_t index) = 0;
    // The unit shown beside the value; empty where the format puts it
    // into the display.
    virtual std::string parameterLabel(int32_t index) = 0;
    virtual std::string parameterDisplay(int32_t index) = 0;
    virtual float parameterValue(int32_t index) = 0;
    // Between blocks; a value for during a block travels in its ProcessCall.
    virtual void setParameterValue(int32_t index, float value) = 0;
    // The value whose display the text is, as the plug-in itself reads
    // it; false where the format has no such question or the plug-in
    // cannot read the text.
    virtual bool parameterValueOfText(int32_t index, const std::string& text, float& value) {
        (void)index;
        (void)text;
        (void)value;
        return false;
    }

    // ---- Programs and presets, where the format has them
    virtual int32_t programCount() { return 0; }
    virtual void selectProgram(int32_t program) { (void)program; }
    // A preset file's bytes into the plug-in; false, saying why, for one
    // it cannot take (or a format that has none).
    virtual bool loadPreset(const std::vector<uint8_t>& bytes, const std::string& name,
                            std::string& error);
    // The current program, or every program, as a preset file's bytes.
    virtual bool savePreset(bool bank, std::vector<uint8_t>& bytes, std::string& error);

    // ---- Its life
    // The largest block it will be given from the next activation on.
    virtual void setLargestBlock(int32_t frames) = 0;
    // False, saying why, when the plug-in refuses.
    virtual bool activate(std::string& error) = 0;
    virtual void deactivate() = 0;
    virtual bool startProcessing(std::string& error) = 0;
    virtual void stopProcessing() = 0;
    // True when parameter changes may fall anywhere in a block; else the
    // host splits blocks where values change.
    virtual bool takesChangesWithinBlock() const = 0;
    virtual void process(const ProcessCall& call) = 0;
    // Serves what the plug-in asked for during the last block (a restart,
    // a call on its main thread). True when its delay may have changed.
    virtual bool afterBlock() = 0;

    // The frames its output lags its input by, as it reports them now.
    virtual int32_t latency() = 0;
    virtual TailReport tail() = 0;

protected:
    // The facts every format reports alike: the channels in and out, the
    // delay and the tail, as the plug-in gives them now.
    void addChannelsLatencyAndTail(PluginReport& report);
};
