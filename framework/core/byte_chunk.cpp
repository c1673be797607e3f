#include "framework/core/byte_chunk.h"

int IByteChunk::AppendBytes(const void* bytes, int n) {
  if (n > 0) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    mBytes.insert(mBytes.end(), p, p + n);
  }
  return Size();
}

int IByteChunk::AppendString(const std::string& text) {
  const int32_t n = static_cast<int32_t>(text.size());
  AppendValue(&n);
  return AppendBytes(text.data(), n);
}

int IByteChunk::ReadString(std::string& text, int pos) const {
  int32_t n = 0;
  const int start = ReadValue(&n, pos);
  if (start < 0 || n < 0 || static_cast<int64_t>(start) + n > Size()) return -1;
  const char* p = reinterpret_cast<const char*>(GetData() + start);
  text.assign(p, strnlen(p, static_cast<size_t>(n)));
  return start + n;
}
