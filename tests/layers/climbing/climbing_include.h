// A header reaching a layer by climbing out of its folder, which the build
// must refuse whatever include roots its target has.
#pragma once
#include "../../vst/aeffect.h"
