#include "host/tool/validate/state_round_trips.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/tool/validate/guarded_memory.h"

namespace {
constexpr intptr_t kLargestChunk = intptr_t(64) << 20;

// Every parameter's value, and the text it shows: what a user sees of it.
struct ParameterReading {
    std::vector<float> values;
    std::vector<std::string> displays;
};

ParameterReading readParameters(PluginInstance& plugin) {
    ParameterReading reading;
    const int32_t count = visitedParameters(plugin);
    for (int32_t i = 0; i < count; ++i) {
        reading.values.push_back(plugin.getParameter(i));
        reading.displays.push_back(plugin.parameterDisplay(i));
    }
    return reading;
}

void setParameters(PluginInstance& plugin, const std::vector<float>& values) {
    for (size_t i = 0; i < values.size(); ++i) plugin.setParameter(static_cast<int32_t>(i), values[i]);
}

void chooseProgram(PluginInstance& plugin, int32_t program) {
    plugin.dispatch(effBeginSetProgram);
    plugin.setProgram(program);
    plugin.dispatch(effEndSetProgram);
}

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    return text;
}

// The first parameter whose value came back other than it went, and the
// first whose value changed while its display did not: a switch or a step
// restored to the value its setting lands on ("on" and "on", "40 beat" and
// "40 beat"), which a user never sees. -1 where there is none. Values a
// host could not have saved (not numbers from 0 to 1) are passed.
struct Difference {
    int32_t lost = -1;
    int32_t sameDisplay = -1;
};

Difference differences(const ParameterReading& sent, const ParameterReading& back) {
    Difference found;
    for (size_t i = 0; i < sent.values.size() && i < back.values.size(); ++i) {
        const float value = sent.values[i];
        if (!(value >= 0.0f && value <= 1.0f) || std::fabs(back.values[i] - value) <= kRoundTripTolerance)
            continue;
        const bool shownAlike = !sent.displays[i].empty() && sent.displays[i] == back.displays[i];
        int32_t& first = shownAlike ? found.sameDisplay : found.lost;
        if (first < 0) first = static_cast<int32_t>(i);
    }
    return found;
}

// A failure for the first value lost, a warning for the first that came
// back other but shown alike; `distinction` tells the round trips apart.
void reportDifferences(PlayerContext& context, PluginInstance& fresh, const ParameterReading& sent,
                       const ParameterReading& back, const std::string& distinction, const std::string& how) {
    const Difference found = differences(sent, back);
    const auto describe = [&](int32_t i) {
        return "parameter " + std::to_string(i) + " (" + fresh.parameterName(i) + ") read " +
               number(sent.values[i]) + " (\"" + sent.displays[i] + "\") and came back as " +
               number(back.values[i]) + " (\"" + back.displays[i] + "\") " + how;
    };
    if (found.lost >= 0) context.findings.failure(FindingKind::RoundTrip, distinction, describe(found.lost));
    if (found.sameDisplay >= 0)
        context.findings.warning(FindingKind::RoundTrip, distinction + ":same-display",
                                 describe(found.sameDisplay) + "; it shows the same, so a user loses nothing");
}

void parametersRoundTrip(PlayerContext& context) {
    PluginInstance& original = *context.plugin;
    const int32_t program = original.program();
    const ParameterReading sent = readParameters(original);
    std::unique_ptr<PluginInstance> fresh = context.freshOpenedInstance();
    if (!fresh) return;
    if (program >= 0 && program < fresh->numPrograms()) chooseProgram(*fresh, program);
    setParameters(*fresh, sent.values);
    reportDifferences(context, *fresh, sent, readParameters(*fresh), "parameters",
                      "after setParameter on a fresh instance");
}

void programsRoundTrip(PlayerContext& context) {
    PluginInstance& original = *context.plugin;
    const int32_t programs = visitedPrograms(original);
    const int32_t current = original.program();
    std::vector<std::string> names;
    std::vector<ParameterReading> readings;
    for (int32_t p = 0; p < programs; ++p) {
        chooseProgram(original, p);
        names.push_back(original.programName());
        readings.push_back(readParameters(original));
    }
    if (current >= 0 && current < programs) chooseProgram(original, current);

    std::unique_ptr<PluginInstance> fresh = context.freshOpenedInstance();
    if (!fresh) return;
    for (int32_t p = 0; p < programs && p < fresh->numPrograms(); ++p) {
        chooseProgram(*fresh, p);
        fresh->setProgramName(names[p]);
        setParameters(*fresh, readings[p].values);
    }
    for (int32_t p = 0; p < programs && p < fresh->numPrograms(); ++p) {
        chooseProgram(*fresh, p);
        const std::string name = fresh->programName();
        if (name != names[p]) {
            context.findings.failure(FindingKind::RoundTrip, "program-names",
                                     "program " + std::to_string(p) + " was called '" + names[p] +
                                         "' and came back as '" + name + "' on a fresh instance");
            return;
        }
        const ParameterReading back = readParameters(*fresh);
        const Difference found = differences(readings[p], back);
        if (found.lost < 0 && found.sameDisplay < 0) continue;
        reportDifferences(context, *fresh, readings[p], back, "programs",
                          "in program " + std::to_string(p) + " when the bank was restored on a fresh instance");
        return;
    }
}

void chunkRoundTrip(PlayerContext& context) {
    PluginInstance& original = *context.plugin;
    if (!(original.effect()->flags & effFlagsProgramChunks)) return;
    GuardedBuffer cell("the chunk's address cell");
    for (const int32_t oneProgram : {0, 1}) {
        const char* what = oneProgram ? "program chunk" : "bank chunk";
        void** address = reinterpret_cast<void**>(cell.place(sizeof(void*), alignof(void*), sizeof(void*)));
        const intptr_t size = original.dispatch(effGetChunk, oneProgram, 0, address);
        if (cell.reach() > sizeof(void*))
            context.findings.failure(FindingKind::OutsideBuffer, "chunk-cell",
                                     "wrote past the address cell of effGetChunk");
        const void* data = *address;
        if (size <= 0 || size > kLargestChunk || !data) {
            context.findings.failure(FindingKind::RoundTrip, std::string("chunk:") + what,
                                     std::string("offers its state as chunks but gives no ") + what +
                                         " (size " + std::to_string(size) + ")");
            continue;
        }
        // The host keeps a copy; the plug-in reads it back, and a read past
        // its end meets the guard.
        GuardedBuffer copy(std::string("the ") + what, static_cast<size_t>(size));
        uint8_t* bytes = copy.place(static_cast<size_t>(size), 16, static_cast<size_t>(size));
        std::memcpy(bytes, data, static_cast<size_t>(size));
        const int32_t program = original.program();
        const ParameterReading sent = readParameters(original);
        const std::string name = original.programName();

        std::unique_ptr<PluginInstance> fresh = context.freshOpenedInstance();
        if (!fresh) return;
        if (oneProgram && program >= 0 && program < fresh->numPrograms()) chooseProgram(*fresh, program);
        fresh->dispatch(effSetChunk, oneProgram, size, bytes);
        if (copy.reach() > static_cast<size_t>(size))
            context.findings.failure(FindingKind::OutsideBuffer, "chunk",
                                     std::string("wrote past the end of the ") + what + " it was given");
        const ParameterReading back = readParameters(*fresh);
        reportDifferences(context, *fresh, sent, back, std::string("chunk:") + what,
                          std::string("through the ") + what + " on a fresh instance");
        if (differences(sent, back).lost >= 0) continue;
        const std::string nameBack = fresh->programName();
        if (nameBack != name)
            context.findings.failure(FindingKind::RoundTrip, std::string("chunk-name:") + what,
                                     "the program called '" + name + "' came back as '" + nameBack +
                                         "' through the " + what);
    }
}
}  // namespace

void checkRoundTrip(PlayerContext& context, RoundTripKind kind) {
    switch (kind) {
        case RoundTripKind::Parameters: parametersRoundTrip(context); break;
        case RoundTripKind::Programs: programsRoundTrip(context); break;
        case RoundTripKind::Chunk: chunkRoundTrip(context); break;
    }
}
