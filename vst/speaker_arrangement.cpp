#include "vst/speaker_arrangement.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace speakers {

// Arithmetic from the record's own address: indexing the declared array of
// eight would be out of bounds for larger counts.
VstSpeakerProperties* speakerAt(VstSpeakerArrangement* arrangement, int32_t i) {
    return reinterpret_cast<VstSpeakerProperties*>(reinterpret_cast<char*>(arrangement) +
                                                   offsetof(VstSpeakerArrangement, speakers) +
                                                   static_cast<std::size_t>(i) * sizeof(VstSpeakerProperties));
}

const VstSpeakerProperties* speakerAt(const VstSpeakerArrangement* arrangement, int32_t i) {
    return speakerAt(const_cast<VstSpeakerArrangement*>(arrangement), i);
}

bool allocateArrangement(VstSpeakerArrangement** arrangement, int32_t nbChannels) {
    if (!arrangement) return false;
    deallocateArrangement(arrangement);
    constexpr std::size_t header = offsetof(VstSpeakerArrangement, speakers);
    constexpr std::size_t each = sizeof(VstSpeakerProperties);
    if (nbChannels < 0 || static_cast<uint64_t>(nbChannels) > (SIZE_MAX - header) / each) return false;
    void* memory = std::calloc(1, header + static_cast<std::size_t>(nbChannels) * each);
    if (!memory) return false;
    *arrangement = static_cast<VstSpeakerArrangement*>(memory);
    (*arrangement)->numChannels = nbChannels;
    return true;
}

bool deallocateArrangement(VstSpeakerArrangement** arrangement) {
    if (!arrangement) return false;
    std::free(*arrangement);
    *arrangement = nullptr;
    return true;
}

bool copySpeaker(VstSpeakerProperties* to, const VstSpeakerProperties* from) {
    if (!to || !from) return false;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    // Stops at the source's terminator so that no stale bytes follow it.
    std::size_t i = 0;
    for (; i < sizeof to->name - 1 && from->name[i]; ++i) to->name[i] = from->name[i];
    for (; i < sizeof to->name; ++i) to->name[i] = 0;
    to->type = from->type;
    std::memmove(to->future, from->future, sizeof to->future);
    return true;
}

bool matchArrangement(VstSpeakerArrangement** to, const VstSpeakerArrangement* from) {
    if (!to || !from) return false;
    // Reallocating would free the very record being copied.
    if (*to == from) return true;
    if (!allocateArrangement(to, from->numChannels)) return false;
    (*to)->type = from->type;
    for (int32_t i = 0; i < from->numChannels; ++i)
        if (!copySpeaker(speakerAt(*to, i), speakerAt(from, i))) return false;
    return true;
}

}  // namespace speakers
