#include "host/library/preset_transfer.h"

#include <cstdio>
#include <vector>


namespace {
std::string hexId(int32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(id));
    return text;
}

bool usesChunks(PluginInstance& plugin) {
    return (plugin.effect()->flags & effFlagsProgramChunks) != 0;
}

bool checkOwner(PluginInstance& plugin, int32_t pluginId, std::string& error) {
    if (pluginId != plugin.effect()->uniqueID) {
        error = "the preset is for the plug-in with ID " + hexId(pluginId) +
                ", not for this one (" + hexId(plugin.effect()->uniqueID) + ")";
        return false;
    }
    return true;
}

std::vector<uint8_t> readChunk(PluginInstance& plugin, bool oneProgram) {
    void* data = nullptr;
    const intptr_t size = plugin.dispatch(effGetChunk, oneProgram ? 1 : 0, 0, &data);
    if (size <= 0 || !data) return {};
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

bool writeChunk(PluginInstance& plugin, const std::vector<uint8_t>& chunk, bool oneProgram,
                std::string& error) {
    if (!usesChunks(plugin)) {
        error = "the preset holds a chunk, but this plug-in does not take chunks";
        return false;
    }
    std::vector<uint8_t> copy = chunk;  // the plug-in may keep or change what it is given
    plugin.dispatch(effSetChunk, oneProgram ? 1 : 0, static_cast<intptr_t>(copy.size()),
                    copy.data());
    return true;
}

bool loadValues(PluginInstance& plugin, const FxProgram& program, std::string& error) {
    if (static_cast<int32_t>(program.values.size()) != plugin.numParams()) {
        error = "the preset has " + std::to_string(program.values.size()) +
                " parameter values; the plug-in has " + std::to_string(plugin.numParams());
        return false;
    }
    plugin.setProgramName(program.name);
    for (size_t i = 0; i < program.values.size(); ++i)
        plugin.setParameter(static_cast<int32_t>(i), program.values[i]);
    return true;
}

bool loadProgram(PluginInstance& plugin, const FxProgram& program, std::string& error) {
    if (!checkOwner(plugin, program.pluginId, error)) return false;
    if (program.opaque) {
        if (!writeChunk(plugin, program.chunk, true, error)) return false;
        plugin.setProgramName(program.name);
        return true;
    }
    return loadValues(plugin, program, error);
}

bool loadBank(PluginInstance& plugin, const FxBank& bank, std::string& error) {
    if (!checkOwner(plugin, bank.pluginId, error)) return false;
    if (bank.opaque) return writeChunk(plugin, bank.chunk, false, error);
    if (static_cast<int32_t>(bank.programs.size()) > plugin.numPrograms()) {
        error = "the bank has " + std::to_string(bank.programs.size()) +
                " programs; the plug-in has " + std::to_string(plugin.numPrograms());
        return false;
    }
    for (size_t i = 0; i < bank.programs.size(); ++i) {
        const FxProgram& program = bank.programs[i];
        if (!checkOwner(plugin, program.pluginId, error)) return false;
        plugin.dispatch(effBeginSetProgram);
        plugin.setProgram(static_cast<int32_t>(i));
        plugin.dispatch(effEndSetProgram);
        if (!loadValues(plugin, program, error)) {
            error = "program " + std::to_string(i) + " of the bank: " + error;
            return false;
        }
    }
    const int32_t current = bank.currentProgram;
    if (current >= 0 && current < plugin.numPrograms()) plugin.setProgram(current);
    return true;
}
}  // namespace

bool loadFxPreset(PluginInstance& plugin, const FxPreset& preset, std::string& error) {
    return preset.isBank ? loadBank(plugin, preset.bank, error)
                         : loadProgram(plugin, preset.program, error);
}

FxProgram captureFxProgram(PluginInstance& plugin) {
    FxProgram program;
    program.pluginId = plugin.effect()->uniqueID;
    program.pluginVersion = plugin.effect()->version;
    program.name = plugin.programName();
    if (usesChunks(plugin)) {
        program.opaque = true;
        program.chunk = readChunk(plugin, true);
        program.chunkParameterCount = plugin.numParams();
        return program;
    }
    for (int32_t i = 0; i < plugin.numParams(); ++i) program.values.push_back(plugin.getParameter(i));
    return program;
}

FxBank captureFxBank(PluginInstance& plugin) {
    FxBank bank;
    bank.pluginId = plugin.effect()->uniqueID;
    bank.pluginVersion = plugin.effect()->version;
    bank.currentProgram = plugin.program();
    if (usesChunks(plugin)) {
        bank.opaque = true;
        bank.chunk = readChunk(plugin, false);
        bank.chunkProgramCount = plugin.numPrograms();
        return bank;
    }
    for (int32_t i = 0; i < plugin.numPrograms(); ++i) {
        plugin.setProgram(i);
        bank.programs.push_back(captureFxProgram(plugin));
    }
    plugin.setProgram(bank.currentProgram);
    return bank;
}
