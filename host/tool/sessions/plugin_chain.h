// A chain of plug-ins as vst2host renders, plots and times it: the words
// "PLUGIN [options] --then PLUGIN2 [options] ...", each plug-in opened with
// options of its own, its inputs wired to what comes before it (and to a
// sidechain), its events and automation ready, and one stage per plug-in
// for the render to pull.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/library/event_feed.h"
#include "host/library/input_routing.h"
#include "host/library/input_then_silence.h"
#include "host/library/offline_renderer.h"
#include "host/library/plugin_stage.h"
#include "host/tool/command_line/option_set.h"
#include "host/tool/audio_files/audio_file.h"
#include "host/tool/sessions/automation_option.h"
#include "host/tool/sessions/plugin_session.h"

// What the command line says of one plug-in of a chain.
struct ChainLink {
    std::string path;
    PluginSettings settings;
    std::vector<AutomationRequest> automation;  // --automate
    std::string sidechainPath;                  // --sidechain FILE
    std::string midiPath;                       // --midi FILE
    std::vector<size_t> outputs;                // --outputs LIST, counted from 0

    // Declares the options of one plug-in, filling these: the settings,
    // --automate, --sidechain, --midi and --outputs.
    void declare(OptionSet& set);
};

// The links of a command line: the first from the command's own words
// (whose first positional, the plug-in, the command fills in), then one
// for the words after each --then, which start with a plug-in. A plug-in's
// options (the settings, --automate, --sidechain, --midi, --outputs) are
// those of the plug-in they follow; any other words go back to the
// command's own. False on a malformed command line.
bool takeChainLinks(ArgumentList& arguments, std::vector<ChainLink>& links, std::string& error);

// The option lines of a command that takes a chain: each plug-in's, then
// the command's own (Choices::declare(OptionSet&)), for its help.
template <class Choices>
std::vector<OptionLine> chainCommandOptions() {
    OptionSet set;
    ChainLink link;
    Choices choices;
    set.heading("options of each plug-in, after it or after its --then:");
    link.declare(set);
    choices.declare(set);
    return set.lines();
}

// How a command runs the chain.
struct ChainUse {
    double sampleRate = 44100.0;
    int32_t largestBlock = 512;
    // The channels that feed the first plug-in, and what they are called in
    // messages; 0 when it is played by events alone.
    size_t inputChannels = 0;
    // Or as many channels as the first plug-in has inputs: an impulse or
    // noise on every input.
    bool feedEveryInput = false;
    std::string inputName;
    std::string refusal;  // "cannot render in.wav", when they cannot
    Transport transport;
    int64_t automationStep = ParameterAutomation::kDefaultStep;
    bool compensateLatency = true;
    bool timed = false;
    // Events for the first plug-in, when the input is a MIDI file.
    bool midiInput = false;
    std::vector<TimedMidiMessage> events;
};

class PluginChain {
public:
    // Opens and prepares every plug-in, as many instances of each as its
    // wiring needs. Null, with the reason, when any cannot be used so.
    static std::unique_ptr<PluginChain> open(const std::vector<ChainLink>& links, const ChainUse& use,
                                             const ToolOptions& options, std::string& error);
    PluginChain(const PluginChain&) = delete;
    PluginChain& operator=(const PluginChain&) = delete;

    // Builds the stages on the input (anew, when called again); the last
    // one's stream is where a render pulls from.
    AudioStream& connect(AudioStream& input);
    // Announces a block size, no larger than the one the chain was opened
    // for, to every plug-in while they are switched off.
    void setBlockSize(int32_t frames);
    // False, saying why, when a plug-in refuses to start.
    bool start(std::string& error);
    void stop();

    // The channels the input must have.
    size_t inputChannels() const { return fedChannels; }
    size_t size() const { return links.size(); }
    PluginStage& stage(size_t link) { return *links[link]->stage; }
    const std::string& name(size_t link) const { return links[link]->name; }
    const std::string& path(size_t link) const { return links[link]->path; }
    size_t outputChannels() const { return links.back()->outputs; }
    // "A, then B" for the whole chain.
    std::string displayName() const;
    // The delays taken out, added up, and the longest one reported.
    size_t latency() const;
    int32_t longestReportedLatency() const;
    // While started: how long the chain rings on after its input, where
    // every plug-in says (their tails added up).
    TailReport tail();

private:
    struct Link {
        std::string path, name;
        std::vector<std::unique_ptr<HostedPlugin>> sessions;
        InputRouting routing;
        StageOptions options;
        std::unique_ptr<AudioFileReader> sidechainFile;
        std::unique_ptr<InputThenSilence> sidechain;
        std::unique_ptr<EventFeed> events;
        size_t outputs = 0;
        std::unique_ptr<PluginStage> stage;
    };
    PluginChain() = default;
    bool openLink(const ChainLink& link, size_t number, size_t channels, const ChainUse& use,
                  const ToolOptions& options, std::string& error);
    static bool openSidechain(Link& link, const std::string& path, double sampleRate,
                              std::string& error);
    // The plug-in's events: those given and those of the MIDI file, if any.
    static bool prepareEvents(Link& link, std::vector<TimedMidiMessage> events,
                              const std::string& midiPath, double sampleRate, std::string& error);

    std::vector<std::unique_ptr<Link>> links;
    int32_t largestBlock = 512;
    size_t fedChannels = 0;
};

// The tail a render of the started chain gets: the one asked for, except
// that an automatic tail is exactly as long as the chain's where every
// plug-in of it says how long it rings (as a CLAP plug-in may), and one
// that never ends stays automatic.
TailLength tailOf(PluginChain& chain, const TailLength& asked, double sampleRate);
