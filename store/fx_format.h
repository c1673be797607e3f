#pragma once
// Common ground of FXP program and FXB bank files: header fields (32-bit big-endian), the chunk
// version header in front of chunk payloads (little-endian), and whole-file reading and writing.
#include "framework/core/byte_chunk.h"
#include "framework/core/plugin_config.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace fx {

constexpr int32_t kChunkMagic = FourCC('C', 'c', 'n', 'K');
constexpr int32_t kProgramChunkType = FourCC('F', 'P', 'C', 'h');
constexpr int32_t kProgramParamsType = FourCC('F', 'x', 'C', 'k');
constexpr int32_t kBankChunkType = FourCC('F', 'B', 'C', 'h');
constexpr int32_t kBankParamsType = FourCC('F', 'x', 'B', 'k');

// Chunk version header, stored in the byte chunk's native little-endian order.
constexpr int32_t kVersionHeaderMagic = 0x70666674;
constexpr int32_t kVersionHeaderVersion = 0x00010000;
constexpr int kVersionHeaderSize = 8;

constexpr int kProgramNameSize = 28;

// Programs and banks of this kind are kilobytes; anything this large is not one of them.
constexpr size_t kMaxFileSize = 64u << 20;

// The file's version field: major * 10000 + minor * 100 + bugfix of the vendor version
// 0xMMMMmmbb.
int32_t FileVersion(const Config& config);

// A read-only view of file bytes; every read is bounds-checked.
class ByteView {
public:
  ByteView(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  size_t Size() const { return mSize; }
  const uint8_t* Data() const { return mData; }
  bool Has(size_t offset, size_t n) const { return offset <= mSize && n <= mSize - offset; }
  // False (value untouched) when the field lies beyond the end.
  bool ReadBE32(size_t offset, int32_t& value) const;
  bool ReadLE32(size_t offset, int32_t& value) const;
  bool ReadBEFloat(size_t offset, float& value) const;
  // A fixed-size name field, up to its first zero byte.
  std::string ReadName(size_t offset, size_t fieldSize) const;

private:
  const uint8_t* mData;
  size_t mSize;
};

void AppendBE32(IByteChunk& out, int32_t value);
void AppendVersionHeader(IByteChunk& out);
// The fields both file kinds start with, up to the program count (banks) or the parameter
// count (programs), for a chunk form whose chunk starts at chunkOffset.
void AppendHeader(IByteChunk& out, int32_t type, int32_t formatVersion, const Config& config,
                  int32_t count, size_t chunkOffset, const IByteChunk& payload);
// The chunk: its size, the version header and the payload.
void AppendChunk(IByteChunk& out, const IByteChunk& payload);
// The name cut to fieldSize - 1 bytes (never inside a UTF-8 character), zero-padded.
void AppendName(IByteChunk& out, const std::string& name, size_t fieldSize);

// The payload offset of a chunk form whose chunk starts at chunkStart, its size field just in
// front: after the version header when one is there. False when the chunk is larger than what
// follows, which means the file was cut short.
bool ChunkPayloadStart(const ByteView& file, size_t chunkStart, size_t& payloadStart);

// Reads a whole file of at most kMaxFileSize bytes.
bool ReadWholeFile(const std::string& path, IByteChunk& out);
// Writes through a temporary file in the same folder and renames it over the target, so a
// failed write leaves an existing file as it was.
bool WriteWholeFile(const std::string& path, const IByteChunk& bytes);

} // namespace fx
