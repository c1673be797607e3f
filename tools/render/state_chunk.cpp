#include "tools/render/state_chunk.h"

#include <cstring>

namespace vrender {

namespace {

bool readInt32(const std::vector<uint8_t>& bytes, size_t pos, int32_t& out) {
  if (pos + 4 > bytes.size()) return false;
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | bytes[pos + static_cast<size_t>(i)];
  out = static_cast<int32_t>(v);
  return true;
}

void appendInt32(std::vector<uint8_t>& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool markerAt(const std::vector<uint8_t>& bytes, size_t pos) {
  return pos + kStateMarkerLength <= bytes.size() &&
         std::memcmp(bytes.data() + pos, kStateMarker, kStateMarkerLength) == 0;
}

} // namespace

int64_t stateChunkLength(const std::vector<uint8_t>& bytes, size_t pos, int32_t numParams) {
  const int64_t values = 8ll * numParams;
  int64_t length = values;
  if (markerAt(bytes, pos)) {
    int32_t nameLength = 0;
    if (!readInt32(bytes, pos + kStateMarkerLength + 4, nameLength) || nameLength < 0) return -1;
    length = static_cast<int64_t>(kStateMarkerLength) + 8 + nameLength + values;
  }
  if (static_cast<int64_t>(pos) + length > static_cast<int64_t>(bytes.size())) return -1;
  return length;
}

bool hasStateMarker(const std::vector<uint8_t>& chunk) {
  return markerAt(chunk, 0);
}

std::string stateProgramName(const std::vector<uint8_t>& chunk) {
  int32_t n = 0;
  if (!markerAt(chunk, 0) || !readInt32(chunk, kStateMarkerLength + 4, n) || n < 0)
    return std::string();
  const size_t start = kStateMarkerLength + 8;
  if (start + static_cast<size_t>(n) > chunk.size()) return std::string();
  std::string name(chunk.begin() + static_cast<std::ptrdiff_t>(start),
                   chunk.begin() + static_cast<std::ptrdiff_t>(start + static_cast<size_t>(n)));
  const size_t zero = name.find('\0');
  return zero == std::string::npos ? name : name.substr(0, zero);
}

std::vector<uint8_t> withProgram(const std::vector<uint8_t>& chunk, int32_t index,
                                 const std::string& name) {
  int32_t oldLength = 0;
  if (!markerAt(chunk, 0) || !readInt32(chunk, kStateMarkerLength + 4, oldLength) ||
      oldLength < 0 || kStateMarkerLength + 8 + static_cast<size_t>(oldLength) > chunk.size())
    return chunk;
  std::vector<uint8_t> out(chunk.begin(), chunk.begin() + kStateMarkerLength);
  appendInt32(out, index);
  appendInt32(out, static_cast<int32_t>(name.size()));
  out.insert(out.end(), name.begin(), name.end());
  out.insert(out.end(),
             chunk.begin() + static_cast<std::ptrdiff_t>(kStateMarkerLength + 8 +
                                                         static_cast<size_t>(oldLength)),
             chunk.end());
  return out;
}

std::vector<uint8_t> hostState(const std::vector<uint8_t>& chunk) {
  std::vector<uint8_t> out = chunk;
  appendInt32(out, 0);
  return out;
}

std::vector<uint8_t> chunkOfHostState(const std::vector<uint8_t>& state) {
  if (state.size() < 4) return {};
  return std::vector<uint8_t>(state.begin(), state.end() - 4);
}

} // namespace vrender
