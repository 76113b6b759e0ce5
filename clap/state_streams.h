// Whole reads and writes through a host's streams, which may move fewer
// bytes per call than asked.
#pragma once

#include <cstddef>
#include <cstdint>

#include "clap/clap_interface.h"

namespace varnolet_clap {

// Reads until the stream ends, or until `capacity` bytes are in: a stream
// longer than that reads as exactly `capacity` bytes, so that a caller who
// leaves room for one byte more than it takes can tell. False on a read
// error, a stream that claims to give more than asked, or no stream.
bool readWhole(const vclap_istream_t* stream, uint8_t* bytes, size_t capacity, size_t& size);

// False unless every byte was taken: a write error, a write that takes
// nothing, or no stream.
bool writeWhole(const vclap_ostream_t* stream, const uint8_t* bytes, size_t size);

}  // namespace varnolet_clap
