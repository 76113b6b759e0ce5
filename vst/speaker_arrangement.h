// The VST 2.4 speaker-arrangement records and AudioEffectX's helpers that
// allocate, free and copy them.
#pragma once

#include <cstddef>
#include <cstdint>

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    int32_t type;
    char future[28];
};
static_assert(sizeof(VstSpeakerProperties) == 112, "host ABI: speaker record is 112 bytes");

// The header declares eight speakers, but a record holds numChannels of them
// in memory sized for that count; reach them with speakers::speakerAt.
struct VstSpeakerArrangement {
    int32_t type;
    int32_t numChannels;
    VstSpeakerProperties speakers[8];
};
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8, "host ABI: speakers follow two int32");

namespace speakers {

// Speaker i of an arrangement, for any i below its numChannels.
VstSpeakerProperties* speakerAt(VstSpeakerArrangement* arrangement, int32_t i);
const VstSpeakerProperties* speakerAt(const VstSpeakerArrangement* arrangement, int32_t i);

// Frees what *arrangement holds, then stores a zero-filled record for
// nbChannels speakers. On failure (negative or unallocatable count)
// *arrangement is null and the answer is false; a null address answers false.
bool allocateArrangement(VstSpeakerArrangement** arrangement, int32_t nbChannels);

// Frees what *arrangement holds and stores null; false only for a null address.
bool deallocateArrangement(VstSpeakerArrangement** arrangement);

// Copies every field; the name keeps at most 63 characters and is terminated.
bool copySpeaker(VstSpeakerProperties* to, const VstSpeakerProperties* from);

// Replaces *to with a fresh copy of from.
bool matchArrangement(VstSpeakerArrangement** to, const VstSpeakerArrangement* from);

}  // namespace speakers
