#include "host/tool/plugin_chain.h"

#include <algorithm>
#include <cmath>

#include "host/tool/midi_file.h"
#include "host/tool/number_text.h"
#include "host/tool/tool_options.h"

namespace {
std::string channels(size_t count) {
    return std::to_string(count) + " channel" + (count == 1 ? "" : "s");
}

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

bool ChainLink::take(ArgumentList& arguments, std::string& error) {
    if (!settings.take(arguments, error)) return false;
    for (const std::string& text : arguments.values("--automate")) {
        AutomationRequest request;
        if (!parseAutomationRequest(text, request, error)) return false;
        automation.push_back(request);
    }
    arguments.value("--sidechain", sidechainPath);
    arguments.value("--midi", midiPath);
    std::string text;
    return !arguments.value("--outputs", text) || parseOutputList(text, outputs, error);
}

bool takeChainLinks(ArgumentList& arguments, std::vector<ChainLink>& links, std::string& error) {
    std::vector<ArgumentList> groups = arguments.takeGroups("--then");
    links.assign(1, ChainLink());
    if (!links[0].take(arguments, error)) return false;
    for (ArgumentList& group : groups) {
        ChainLink link;
        if (!group.takeFirst(link.path)) {
            error = "--then needs a plug-in before its options";
            return false;
        }
        if (!link.take(group, error)) return false;
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
    const auto openOne = [&]() {
        link->sessions.push_back(openPreparedPlugin(given.path, given.settings, pluginUse, options, error));
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
            error = use.refusal + ": the plug-in takes no audio input";
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
        if (!resolveAutomation(first, request, use.sampleRate, ramp, error)) return false;
        stage.automation.ramps.push_back(ramp);
    }
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
