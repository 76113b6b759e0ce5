#include "host/library/vst3_plugin.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
// More than this is taken for a fault, not a layout.
constexpr int32_t kMostBuses = 64;
constexpr int32_t kMostChannels = 4096;
constexpr int32_t kMostParameters = 1 << 16;

std::string field(const char* s, size_t size) { return std::string(s, std::find(s, s + size, '\0')); }

std::string ascii(const vst3::TChar* s, size_t size) {
    std::string out;
    for (size_t i = 0; i < size && s[i]; ++i) out += s[i] < 0x80 ? static_cast<char>(s[i]) : '?';
    return out;
}

void toWide(const std::string& text, vst3::String128 wide) {
    size_t i = 0;
    for (; i < text.size() && i < 127; ++i)
        wide[i] = static_cast<vst3::TChar>(static_cast<unsigned char>(text[i]));
    wide[i] = 0;
}

std::string hex(const char* id) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 0; i < 16; ++i) {
        const auto byte = static_cast<unsigned char>(id[i]);
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::string fileName(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
    const size_t slash = trimmed.rfind('/');
    return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

bool allDigits(const std::string& s) {
    return !s.empty() && s.size() < 10 &&
           std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

PluginFact textFact(const char* label, const char* key, const std::string& value) {
    return PluginFact{label, value, {{key, ReportValue::of(value)}}};
}
}  // namespace

std::unique_ptr<HostedPlugin> openVst3Plugin(const std::string& path, const PluginOpening& opening,
                                             std::string& error) {
    std::unique_ptr<Vst3Plugin> p(new Vst3Plugin);
    p->log = opening.log;
    p->say("-> GetPluginFactory (" + path + ")");
    p->module = Vst3Module::shared(path, error);
    if (!p->module) return nullptr;
    vst3::IPluginFactory* factory = p->module->factory();

    // The audio effect classes; the one asked for by place among them, by
    // name or by class id, else the first.
    std::vector<vst3::PClassInfo> effects;
    const vst3::int32 count = std::min(factory->countClasses(), kMostParameters);
    for (vst3::int32 i = 0; i < count; ++i) {
        vst3::PClassInfo info;
        std::memset(&info, 0, sizeof info);
        if (factory->getClassInfo(i, &info) == vst3::kResultOk &&
            field(info.category, sizeof info.category) == vst3::kAudioEffectClass)
            effects.push_back(info);
    }
    if (effects.empty()) {
        error = path + " holds no audio effect class";
        return nullptr;
    }
    size_t chosen = 0;
    if (!opening.pluginId.empty()) {
        bool found = false;
        std::string names;
        for (size_t i = 0; i < effects.size() && !found; ++i) {
            const std::string name = field(effects[i].name, sizeof effects[i].name);
            names += (names.empty() ? "" : ", ") + name;
            if (name == opening.pluginId || hex(effects[i].cid) == opening.pluginId) {
                chosen = i;
                found = true;
            }
        }
        if (!found && allDigits(opening.pluginId) && std::stoul(opening.pluginId) < effects.size()) {
            chosen = std::stoul(opening.pluginId);
            found = true;
        }
        if (!found) {
            error = path + " holds no plug-in '" + opening.pluginId + "' (it holds " +
                    std::to_string(effects.size()) + ": " + names + ")";
            return nullptr;
        }
    }
    const vst3::PClassInfo& info = effects[chosen];
    p->classIndex = static_cast<int32_t>(chosen);
    p->classCount = static_cast<int32_t>(effects.size());
    p->className = field(info.name, sizeof info.name);
    p->classId = hex(info.cid);
    void* second = nullptr;
    if (factory->queryInterface(vst3::IPluginFactory2::iid.bytes, &second) == vst3::kResultOk &&
        second) {
        auto* factory2 = static_cast<vst3::IPluginFactory2*>(second);
        for (vst3::int32 i = 0; i < count; ++i) {
            vst3::PClassInfo2 info2;
            std::memset(&info2, 0, sizeof info2);
            if (factory2->getClassInfo2(i, &info2) != vst3::kResultOk ||
                std::memcmp(info2.cid, info.cid, sizeof info.cid) != 0)
                continue;
            p->vendor = field(info2.vendor, sizeof info2.vendor);
            p->version = field(info2.version, sizeof info2.version);
            p->subCategories = field(info2.subCategories, sizeof info2.subCategories);
            p->sdkVersion = field(info2.sdkVersion, sizeof info2.sdkVersion);
        }
        factory2->release();
    }
    if (p->vendor.empty()) {
        vst3::PFactoryInfo facts;
        std::memset(&facts, 0, sizeof facts);
        if (factory->getFactoryInfo(&facts) == vst3::kResultOk)
            p->vendor = field(facts.vendor, sizeof facts.vendor);
    }

    p->say("-> createInstance " + p->classId + ", initialize");
    p->instance = Vst3Instance::create(*p->module, error, info.cid);
    if (!p->instance) return nullptr;
    p->readBuses(vst3::kInput, p->inputs);
    p->readBuses(vst3::kOutput, p->outputs);
    if (p->inputCount() > kMostChannels || p->outputCount() > kMostChannels) {
        error = "the plug-in " + p->className + " of " + path + " claims more than " +
                std::to_string(kMostChannels) + " channels";
        return nullptr;
    }
    p->readParameters();
    p->changes = Vst3ParameterChanges(p->parameters.size() + 1, 4);
    p->answers = Vst3ParameterChanges(p->parameters.size(), 4);
    p->sampleRate = opening.sampleRate;
    p->largestBlock = std::max(opening.largestBlock, 1);
    return p;
}

Vst3Plugin::~Vst3Plugin() {
    if (instance && instance->active()) say("-> setActive 0");
    instance.reset();
}

void Vst3Plugin::say(const std::string& line) const {
    if (log) log(line);
}

void Vst3Plugin::readBuses(vst3::BusDirection direction, std::vector<Bus>& buses) {
    vst3::IComponent* component = instance->component();
    const vst3::int32 count = std::min(component->getBusCount(vst3::kAudio, direction), kMostBuses);
    for (vst3::int32 i = 0; i < count; ++i) {
        vst3::BusInfo info;
        std::memset(&info, 0, sizeof info);
        Bus bus;
        if (component->getBusInfo(vst3::kAudio, direction, i, info) == vst3::kResultOk) {
            bus.name = ascii(info.name, 128);
            bus.channels = std::min(std::max(info.channelCount, 0), kMostChannels + 1);
            bus.main = info.busType == vst3::kMain;
        }
        buses.push_back(bus);
    }
}

void Vst3Plugin::readParameters() {
    vst3::IEditController* controller = instance->controller();
    if (!controller) return;
    const vst3::int32 count = std::min(controller->getParameterCount(), kMostParameters);
    for (vst3::int32 i = 0; i < count; ++i) {
        vst3::ParameterInfo info;
        std::memset(&info, 0, sizeof info);
        Parameter p;
        if (controller->getParameterInfo(i, info) == vst3::kResultOk) {
            p.id = info.id;
            p.name = ascii(info.title, 128);
            p.units = ascii(info.units, 128);
            p.steps = info.stepCount;
            p.flags = info.flags;
            p.defaultValue = info.defaultNormalizedValue;
            p.unitId = info.unitId;
        } else {
            p.id = vst3::ParamID(0xFFFFFFFFu);
        }
        if ((p.flags & vst3::ParameterInfo::kIsProgramChange) && p.steps > 0 && !hasProgramChange) {
            hasProgramChange = true;
            programChange = p;
            continue;
        }
        parameters.push_back(p);
    }
}

int32_t Vst3Plugin::channelTotal(const std::vector<Bus>& buses) {
    int32_t total = 0;
    for (const Bus& bus : buses) total += bus.channels;
    return total;
}

const Vst3Plugin::Parameter* Vst3Plugin::parameter(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < parameters.size()
               ? &parameters[static_cast<size_t>(index)]
               : nullptr;
}

std::string Vst3Plugin::name() { return className.empty() ? fileName(path()) : className; }

std::string Vst3Plugin::parameterName(int32_t index) {
    const Parameter* p = parameter(index);
    return p ? p->name : std::string();
}

std::string Vst3Plugin::parameterLabel(int32_t index) {
    const Parameter* p = parameter(index);
    return p ? p->units : std::string();
}

float Vst3Plugin::parameterValue(int32_t index) {
    const Parameter* p = parameter(index);
    if (!p || !instance->controller()) return 0.0f;
    const double value = instance->controller()->getParamNormalized(p->id);
    return std::isfinite(value) ? static_cast<float>(std::min(std::max(value, 0.0), 1.0)) : 0.0f;
}

std::string Vst3Plugin::parameterDisplay(int32_t index) {
    const Parameter* p = parameter(index);
    if (!p || !instance->controller()) return std::string();
    vst3::String128 shown = {};
    vst3::IEditController* controller = instance->controller();
    if (controller->getParamStringByValue(p->id, controller->getParamNormalized(p->id), shown) !=
        vst3::kResultOk)
        return std::string();
    return ascii(shown, 128);
}

bool Vst3Plugin::parameterValueOfText(int32_t index, const std::string& text, float& value) {
    const Parameter* p = parameter(index);
    if (!p || !instance->controller()) return false;
    vst3::String128 typed;
    toWide(text, typed);
    vst3::ParamValue normalized = 0.0;
    if (instance->controller()->getParamValueByString(p->id, typed, normalized) != vst3::kResultOk ||
        !std::isfinite(normalized))
        return false;
    value = static_cast<float>(std::min(std::max(normalized, 0.0), 1.0));
    return true;
}

void Vst3Plugin::setParameterValue(int32_t index, float value) {
    const Parameter* p = parameter(index);
    if (!p) return;
    if (log) {
        char line[96];
        std::snprintf(line, sizeof line, "-> setParamNormalized id=%u value=%.9g", p->id,
                      static_cast<double>(value));
        say(line);
    }
    // The controller shows it now; the processor hears it from the next
    // block's first frame, the only way a value reaches it.
    if (instance->controller()) instance->controller()->setParamNormalized(p->id, value);
    pending.emplace_back(p->id, value);
}

int32_t Vst3Plugin::programCount() {
    return hasProgramChange ? std::min(programChange.steps, kMostParameters) + 1 : 0;
}

int32_t Vst3Plugin::currentProgram() {
    if (!hasProgramChange || !instance->controller()) return 0;
    const double value = instance->controller()->getParamNormalized(programChange.id);
    if (!std::isfinite(value)) return 0;
    return static_cast<int32_t>(std::lround(std::min(std::max(value, 0.0), 1.0) * programChange.steps));
}

void Vst3Plugin::selectProgram(int32_t program) {
    if (program < 0 || program >= programCount()) return;
    const double value = static_cast<double>(program) / programChange.steps;
    if (log) {
        char line[96];
        std::snprintf(line, sizeof line, "-> setParamNormalized id=%u value=%.9g (program %d)",
                      programChange.id, value, program);
        say(line);
    }
    // As a host that offers the programs in a menu: the controller sets the
    // program's values and asks for them to be read again, and the
    // processor chooses it at the next block's first frame.
    if (instance->controller()) instance->controller()->setParamNormalized(programChange.id, value);
    pending.emplace_back(programChange.id, value);
}

std::vector<std::string> Vst3Plugin::programNames() {
    std::vector<std::string> names;
    vst3::IEditController* controller = instance->controller();
    if (!controller) return names;
    // The names of the list the program change's unit offers, else the
    // texts of the parameter's steps.
    void* found = nullptr;
    vst3::IUnitInfo* units = nullptr;
    if (controller->queryInterface(vst3::IUnitInfo::iid.bytes, &found) == vst3::kResultOk && found)
        units = static_cast<vst3::IUnitInfo*>(found);
    vst3::ProgramListID list = vst3::kNoProgramListId;
    for (vst3::int32 u = 0; units && u < std::min(units->getUnitCount(), kMostParameters); ++u) {
        vst3::UnitInfo unit;
        std::memset(&unit, 0, sizeof unit);
        if (units->getUnitInfo(u, unit) == vst3::kResultOk && unit.id == programChange.unitId)
            list = unit.programListId;
    }
    for (int32_t i = 0; i < programCount(); ++i) {
        vst3::String128 name = {};
        bool named = list != vst3::kNoProgramListId &&
                     units->getProgramName(list, i, name) == vst3::kResultOk;
        if (!named)
            named = controller->getParamStringByValue(
                        programChange.id, static_cast<double>(i) / programChange.steps, name) ==
                    vst3::kResultOk;
        names.push_back(named ? ascii(name, 128) : std::string());
    }
    if (units) units->release();
    return names;
}

void Vst3Plugin::setLargestBlock(int32_t frames) { largestBlock = std::max(frames, 1); }

bool Vst3Plugin::activate(std::string& error) {
    if (instance->active()) return true;
    char line[96];
    std::snprintf(line, sizeof line, "-> setupProcessing rate=%g max=%d, setActive 1", sampleRate,
                  largestBlock);
    say(line);
    if (!instance->activate(sampleRate, largestBlock, error, vst3::kOffline, false)) {
        error = name() + ": " + error;
        return false;
    }
    reportedLatency = static_cast<int32_t>(
        std::min<vst3::uint32>(instance->processor()->getLatencySamples(), INT32_MAX));
    return true;
}

void Vst3Plugin::deactivate() {
    if (!instance->active()) return;
    say("-> setActive 0");
    instance->deactivate();
}

bool Vst3Plugin::startProcessing(std::string& error) {
    if (!instance->active()) {
        error = name() + " is not active";
        return false;
    }
    say("-> setProcessing 1");
    instance->setProcessing(true);
    return true;
}

void Vst3Plugin::stopProcessing() {
    say("-> setProcessing 0");
    instance->setProcessing(false);
}

void Vst3Plugin::process(const ProcessCall& call) {
    changes.clear();
    for (const auto& value : pending) changes.add(value.first, 0, value.second);
    pending.clear();
    for (size_t i = 0; i < call.changeCount; ++i) {
        const ParameterChange& change = call.changes[i];
        if (const Parameter* p = parameter(change.index))
            changes.add(p->id, static_cast<int32_t>(change.frame), change.value);
    }

    // Each bus's channels, where the host's channels for it start.
    const size_t inChannels = static_cast<size_t>(inputCount());
    channelPointers.assign(call.inputs, call.inputs + inChannels);
    channelPointers.insert(channelPointers.end(), call.outputs, call.outputs + outputCount());
    const auto lay = [&](const std::vector<Bus>& buses, std::vector<vst3::AudioBusBuffers>& buffers,
                         size_t first) {
        buffers.assign(buses.size(), vst3::AudioBusBuffers{});
        for (size_t i = 0; i < buses.size(); ++i) {
            buffers[i].numChannels = buses[i].channels;
            buffers[i].silenceFlags = 0;
            buffers[i].channelBuffers32 = channelPointers.data() + first;
            first += static_cast<size_t>(buses[i].channels);
        }
    };
    lay(inputs, inputBuffers, 0);
    lay(outputs, outputBuffers, inChannels);

    vst3::ProcessData data;
    std::memset(&data, 0, sizeof data);
    data.processMode = vst3::kOffline;
    data.symbolicSampleSize = vst3::kSample32;
    data.numSamples = static_cast<vst3::int32>(call.frames);
    data.numInputs = static_cast<vst3::int32>(inputBuffers.size());
    data.numOutputs = static_cast<vst3::int32>(outputBuffers.size());
    data.inputs = inputBuffers.empty() ? nullptr : inputBuffers.data();
    data.outputs = outputBuffers.empty() ? nullptr : outputBuffers.data();
    data.inputParameterChanges = &changes;
    answers.clear();
    data.outputParameterChanges = &answers;
    if (log) {
        char line[96];
        std::snprintf(line, sizeof line, "-> process frames=%u changes=%d", call.frames,
                      changes.getParameterCount());
        say(line);
    }
    if (instance->processor()->process(data) != vst3::kResultOk) {
        // A block the plug-in failed holds nothing it vouches for.
        for (int32_t c = 0; c < outputCount(); ++c) std::fill_n(call.outputs[c], call.frames, 0.0f);
    }
}

bool Vst3Plugin::afterBlock() {
    if (!(instance->takeRestart() & vst3::kLatencyChanged) || !instance->active()) return false;
    // Its latency is read again after switching it off and on, as the
    // format asks of a host told of a change.
    deactivate();
    std::string error;
    if (activate(error)) startProcessing(error);
    return true;
}

TailReport Vst3Plugin::tail() {
    TailReport report;
    if (!instance->active()) return report;
    const vst3::uint32 frames = instance->processor()->getTailSamples();
    report.kind = frames == vst3::kInfiniteTail ? TailReport::Kind::Infinite : TailReport::Kind::Frames;
    report.frames = frames;
    return report;
}

PluginReport Vst3Plugin::describe() {
    PluginReport r;
    r.facts.push_back(textFact("Name", "name", className));
    r.facts.push_back(textFact("Vendor", "vendor", vendor));
    r.facts.push_back(textFact("Version", "version", version));
    r.facts.push_back(textFact("Category", "subCategories", subCategories));
    r.facts.push_back(textFact("Class id", "classId", classId));
    r.facts.push_back(textFact("SDK version", "sdkVersion", sdkVersion));
    r.facts.push_back(PluginFact{"In its module",
                                 std::to_string(classIndex + 1) + " of " + std::to_string(classCount),
                                 {{"classIndex", ReportValue::of(int64_t{classIndex})},
                                  {"classCount", ReportValue::of(int64_t{classCount})}}});
    r.facts.push_back(textFact("Controller", "controller",
                               !instance->controller() ? "none"
                               : instance->controllerFromComponent() ? "asked of the component"
                                                                     : "a class of its own"));
    const auto busFact = [](const char* label, const char* key, const std::vector<Bus>& buses) {
        std::vector<ReportValue> list;
        std::string line;
        for (const Bus& bus : buses) {
            list.push_back(ReportValue::object({{"name", ReportValue::of(bus.name)},
                                                {"channels", ReportValue::of(int64_t{bus.channels})},
                                                {"main", ReportValue::of(int64_t{bus.main})}}));
            line += (line.empty() ? "" : ", ") + std::string("\"") + bus.name + "\" " +
                    std::to_string(bus.channels) + (bus.main ? " (main)" : " (aux)");
        }
        return PluginFact{label, line.empty() ? "(none)" : line, {{key, ReportValue::list(list)}}};
    };
    r.facts.push_back(busFact("Audio inputs", "audioInputs", inputs));
    r.facts.push_back(busFact("Audio outputs", "audioOutputs", outputs));
    addChannelsLatencyAndTail(r);
    r.hasPrograms = hasProgramChange;
    r.currentProgram = currentProgram();
    r.programNames = programNames();
    for (int32_t i = 0; i < parameterCount(); ++i) {
        const Parameter& p = parameters[static_cast<size_t>(i)];
        r.parameters.push_back(ParameterReport{
            i, p.name, p.units, parameterDisplay(i), parameterValue(i),
            {{"id", ReportValue::of(int64_t{p.id})},
             {"steps", ReportValue::of(int64_t{p.steps})},
             {"default", ReportValue::ofNumber(p.defaultValue)},
             {"flags", ReportValue::of(int64_t{p.flags})}}});
    }
    return r;
}
