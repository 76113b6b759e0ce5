// Who the effect is, to every format: its names, maker and versions.
#pragma once

#include <cstdint>

namespace varnolet {

constexpr const char* kEffectName = "TolmVarnolet";
constexpr const char* kProductName = "Varnolet Delay";
constexpr const char* kVendorName = "Tolmark";
// The VST 2.4 module's version number, 1.0.7 in the bytes of 0x00010007.
constexpr int32_t kVendorVersion = 65543;

// The project's version ("1.0.7"), which the packages and every format but
// the VST 2.4 module's number carry; the build passes it in.
#ifndef VARNOLET_VERSION
#error "VARNOLET_VERSION must name the project's version"
#endif
constexpr const char* kVersion = VARNOLET_VERSION;

}  // namespace varnolet
