#include "vst3/state_stream.h"

#include <cstring>

#include "core/effect_state.h"

namespace varnolet_vst3 {

namespace {

// Reads until `size` bytes have come or the stream gives no more.
size_t readFully(vst3::IBStream* stream, uint8_t* bytes, size_t size) {
    size_t done = 0;
    while (done < size) {
        vst3::int32 got = 0;
        const vst3::int32 wanted = static_cast<vst3::int32>(size - done);
        if (stream->read(bytes + done, wanted, &got) != vst3::kResultOk) break;
        if (got <= 0 || got > wanted) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

}  // namespace

bool writeState(vst3::IBStream* stream, const varnolet::EffectState& state) {
    if (!stream) return false;
    uint8_t bytes[varnolet::kStateSize];
    varnolet::encodeState(state, bytes);
    size_t done = 0;
    while (done < sizeof bytes) {
        vst3::int32 put = 0;
        const vst3::int32 left = static_cast<vst3::int32>(sizeof bytes - done);
        if (stream->write(bytes + done, left, &put) != vst3::kResultOk) return false;
        if (put <= 0 || put > left) return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

bool readState(vst3::IBStream* stream, varnolet::EffectState& state) {
    if (!stream) return false;
    uint8_t bytes[varnolet::kLongestState];
    // The header names the layout's version and how many values follow; a
    // state of a version this build does not know is not read further.
    uint8_t header[12];
    if (readFully(stream, header, sizeof header) != sizeof header) return false;
    const size_t size = varnolet::stateSizeFromHeader(header);
    if (size == 0) return false;
    std::memcpy(bytes, header, sizeof header);
    const size_t rest = size - sizeof header;
    if (readFully(stream, bytes + sizeof header, rest) != rest) return false;
    return varnolet::decodeState(bytes, size, state);
}

void valuesOfState(const varnolet::EffectState& state, float (&values)[kParameterCount]) {
    std::memcpy(values, state.values, sizeof state.values);
    values[varnolet::kBypassIndex] = state.bypassed ? 1.0f : 0.0f;
}

varnolet::EffectState stateOfValues(const float (&values)[kParameterCount]) {
    varnolet::EffectState state;
    std::memcpy(state.values, values, sizeof state.values);
    state.bypassed = values[varnolet::kBypassIndex] != 0.0f;
    return state;
}

}  // namespace varnolet_vst3
