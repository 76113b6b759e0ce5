// One shared CFString per constant text, for the names of parameter values.
// The registry belongs to the loaded library, not to a plug-in instance, and
// may be used from several threads at once.
#pragma once

#include <cstdint>

#include "framework/cf_string.h"

// The string for the text at this address, created on first use. Keyed by the
// address, not the characters: pass string literals or other texts that live
// as long as the library. The result carries no reference for the caller;
// retain it before handing it to code that releases it. A null literal gives
// null. Throws std::bad_alloc if the first request cannot allocate, leaving
// the registry as it was.
CFString* stringForLiteral(const char* literal);

// Releases the registry's reference to every string and empties it. Runs by
// itself when the library is unloaded; running it again does nothing, and
// later requests start a fresh registry.
void releaseLiteralStrings();

// Number of texts the registry currently holds.
int32_t literalStringCount();
