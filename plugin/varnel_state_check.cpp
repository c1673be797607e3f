// Whether a state chunk is whole, checked before anything of it is applied: marker, program
// index and name (when the marker is there), then every value.
#include "plugin/varnel.h"

namespace {
constexpr int kMagicLength = 12; // "Varnel_1.1.1"
} // namespace

int Varnel::StateEnd(const IByteChunk& chunk, int startPos) const {
  int pos = startPos;
  int32_t nameLength = 0;
  if (isNewVersion_1_1_1(chunk, startPos)) {
    int32_t program = 0;
    pos = chunk.ReadValue(&program, startPos + kMagicLength);
    if (pos >= 0) pos = chunk.ReadValue(&nameLength, pos);
    if (nameLength < 0) return -1;
  }
  if (pos < 0) return -1;
  const int64_t end = static_cast<int64_t>(pos) + nameLength + 8 * static_cast<int64_t>(kNumParams);
  return end <= chunk.Size() ? static_cast<int>(end) : -1;
}
