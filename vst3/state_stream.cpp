#include "vst3/state_stream.h"

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

uint32_t littleEndianWord(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

}  // namespace

bool writeState(vst3::IBStream* stream, const float (&values)[varnolet::kNumParameters]) {
    if (!stream) return false;
    uint8_t bytes[varnolet::kStateSize];
    varnolet::encodeState(values, bytes);
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

bool readState(vst3::IBStream* stream, float (&values)[varnolet::kNumParameters]) {
    if (!stream) return false;
    uint8_t bytes[varnolet::kLongestState];
    // The header names the layout's version and how many values follow; a
    // state of another count is not one this version reads.
    constexpr size_t kHeader = 12;
    if (readFully(stream, bytes, kHeader) != kHeader) return false;
    if (littleEndianWord(bytes + 8) != static_cast<uint32_t>(varnolet::kNumParameters))
        return false;
    const size_t rest = varnolet::kStateSize - kHeader;
    if (readFully(stream, bytes + kHeader, rest) != rest) return false;
    return varnolet::decodeState(bytes, varnolet::kStateSize, values);
}

}  // namespace varnolet_vst3
