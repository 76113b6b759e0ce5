#include "host/tool/validate/state_round_trips.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/tool/validate/guarded_memory.h"

namespace {
constexpr intptr_t kLargestChunk = intptr_t(64) << 20;

std::vector<float> readParameters(PluginInstance& plugin) {
    std::vector<float> values(static_cast<size_t>(visitedParameters(plugin)));
    for (size_t i = 0; i < values.size(); ++i) values[i] = plugin.getParameter(static_cast<int32_t>(i));
    return values;
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

// The first parameter whose value came back other than it went; -1 if none.
// Values a host could not have saved (not numbers from 0 to 1) are passed.
int32_t firstDifference(const std::vector<float>& sent, const std::vector<float>& back) {
    for (size_t i = 0; i < sent.size() && i < back.size(); ++i) {
        if (!(sent[i] >= 0.0f && sent[i] <= 1.0f)) continue;
        if (!(std::fabs(back[i] - sent[i]) <= kRoundTripTolerance)) return static_cast<int32_t>(i);
    }
    return -1;
}

std::string parameterDifference(PluginInstance& plugin, int32_t index, float sent, float back,
                                const std::string& how) {
    return "parameter " + std::to_string(index) + " (" + plugin.parameterName(index) + ") read " +
           number(sent) + " and came back as " + number(back) + " " + how;
}

void parametersRoundTrip(PlayerContext& context) {
    PluginInstance& original = *context.plugin;
    const int32_t program = original.program();
    const std::vector<float> values = readParameters(original);
    std::unique_ptr<PluginInstance> fresh = context.freshOpenedInstance();
    if (!fresh) return;
    if (program >= 0 && program < fresh->numPrograms()) chooseProgram(*fresh, program);
    for (size_t i = 0; i < values.size(); ++i) fresh->setParameter(static_cast<int32_t>(i), values[i]);
    const std::vector<float> back = readParameters(*fresh);
    const int32_t differs = firstDifference(values, back);
    if (differs >= 0)
        context.findings.failure(
            "round-trip", "round-trip:parameters",
            parameterDifference(*fresh, differs, values[differs], back[differs],
                                "after setParameter on a fresh instance"));
}

void programsRoundTrip(PlayerContext& context) {
    PluginInstance& original = *context.plugin;
    const int32_t programs = visitedPrograms(original);
    const int32_t current = original.program();
    std::vector<std::string> names;
    std::vector<std::vector<float>> values;
    for (int32_t p = 0; p < programs; ++p) {
        chooseProgram(original, p);
        names.push_back(original.programName());
        values.push_back(readParameters(original));
    }
    if (current >= 0 && current < programs) chooseProgram(original, current);

    std::unique_ptr<PluginInstance> fresh = context.freshOpenedInstance();
    if (!fresh) return;
    for (int32_t p = 0; p < programs && p < fresh->numPrograms(); ++p) {
        chooseProgram(*fresh, p);
        fresh->setProgramName(names[p]);
        for (size_t i = 0; i < values[p].size(); ++i)
            fresh->setParameter(static_cast<int32_t>(i), values[p][i]);
    }
    for (int32_t p = 0; p < programs && p < fresh->numPrograms(); ++p) {
        chooseProgram(*fresh, p);
        const std::string name = fresh->programName();
        if (name != names[p]) {
            context.findings.failure("round-trip", "round-trip:program-names",
                                     "program " + std::to_string(p) + " was called '" + names[p] +
                                         "' and came back as '" + name + "' on a fresh instance");
            return;
        }
        const std::vector<float> back = readParameters(*fresh);
        const int32_t differs = firstDifference(values[p], back);
        if (differs >= 0) {
            context.findings.failure(
                "round-trip", "round-trip:programs",
                parameterDifference(*fresh, differs, values[p][differs], back[differs],
                                    "in program " + std::to_string(p) +
                                        " when the bank was restored on a fresh instance"));
            return;
        }
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
            context.findings.failure("outside-buffer", "outside-buffer:chunk-cell",
                                     "wrote past the address cell of effGetChunk");
        const void* data = *address;
        if (size <= 0 || size > kLargestChunk || !data) {
            context.findings.failure("round-trip", std::string("round-trip:chunk:") + what,
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
        const std::vector<float> values = readParameters(original);
        const std::string name = original.programName();

        std::unique_ptr<PluginInstance> fresh = context.freshOpenedInstance();
        if (!fresh) return;
        if (oneProgram && program >= 0 && program < fresh->numPrograms()) chooseProgram(*fresh, program);
        fresh->dispatch(effSetChunk, oneProgram, size, bytes);
        if (copy.reach() > static_cast<size_t>(size))
            context.findings.failure("outside-buffer", "outside-buffer:chunk",
                                     std::string("wrote past the end of the ") + what + " it was given");
        const std::vector<float> back = readParameters(*fresh);
        const int32_t differs = firstDifference(values, back);
        if (differs >= 0) {
            context.findings.failure(
                "round-trip", std::string("round-trip:chunk:") + what,
                parameterDifference(*fresh, differs, values[differs], back[differs],
                                    std::string("through the ") + what + " on a fresh instance"));
            continue;
        }
        const std::string nameBack = fresh->programName();
        if (nameBack != name)
            context.findings.failure("round-trip", std::string("round-trip:chunk-name:") + what,
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
