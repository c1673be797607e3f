#include "store/profile_store.h"

#include "store/atomic_file_write.h"
#include "store/ini_parser.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kCacheSlots = 32;
constexpr size_t kSectionStringMax = 8191;

// What tells a changed file from the one we parsed. Nanoseconds and the inode catch edits that
// whole seconds and the size alone would miss (an edit by another program within the same second).
struct FileStamp {
  int64_t mtimeNs = 0;
  int64_t size = 0;
  uint64_t inode = 0;
  uint64_t device = 0;
  bool operator==(const FileStamp& o) const {
    return mtimeNs == o.mtimeNs && size == o.size && inode == o.inode && device == o.device;
  }
};

FileStamp StampOf(const struct stat& st) {
  FileStamp s;
  s.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  s.size = static_cast<int64_t>(st.st_size);
  s.inode = static_cast<uint64_t>(st.st_ino);
  s.device = static_cast<uint64_t>(st.st_dev);
  return s;
}

FileStamp StampOfPath(const std::string& path) {
  struct stat st;
  // Only regular files are read; anything else counts as missing.
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? StampOf(st) : FileStamp();
}

struct IniFileContext {
  uint64_t accessStamp = 0;
  FileStamp fileStamp;
  bool used = false;
  std::string path;
  IniSections sections;
};

struct ProfileCache {
  IniFileContext slots[kCacheSlots];
  uint64_t accessCounter = 0;
  std::recursive_mutex mutex;
};

// One per loaded library; a host that unloads the plug-in gets its memory back.
ProfileCache& Cache() {
  static ProfileCache cache;
  return cache;
}

void Reload(IniFileContext& context) {
  context.sections.clear();
  context.fileStamp = FileStamp();
  // Non-blocking open: a FIFO or device in the file's place must not hang the caller.
  const int fd = open(context.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  struct stat st;
  std::FILE* file = nullptr;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !(file = fdopen(fd, "r"))) {
    close(fd);
    return;
  }
  flock(fd, LOCK_SH);
  ParseIniFile(file, context.sections);
  if (fstat(fd, &st) == 0) context.fileStamp = StampOf(st);
  flock(fd, LOCK_UN);
  std::fclose(file);
}

// Paths are compared exactly: Linux file names are case-sensitive.
IniFileContext* GetFileContext(const char* path) {
  if (!path || !*path) return nullptr;
  ProfileCache& cache = Cache();
  IniFileContext* slot = nullptr;
  for (IniFileContext& candidate : cache.slots) {
    if (!candidate.used || candidate.path == path) {
      slot = &candidate;
      break;
    }
  }
  if (!slot) {
    slot = &cache.slots[0];
    for (IniFileContext& candidate : cache.slots)
      if (candidate.accessStamp < slot->accessStamp) slot = &candidate;
  }
  slot->accessStamp = ++cache.accessCounter;
  if (slot->used && slot->path == path && StampOfPath(slot->path) == slot->fileStamp) return slot;
  slot->used = true;
  slot->path = path;
  Reload(*slot);
  return slot;
}

// False when the file could not be replaced (disk full, I/O error, failed rename). The slot is
// then emptied, so the next read sees the file as it is, not a change that never reached it.
bool WriteBackFile(IniFileContext& context) {
  if (WriteFileAtomically(context.path, FormatIniText(context.sections))) {
    context.fileStamp = StampOfPath(context.path);
    return true;
  }
  context.used = false;
  context.path.clear();
  context.sections.clear();
  context.fileStamp = FileStamp();
  return false;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

} // namespace

int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                            char* buffer, int size, const char* path) {
  if (!buffer || size <= 0) return 0;
  std::string value = defaultValue ? defaultValue : "";
  {
    std::lock_guard<std::recursive_mutex> lock(Cache().mutex);
    IniFileContext* context = GetFileContext(path);
    if (context && section && key) {
      const auto s = context->sections.find(section);
      if (s != context->sections.end()) {
        const auto k = s->second.find(key);
        if (k != s->second.end()) {
          const std::string& stored = k->second;
          size_t begin = 0, end = stored.size();
          while (begin < end && IsBlank(stored[begin])) ++begin;
          while (end > begin && IsBlank(stored[end - 1])) --end;
          if (end - begin >= 2 && (stored[begin] == '"' || stored[begin] == '\'') &&
              stored[end - 1] == stored[begin]) {
            ++begin;
            --end;
          }
          value.assign(stored, begin, end - begin);
        }
      }
    }
  }
  const size_t n =
      value.size() < static_cast<size_t>(size - 1) ? value.size() : static_cast<size_t>(size - 1);
  std::memcpy(buffer, value.data(), n);
  buffer[n] = 0;
  return static_cast<int>(n);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* path) {
  if (!section || (key && !*key)) return false;
  std::lock_guard<std::recursive_mutex> lock(Cache().mutex);
  IniFileContext* context = GetFileContext(path);
  if (!context) return false;
  IniSections& sections = context->sections;
  auto s = sections.find(section);
  if (!key) {
    if (s == sections.end()) return true;
    sections.erase(s);
  } else if (!value) {
    if (s == sections.end()) return true;
    const auto k = s->second.find(key);
    if (k == s->second.end()) return true;
    s->second.erase(k);
  } else {
    if (s == sections.end()) s = sections.emplace(section, IniKeyMap()).first;
    const auto k = s->second.find(key);
    if (k == s->second.end()) {
      s->second.emplace(key, value);
    } else {
      if (k->second == value) return true;
      k->second = value;
    }
  }
  return WriteBackFile(*context);
}

bool WritePrivateProfileSection(const char* section, const char* data, const char* path) {
  if (!section) return false;
  std::lock_guard<std::recursive_mutex> lock(Cache().mutex);
  IniFileContext* context = GetFileContext(path);
  if (!context) return false;
  const bool emptyData = !data || !*data;
  auto s = context->sections.find(section);
  if (s == context->sections.end()) {
    if (emptyData) return true;
    s = context->sections.emplace(section, IniKeyMap()).first;
  } else {
    s->second.clear();
  }
  for (const char* entry = data; entry && *entry;) {
    const size_t length = std::strlen(entry);
    const std::string text(entry, length < kSectionStringMax ? length : kSectionStringMax);
    entry += length + 1;
    const size_t equals = text.find('=');
    if (equals == std::string::npos) continue;
    std::string key = text.substr(0, equals);
    auto k = s->second.find(key);
    if (k == s->second.end()) {
      s->second.emplace(std::move(key), text.substr(equals + 1));
    } else {
      k->second = text.substr(equals + 1);
    }
  }
  return WriteBackFile(*context);
}
