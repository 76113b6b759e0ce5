// Sequences of host operations drawn from what hosts do, one per number:
// the same plug-in facts, strictness, seed and number give the same list.
// The first two of every run are fixed: a session as traced hosts hold it,
// with the round trips of the plug-in's state, and a loud input followed by
// a long silence, timed. Every later one is drawn at random; at polite
// strictness only through what a polite host allows, at hostile with the
// calls hosts should not make added.
#pragma once

#include <cstdint>

#include "host/tool/validate/operation.h"
#include "host/tool/validate/plugin_facts.h"

constexpr uint64_t kFixedSequences = 2;

OperationList generateSequence(const PluginFacts& facts, Strictness strictness, uint64_t seed,
                               uint64_t sequence);
