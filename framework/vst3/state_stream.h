#pragma once
// Whole host streams to and from byte chunks.
#include "framework/core/byte_chunk.h"
#include "pluginterfaces/base/ibstream.h"

// Reads from the stream's current position to its end. False on a read error or a stream
// larger than any state we could have written.
bool ReadWholeStream(Steinberg::IBStream* stream, IByteChunk& chunk);
// False unless every byte was written.
bool WriteWholeChunk(Steinberg::IBStream* stream, const IByteChunk& chunk);
