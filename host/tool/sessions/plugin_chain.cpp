#include "host/tool/sessions/plugin_chain.h"

#include <algorithm>
#include <cmath>

#include "host/tool/midi/midi_file.h"
#include "host/tool/command_line/number_text.h"
#include "host/tool/command_line/tool_options.h"
#include "host/tool/reports/wording.h"

namespace {
std::string channels(size_t count) { return counted(count, "channel"); }

// "1,3-4" counted from 1, as outputs are named, into indices from 0.
bool parseOutputList(const std::string& text, std::vector<size_t>& outputs, std::string& error) {
    outputs.clear();
    for (const std::string& part : splitList(text)) {
        const size_t dash = part.find('-', 1);
        int64_t first = 0, last = 0;
        const bool range = dash != std::string::npos;
        if (!parseWholeNumber(range ? part.substr(0, dash) : part, first) ||
            (range && !parseWholeNumber(part.substr(dash + 1), last)))
            first = 0;
        if (!range) last = first;
        if (first < 1 || last < first || last > 4096) {
            error = "--outputs needs output numbers from 1, such as 1,2 or 3-6, not '" + text + "'";
            return false;
        }
        for (int64_t output = first; output <= last; ++output)
            outputs.push_back(static_cast<size_t>(output - 1));
    }
    return true;
}

// Automation holds its parameter from the start: a --set of it, or a second
// --automate, would do nothing, and is refused rather than ignored.
bool checkNothingIsLost(HostedPlugin& plugin, const ChainLink& link,
                        const std::vector<ParameterRamp>& ramps, std::string& error) {
    for (size_t r = 0; r < ramps.size(); ++r) {
        const std::string name = "'" + plugin.parameterName(ramps[r].parameter) + "'";
        for (size_t earlier = 0; earlier < r; ++earlier) {
            if (ramps[earlier].parameter != ramps[r].parameter) continue;
            error = "--automate moves " + name + " twice: give all its points in one --automate";
            return false;
        }
        for (const ParameterAssignment& assignment : link.settings.assignments) {
            std::string ignored;
            if (findParameter(plugin, assignment.parameter, ignored) != ramps[r].parameter) continue;
            error = "--set " + name + " would do nothing: --automate sets it from the start "
                    "(its first point holds until then)";
            return false;
        }
    }
    return true;
}

bool checkTakesEvents(HostedPlugin& plugin, const std::string& name, std::string& error) {
    switch (plugin.midiInput()) {
        case HostedPlugin::MidiInput::Refused:
            error = name + " says it cannot receive MIDI events";
            return false;
        case HostedPlugin::MidiInput::Unsaid:
            warning(name + " does not say that it receives MIDI events; it may ignore them");
            return true;
        case HostedPlugin::MidiInput::Taken:
            break;
    }
    return true;
}
}  // namespace

void ChainLink::declare(OptionSet& set) {
    settings.declare(set);
    set.value("--automate", "NAME=T:V,T:V,...",
              "move a parameter in straight lines through values V\n"
              "(as for --set, @ too) at times T in seconds",
              [this](const std::string& text, std::string& error) {
                  AutomationRequest request;
                  if (!parseAutomationRequest(text, request, error)) return false;
                  automation.push_back(request);
                  return true;
              });
    set.text("--sidechain", "FILE", "feeds the last half of the plug-in's inputs", sidechainPath);
    set.text("--midi", "FILE", "MIDI events for the plug-in (an effect that takes them)", midiPath);
    set.value("--outputs", "LIST", "the outputs passed on or written, from 1: 1,2 or 3-6",
              [this](const std::string& text, std::string& error) {
                  return parseOutputList(text, outputs, error);
              });
}

bool takeChainLinks(ArgumentList& arguments, std::vector<ChainLink>& links, std::string& error) {
    std::vector<ArgumentList> groups = arguments.takeGroups("--then");
    links.clear();
    ChainLink first;
    OptionSet firstOptions;
    first.declare(firstOptions);
    if (!firstOptions.take(arguments, error)) return false;
    links.push_back(first);
    for (ArgumentList& group : groups) {
        ChainLink link;
        if (!group.takeFirst(link.path)) {
            error = "--then needs a plug-in before its options";
            return false;
        }
        OptionSet options;
        link.declare(options);
        if (!options.take(group, error)) return false;
        // What is left belongs to the whole command, wherever it stands.
        arguments.append(group);
        links.push_back(link);
    }
    return true;
}

std::unique_ptr<PluginChain> PluginChain::open(const std::vector<ChainLink>& links,
                                               const ChainUse& use, const ToolOptions& options,
                                               std::string& error) {
    std::unique_ptr<PluginChain> chain(new PluginChain);
    chain->largestBlock = use.largestBlock;
    chain->fedChannels = use.inputChannels;
    size_t channelCount = use.inputChannels;
    for (size_t k = 0; k < links.size(); ++k) {
        if (!chain->openLink(links[k], k, channelCount, use, options, error)) return nullptr;
        channelCount = chain->links.back()->outputs;
    }
    return chain;
}

bool PluginChain::openLink(const ChainLink& given, size_t number, size_t channelCount,
                           const ChainUse& use, const ToolOptions& options, std::string& error) {
    auto link = std::make_unique<Link>();
    link->path = given.path;
    PluginUse pluginUse;
    pluginUse.sampleRate = use.sampleRate;
    pluginUse.largestBlock = use.largestBlock;
    pluginUse.needsOutputs = true;
    pluginUse.transport = use.transport;
    for (const AutomationRequest& request : given.automation)
        if (hasDisplayedValues(request)) pluginUse.displayedParameters.push_back(request.parameter);
    ParameterDefaults defaults;
    const auto openOne = [&]() {
        link->sessions.push_back(openPreparedPlugin(given.path, given.settings, pluginUse, options, error,
                                                    link->sessions.empty() ? &defaults : nullptr));
        return link->sessions.back() != nullptr;
    };
    if (!openOne()) return false;
    HostedPlugin& first = *link->sessions[0];
    link->name = first.name();
    if (!given.sidechainPath.empty() && !openSidechain(*link, given.sidechainPath, use.sampleRate, error))
        return false;
    const size_t sidechainChannels = link->sidechain ? link->sidechain->channelCount() : 0;
    if (number == 0 && use.feedEveryInput) {
        if (first.inputCount() <= 0) {
            error = use.refusal + ": " + link->name + " takes no audio input";
            return false;
        }
        channelCount = fedChannels = static_cast<size_t>(first.inputCount());
        if (sidechainChannels > 0) channelCount = fedChannels -= fedChannels / 2;
    }
    if (!planInputs(channelCount, sidechainChannels, first.inputCount(), link->routing, error)) {
        error = (links.empty() ? use.refusal
                               : "cannot feed " + link->name + " what " + links.back()->name + " gives") +
                ": " + error;
        return false;
    }
    if (!link->routing.silentInputs.empty())
        warning((links.empty() ? use.inputName + " has " : links.back()->name + " gives ") +
                channels(channelCount) +
                (sidechainChannels ? " and the sidechain " + channels(sidechainChannels) : "") +
                " for the " + std::to_string(first.inputCount()) + " inputs of " + link->name + ": " +
                link->routing.silentInputs);
    while (link->sessions.size() < link->routing.instances) {
        if (!openOne()) return false;
        HostedPlugin& more = *link->sessions.back();
        if (more.inputCount() != first.inputCount() || more.outputCount() != first.outputCount()) {
            error = "the instances of " + link->name + " differ in their channels";
            return false;
        }
    }

    if (((number == 0 && use.midiInput) || !given.midiPath.empty()) &&
        !prepareEvents(*link, number == 0 ? use.events : std::vector<TimedMidiMessage>(),
                       given.midiPath, use.sampleRate, error))
        return false;

    StageOptions& stage = link->options;
    stage.compensateLatency = use.compensateLatency;
    stage.sidechain = link->sidechain.get();
    stage.events = link->events.get();
    stage.timed = use.timed;
    stage.automation.step = use.automationStep;
    for (const AutomationRequest& request : given.automation) {
        ParameterRamp ramp;
        if (!resolveAutomation(first, request, use.sampleRate, defaults, ramp, error)) return false;
        stage.automation.ramps.push_back(ramp);
    }
    if (!checkNothingIsLost(first, given, stage.automation.ramps, error)) return false;
    const size_t all = link->routing.instances * static_cast<size_t>(first.outputCount());
    for (size_t output : given.outputs) {
        if (output >= all) {
            error = "there is no output " + std::to_string(output + 1) + ": " + link->name +
                    " gives " + std::to_string(all);
            return false;
        }
    }
    stage.outputs = given.outputs;
    link->outputs = given.outputs.empty() ? all : given.outputs.size();
    links.push_back(std::move(link));
    return true;
}

bool PluginChain::openSidechain(Link& link, const std::string& path, double sampleRate,
                                std::string& error) {
    link.sidechainFile = std::make_unique<AudioFileReader>();
    if (!link.sidechainFile->open(path, error)) return false;
    if (link.sidechainFile->sampleRate() != sampleRate) {
        error = "the sidechain " + path + " runs at " +
                std::to_string(std::lround(link.sidechainFile->sampleRate())) + " Hz, the render at " +
                std::to_string(std::lround(sampleRate)) + " Hz";
        return false;
    }
    link.sidechain = std::make_unique<InputThenSilence>(*link.sidechainFile);
    return true;
}

bool PluginChain::prepareEvents(Link& link, std::vector<TimedMidiMessage> events,
                                const std::string& midiPath, double sampleRate, std::string& error) {
    if (!midiPath.empty()) {
        MidiSong song;
        if (!readMidiFile(midiPath, song, error)) return false;
        const std::vector<TimedMidiMessage> more = song.framesAt(sampleRate);
        events.insert(events.end(), more.begin(), more.end());
    }
    if (!checkTakesEvents(*link.sessions[0], link.name, error)) return false;
    link.events = std::make_unique<EventFeed>(std::move(events));
    return true;
}

AudioStream& PluginChain::connect(AudioStream& input) {
    AudioStream* upstream = &input;
    for (auto& link : links) {
        std::vector<HostedPlugin*> instances;
        for (auto& session : link->sessions) instances.push_back(session.get());
        link->stage = std::make_unique<PluginStage>(instances, link->routing, *upstream,
                                                    static_cast<size_t>(largestBlock), link->options);
        upstream = link->stage.get();
    }
    return *upstream;
}

void PluginChain::setBlockSize(int32_t frames) {
    for (auto& link : links)
        for (auto& session : link->sessions) session->setLargestBlock(frames);
}

bool PluginChain::start(std::string& error) {
    for (auto& link : links)
        if (!link->stage->start(error)) return false;
    return true;
}

TailReport PluginChain::tail() {
    TailReport total;
    total.kind = TailReport::Kind::Frames;
    for (auto& link : links) {
        const TailReport t = link->stage->tail();
        if (t.kind != TailReport::Kind::Frames) return t;
        total.frames += t.frames;
    }
    return total;
}

void PluginChain::stop() {
    for (auto& link : links) link->stage->stop();
}

std::string PluginChain::displayName() const {
    std::string text;
    for (const auto& link : links) text += (text.empty() ? "" : ", then ") + link->name;
    return text;
}

size_t PluginChain::latency() const {
    size_t total = 0;
    for (const auto& link : links) total += link->stage ? link->stage->latency() : 0;
    return total;
}

int32_t PluginChain::longestReportedLatency() const {
    int32_t longest = 0;
    for (const auto& link : links)
        if (link->stage) longest = std::max(longest, link->stage->longestReportedLatency());
    return longest;
}

TailLength tailOf(PluginChain& chain, const TailLength& asked, double sampleRate) {
    if (!asked.automatic) return asked;
    const TailReport said = chain.tail();
    if (said.kind != TailReport::Kind::Frames) return asked;
    // Half a frame more, so that the renderer's count of frames in it,
    // rounded down, is exactly the plug-ins'.
    return TailLength::fixed((static_cast<double>(said.frames) + 0.5) / sampleRate);
}
