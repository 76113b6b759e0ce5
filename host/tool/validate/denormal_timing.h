// Whether silence after loud input costs the plug-in more than the loud
// input did: the mark of denormal numbers in a decaying tail, with the
// floating-point mode a host leaves as it is. Three seconds of full-scale
// noise, then thirty of silence, timed second by second in the process's
// processor time (which other processes on the machine do not disturb).
#pragma once

#include "host/tool/validate/player_context.h"

void checkDenormalSlowdown(PlayerContext& context);

// Silence counts as slowed down when two seconds of it in a row each cost
// this many times one second of the loud input.
constexpr double kSlowdownFactor = 2.0;
