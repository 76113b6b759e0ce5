// After non-finite output: whether the plug-in comes back. It is switched
// off, given a sane rate and block size, reset to the parameters and
// program of a fresh instance, switched on and fed two seconds of clean
// noise; output still non-finite at the end of that never recovers.
#pragma once

#include "host/tool/validate/block_runner.h"
#include "host/tool/validate/player_context.h"

void checkRecovery(PlayerContext& context, BlockRunner& blocks);
