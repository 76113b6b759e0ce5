#include "clap/state_streams.h"

namespace varnolet_clap {

bool readWhole(const vclap_istream_t* stream, uint8_t* bytes, size_t capacity, size_t& size) {
    size = 0;
    if (!stream || !stream->read) return false;
    while (size < capacity) {
        const uint64_t asked = capacity - size;
        const int64_t got = stream->read(stream, bytes + size, asked);
        if (got == 0) break;
        if (got < 0 || static_cast<uint64_t>(got) > asked) return false;
        size += static_cast<size_t>(got);
    }
    return true;
}

bool writeWhole(const vclap_ostream_t* stream, const uint8_t* bytes, size_t size) {
    if (!stream || !stream->write) return false;
    for (size_t done = 0; done < size;) {
        const uint64_t asked = size - done;
        const int64_t put = stream->write(stream, bytes + done, asked);
        // A stream that takes nothing would keep this loop going for ever.
        if (put <= 0 || static_cast<uint64_t>(put) > asked) return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

}  // namespace varnolet_clap
