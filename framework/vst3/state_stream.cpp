#include "framework/vst3/state_stream.h"

using namespace Steinberg;

namespace {
constexpr int kMaxStateBytes = 256 * 1024 * 1024;
constexpr int kReadPiece = 16384;
} // namespace

bool ReadWholeStream(IBStream* stream, IByteChunk& chunk) {
  chunk.Clear();
  if (!stream) return false;
  uint8_t piece[kReadPiece];
  // Streams report their end by a read of nothing, some with a failing result; a failure in
  // the middle looks the same and leaves a short chunk that the state reader refuses.
  for (;;) {
    int32 got = 0;
    const tresult result = stream->read(piece, kReadPiece, &got);
    if (got < 0 || got > kReadPiece) return false;
    if (got > 0) {
      if (chunk.Size() > kMaxStateBytes - got) return false;
      chunk.AppendBytes(piece, got);
    }
    if (result != kResultOk || got == 0) return true;
  }
}

bool WriteWholeChunk(IBStream* stream, const IByteChunk& chunk) {
  if (!stream) return false;
  int written = 0;
  while (written < chunk.Size()) {
    int32 n = 0;
    const tresult result =
        stream->write(const_cast<uint8_t*>(chunk.GetData()) + written, chunk.Size() - written, &n);
    if (result != kResultOk || n <= 0) return false;
    written += n;
  }
  return true;
}
