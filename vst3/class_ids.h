// The two classes the module offers, by the ids hosts keep in their projects:
// they never change, or every saved project would lose the plug-in.
#pragma once

#include "vst3/vst3_interface.h"

namespace varnolet_vst3 {

constexpr vst3::Uid kComponentClassId = vst3::makeUid(0x0E3F77E1, 0xA09F950D, 0xEE20D3B2, 0x23BC87B8);
constexpr vst3::Uid kControllerClassId = vst3::makeUid(0xC2C627B6, 0xF0F3BD86, 0xCFD382C7, 0x0082816C);

}  // namespace varnolet_vst3
