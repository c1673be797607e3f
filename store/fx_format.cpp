#include "store/fx_format.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fx {

int32_t FileVersion(const Config& config) {
  const auto v = static_cast<uint32_t>(config.vendorVersion);
  return static_cast<int32_t>((v >> 16) * 10000 + ((v >> 8) & 0xFF) * 100 + (v & 0xFF));
}

bool ByteView::ReadBE32(size_t offset, int32_t& value) const {
  if (!Has(offset, 4)) return false;
  const uint8_t* p = mData + offset;
  value = static_cast<int32_t>((static_cast<uint32_t>(p[0]) << 24) |
                               (static_cast<uint32_t>(p[1]) << 16) |
                               (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]));
  return true;
}

bool ByteView::ReadLE32(size_t offset, int32_t& value) const {
  if (!Has(offset, 4)) return false;
  const uint8_t* p = mData + offset;
  value = static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                               (static_cast<uint32_t>(p[2]) << 16) |
                               (static_cast<uint32_t>(p[3]) << 24));
  return true;
}

bool ByteView::ReadBEFloat(size_t offset, float& value) const {
  int32_t bits = 0;
  if (!ReadBE32(offset, bits)) return false;
  std::memcpy(&value, &bits, sizeof(value));
  return true;
}

std::string ByteView::ReadName(size_t offset, size_t fieldSize) const {
  if (!Has(offset, fieldSize)) return "";
  const char* text = reinterpret_cast<const char*>(mData + offset);
  return std::string(text, strnlen(text, fieldSize));
}

void AppendBE32(IByteChunk& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                            static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
  out.AppendBytes(bytes, 4);
}

void AppendVersionHeader(IByteChunk& out) {
  out.AppendValue(&kVersionHeaderMagic);
  out.AppendValue(&kVersionHeaderVersion);
}

namespace {
int32_t chunkSize(const IByteChunk& payload) {
  return kVersionHeaderSize + payload.Size();
}
} // namespace

void AppendHeader(IByteChunk& out, int32_t type, int32_t formatVersion, const Config& config,
                  int32_t count, size_t chunkOffset, const IByteChunk& payload) {
  AppendBE32(out, kChunkMagic);
  // The total length, not the length after this field: files written so rely on it.
  AppendBE32(out, chunkSize(payload) + static_cast<int32_t>(chunkOffset));
  AppendBE32(out, type);
  AppendBE32(out, formatVersion);
  AppendBE32(out, config.uniqueID);
  AppendBE32(out, FileVersion(config));
  AppendBE32(out, count);
}

void AppendChunk(IByteChunk& out, const IByteChunk& payload) {
  AppendBE32(out, chunkSize(payload));
  AppendVersionHeader(out);
  out.AppendBytes(payload.GetData(), payload.Size());
}

void AppendName(IByteChunk& out, const std::string& name, size_t fieldSize) {
  size_t n = std::min(name.size(), fieldSize - 1);
  // A cut before a continuation byte would split a character: cut before its lead byte.
  if (n < name.size())
    while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
  n = strnlen(name.c_str(), n);
  out.AppendBytes(name.data(), static_cast<int>(n));
  const std::string padding(fieldSize - n, '\0');
  out.AppendBytes(padding.data(), static_cast<int>(padding.size()));
}

bool ChunkPayloadStart(const ByteView& file, size_t chunkStart, size_t& payloadStart) {
  int32_t size = 0;
  if (chunkStart < 4 || !file.ReadBE32(chunkStart - 4, size) || size < 0 ||
      !file.Has(chunkStart, static_cast<size_t>(size)))
    return false;
  int32_t magic = 0;
  if (file.ReadLE32(chunkStart, magic) && magic == kVersionHeaderMagic) {
    if (!file.Has(chunkStart, kVersionHeaderSize)) return false;
    payloadStart = chunkStart + kVersionHeaderSize;
  } else {
    payloadStart = chunkStart;
  }
  return true;
}

bool ReadWholeFile(const std::string& path, IByteChunk& out) {
  out.Clear();
  if (path.empty()) return false;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::string bytes;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const size_t n = std::fread(buffer, 1, sizeof(buffer), file);
    if (n > 0) {
      if (bytes.size() + n > kMaxFileSize) {
        ok = false;
        break;
      }
      bytes.append(buffer, n);
    }
    if (n < sizeof(buffer)) {
      ok = !std::ferror(file); // a folder opens but cannot be read
      break;
    }
  }
  std::fclose(file);
  if (!ok) return false;
  out.AppendBytes(bytes.data(), static_cast<int>(bytes.size()));
  return true;
}

namespace {
bool writeAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}
} // namespace

bool WriteWholeFile(const std::string& path, const IByteChunk& bytes) {
  if (path.empty() || path.back() == '/') return false;
  // Saving over a link replaces the file it points to, as writing in place would.
  std::string target = path;
  struct stat status {};
  if (::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  const bool keepMode = ::stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode);
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

  // A name of our own next to the target; O_EXCL keeps two writers from sharing one.
  static std::atomic<int> counter{0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = folder + "." + base + ".new" + std::to_string(::getpid()) + "_" +
           std::to_string(counter.fetch_add(1, std::memory_order_relaxed));
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = !keepMode || ::fchmod(fd, status.st_mode & 07777) == 0;
  ok = writeAll(fd, bytes.GetData(), static_cast<size_t>(bytes.Size())) && ok;
  ok = (::fsync(fd) == 0) && ok;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = std::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

} // namespace fx
