// Whether the plug-in's state survives what hosts do to save and restore
// it: every parameter read from one instance and set on a fresh one; every
// program's name and values the same way, as a bank without chunks is kept;
// and, where it offers them, its chunks.
#pragma once

#include "host/tool/validate/operation.h"
#include "host/tool/validate/player_context.h"

void checkRoundTrip(PlayerContext& context, RoundTripKind kind);

// How far a value read back may lie from the value set.
constexpr float kRoundTripTolerance = 1e-6f;
