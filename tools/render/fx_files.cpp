#include "tools/render/fx_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "tools/host/host_error.h"
#include "tools/render/state_chunk.h"

namespace vrender {

namespace {

using vhost::HostError;

constexpr size_t kFxpHeader = 56;  // up to the chunk size or the first value
constexpr size_t kFxbHeader = 156; // up to the chunk size or the first program
constexpr size_t kFxpNameSize = 28;

int32_t tag(const char (&t)[5]) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(t[0])) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(t[1])) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(t[2])) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(t[3])));
}

bool readBE(const std::vector<uint8_t>& b, size_t pos, int32_t& out) {
  if (pos + 4 > b.size()) return false;
  out = static_cast<int32_t>((static_cast<uint32_t>(b[pos]) << 24) |
                             (static_cast<uint32_t>(b[pos + 1]) << 16) |
                             (static_cast<uint32_t>(b[pos + 2]) << 8) | b[pos + 3]);
  return true;
}

bool readLE(const std::vector<uint8_t>& b, size_t pos, int32_t& out) {
  if (pos + 4 > b.size()) return false;
  out = static_cast<int32_t>(
      static_cast<uint32_t>(b[pos]) | (static_cast<uint32_t>(b[pos + 1]) << 8) |
      (static_cast<uint32_t>(b[pos + 2]) << 16) | (static_cast<uint32_t>(b[pos + 3]) << 24));
  return true;
}

void putBE(std::vector<uint8_t>& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putLE(std::vector<uint8_t>& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::string fixedName(const std::vector<uint8_t>& b, size_t pos, size_t size) {
  std::string name;
  for (size_t i = pos; i < pos + size && i < b.size() && b[i] != 0; ++i)
    name += static_cast<char>(b[i]);
  return name;
}

size_t skipChunkHeader(const std::vector<uint8_t>& b, size_t pos) {
  int32_t magic = 0;
  if (readLE(b, pos, magic) && static_cast<uint32_t>(magic) == kChunkHeaderMagic &&
      pos + 8 <= b.size())
    return pos + 8;
  return pos;
}

// The state chunk at pos, cut to its own length when that can be told.
std::vector<uint8_t> stateAt(const std::vector<uint8_t>& b, size_t pos, int32_t numParams) {
  if (pos >= b.size()) return {};
  const int64_t length = stateChunkLength(b, pos, numParams);
  const size_t end = length < 0 ? b.size() : pos + static_cast<size_t>(length);
  return std::vector<uint8_t>(b.begin() + static_cast<std::ptrdiff_t>(pos),
                              b.begin() + static_cast<std::ptrdiff_t>(end));
}

float readFloatBE(const std::vector<uint8_t>& b, size_t pos) {
  int32_t bits = 0;
  readBE(b, pos, bits);
  float f = 0.0f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

void checkCommon(const std::vector<uint8_t>& b, const FxIdentity& id, const std::string& what,
                 const char* kind) {
  int32_t magic = 0;
  if (!readBE(b, 0, magic) || magic != tag("CcnK"))
    throw HostError(what + " is not an " + kind + " file");
  int32_t fxId = 0;
  if (!readBE(b, 16, fxId)) throw HostError(what + " is too short for an " + kind + " file");
  if (fxId != id.fxId)
    throw HostError(what + " belongs to another plug-in (ID '" + fourCCText(fxId) +
                    "', expected '" + fourCCText(id.fxId) + "')");
}

// One parameter-list program ("FxCk") at pos; false when it is not one.
bool parseValueProgram(const std::vector<uint8_t>& b, size_t pos, const FxIdentity& id,
                       FxProgram& out) {
  int32_t magic = 0, type = 0, version = 0, count = 0;
  if (!readBE(b, pos, magic) || magic != tag("CcnK") || !readBE(b, pos + 8, type) ||
      type != tag("FxCk") || !readBE(b, pos + 12, version) || version != 1 ||
      !readBE(b, pos + 24, count) || count != id.numParams ||
      pos + kFxpHeader + 4 * static_cast<size_t>(count) > b.size())
    return false;
  out = FxProgram{};
  out.isChunk = false;
  out.name = fixedName(b, pos + 28, kFxpNameSize);
  for (int32_t i = 0; i < count; ++i)
    out.values.push_back(readFloatBE(b, pos + kFxpHeader + 4 * static_cast<size_t>(i)));
  return true;
}

} // namespace

std::string fourCCText(int32_t id) {
  std::string s;
  for (int i = 3; i >= 0; --i) {
    const char c = static_cast<char>((static_cast<uint32_t>(id) >> (8 * i)) & 0xFF);
    s += (c >= 32 && c < 127) ? c : '?';
  }
  return s;
}

int32_t fxVersionFromString(const std::string& version) {
  int parts[3] = {0, 0, 0};
  std::sscanf(version.c_str(), "%d.%d.%d", &parts[0], &parts[1], &parts[2]);
  return parts[0] * 10000 + parts[1] * 100 + parts[2];
}

FxProgram parseFxp(const std::vector<uint8_t>& b, const FxIdentity& id, const std::string& what) {
  checkCommon(b, id, what, "FXP");
  int32_t type = 0, version = 0;
  readBE(b, 8, type);
  readBE(b, 12, version);
  if (version != 1)
    throw HostError(what + " has FXP format version " + std::to_string(version) +
                    ", which is not supported");
  if (type == tag("FPCh")) {
    if (b.size() < 60) throw HostError(what + " ends before its program data");
    FxProgram p;
    p.name = fixedName(b, 28, kFxpNameSize);
    p.chunk = stateAt(b, skipChunkHeader(b, 60), id.numParams);
    return p;
  }
  if (type == tag("FxCk")) {
    FxProgram p;
    if (!parseValueProgram(b, 0, id, p)) throw HostError(what + " holds a damaged parameter list");
    return p;
  }
  throw HostError(what + " is not an FXP program (type '" + fourCCText(type) + "')");
}

FxBank parseFxb(const std::vector<uint8_t>& b, const FxIdentity& id, const std::string& what) {
  checkCommon(b, id, what, "FXB");
  int32_t type = 0, count = 0, current = 0;
  readBE(b, 8, type);
  readBE(b, 24, count);
  readBE(b, 28, current);
  FxBank bank;
  bank.currentProgram = current;
  if (type == tag("FBCh")) {
    if (b.size() < 160) throw HostError(what + " ends before its bank data");
    size_t pos = skipChunkHeader(b, 160);
    // Programs follow back to back: name length, name, initialised flag, state chunk.
    while (pos < b.size()) {
      int32_t length = 0;
      if (!readLE(b, pos, length) || length < 0 || pos + 4 + static_cast<size_t>(length) > b.size())
        break;
      FxProgram p;
      p.name = fixedName(b, pos + 4, static_cast<size_t>(length)).substr(0, 255);
      pos += 4 + static_cast<size_t>(length);
      if (pos >= b.size()) break;
      p.initialised = (b[pos++] & 1) != 0;
      if (p.initialised) {
        const int64_t stateLength = stateChunkLength(b, pos, id.numParams);
        if (stateLength < 0) break;
        p.chunk.assign(b.begin() + static_cast<std::ptrdiff_t>(pos),
                       b.begin() +
                           static_cast<std::ptrdiff_t>(pos + static_cast<size_t>(stateLength)));
        pos += static_cast<size_t>(stateLength);
      }
      bank.programs.push_back(std::move(p));
    }
    return bank;
  }
  if (type == tag("FxBk")) {
    size_t pos = kFxbHeader;
    for (int32_t i = 0; i < count; ++i) {
      FxProgram p;
      if (!parseValueProgram(b, pos, id, p))
        throw HostError(what + ": program " + std::to_string(i) + " of the bank is damaged");
      bank.programs.push_back(std::move(p));
      pos += kFxpHeader + 4 * static_cast<size_t>(id.numParams);
    }
    return bank;
  }
  throw HostError(what + " is not an FXB bank (type '" + fourCCText(type) + "')");
}

std::vector<uint8_t> readFile(const std::string& path, const std::string& kind) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    throw HostError("cannot read " + kind + " " + path + ": no such file");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw HostError("cannot read " + kind + " " + path + ": " + std::strerror(errno));
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  if (in.bad()) throw HostError("cannot read " + kind + " " + path);
  return bytes;
}

FxProgram readFxp(const std::string& path, const FxIdentity& id) {
  return parseFxp(readFile(path, "program file"), id, path);
}

FxBank readFxb(const std::string& path, const FxIdentity& id) {
  return parseFxb(readFile(path, "bank file"), id, path);
}

std::vector<uint8_t> buildFxp(const FxIdentity& id, const std::string& name,
                              const std::vector<uint8_t>& stateChunk) {
  const int32_t size = static_cast<int32_t>(stateChunk.size() + 8);
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(size) + 60);
  putBE(out, tag("CcnK"));
  putBE(out, size + 60);
  putBE(out, tag("FPCh"));
  putBE(out, 1);
  putBE(out, id.fxId);
  putBE(out, id.fxVersion);
  putBE(out, id.numParams);
  for (size_t i = 0; i < kFxpNameSize; ++i)
    out.push_back(i < kFxpNameSize - 1 && i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
  putBE(out, size);
  putLE(out, static_cast<int32_t>(kChunkHeaderMagic));
  putLE(out, kChunkHeaderVersion);
  out.insert(out.end(), stateChunk.begin(), stateChunk.end());
  return out;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) throw HostError("cannot write " + path + ": " + std::strerror(errno));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      const int err = errno;
      ::close(fd);
      std::remove(temp.c_str());
      throw HostError("cannot write " + path + ": " + std::strerror(err));
    }
    done += static_cast<size_t>(n);
  }
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  if (::close(fd) != 0 || std::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    std::remove(temp.c_str());
    throw HostError("cannot write " + path + ": " + std::strerror(err));
  }
}

} // namespace vrender
