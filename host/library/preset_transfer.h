// Moves programs and banks between preset files and a plug-in instance, the
// way a DAW loads and exports them.
#pragma once

#include <string>

#include "host/library/fx_preset.h"
#include "host/library/plugin_instance.h"

// Loads a program into the current program, or a bank into all programs.
// Refuses presets made for another plug-in or with counts it cannot take.
bool loadFxPreset(PluginInstance& plugin, const FxPreset& preset, std::string& error);

// The current program, or every program, as the plug-in gives them.
FxProgram captureFxProgram(PluginInstance& plugin);
FxBank captureFxBank(PluginInstance& plugin);
