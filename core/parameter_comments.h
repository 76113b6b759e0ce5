// What the effect and each parameter do, in a sentence or two for a user who
// reads a host's description of them.
#pragma once

#include <cstdint>

namespace varnolet {

extern const char* const kEffectComment;

// The parameter's comment, or "" for an index outside the table.
const char* parameterComment(int32_t index);

}  // namespace varnolet
