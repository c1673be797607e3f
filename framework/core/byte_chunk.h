#pragma once
// Growable byte buffer for saved state: values in native (little-endian) byte order.
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

class IByteChunk {
public:
  template <typename T> int AppendValue(const T* value) {
    static_assert(std::is_trivially_copyable<T>::value, "scalar values only");
    return AppendBytes(value, static_cast<int>(sizeof(T)));
  }

  int AppendBytes(const void* bytes, int n);
  int AppendString(const std::string& text);

  // Returns the position after the value, or -1 (value untouched) when it does not fit.
  template <typename T> int ReadValue(T* value, int pos) const {
    static_assert(std::is_trivially_copyable<T>::value, "scalar values only");
    const int n = static_cast<int>(sizeof(T));
    if (pos < 0 || static_cast<int64_t>(pos) + n > Size()) return -1;
    std::memcpy(value, mBytes.data() + pos, sizeof(T));
    return pos + n;
  }
  int ReadString(std::string& text, int pos) const;

  int Size() const { return static_cast<int>(mBytes.size()); }
  const uint8_t* GetData() const { return mBytes.data(); }
  uint8_t* GetData() { return mBytes.data(); }
  void Clear() { mBytes.clear(); }
  void Resize(int n) { mBytes.resize(n > 0 ? static_cast<size_t>(n) : 0u); }
  // Storage for n bytes, so that appending up to there never allocates; Clear keeps it.
  void Reserve(int n) { mBytes.reserve(n > 0 ? static_cast<size_t>(n) : 0u); }
  bool IsEqual(const IByteChunk& other) const { return mBytes == other.mBytes; }

private:
  std::vector<uint8_t> mBytes;
};
