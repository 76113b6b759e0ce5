// The stream number (serial) in every page of an Ogg file, which libsndfile
// draws at random for each file it writes.
#pragma once

#include <cstdint>
#include <string>

// Gives every page of the Ogg file open on the descriptor the number, with
// its checksum made anew; a page at a time, in place.
bool numberOggStream(int descriptor, uint32_t number, std::string& error);
