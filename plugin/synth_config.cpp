// The configuration file "varnel.ini": where it lives, first start, reading and writing.
// Runs at construction and on the user-interface thread; the audio thread only reads the
// atomic MIDI switches and controller table.
#include "framework/platform/paths.h"
#include "plugin/synth.h"
#include "store/atomic_file_write.h"
#include "store/profile_store.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kVendorFolder = "Vellsound";
constexpr const char* kIniName = "varnel.ini";
constexpr const char* kStartupSection = "Startup Bank";
constexpr const char* kEditorSection = "Editor";
constexpr const char* kGlobalSection = "Global";
constexpr const char* kMidiGlobalSection = "MIDI Global";
constexpr const char* kMidiControlSection = "MIDI Control";
constexpr const char* kProgramPathKey = "Path to Program Files";
constexpr const char* kMidiThruKey = "MIDI Thru";
constexpr const char* kIgnoreProgramChangeKey = "Ignore Program Change";
constexpr int kLongValueSize = 1023;
constexpr int kShortValueSize = 64;
// A legacy configuration is a small text file; anything larger is not one.
constexpr size_t kMaxLegacyBytes = 1 << 20;

enum SaveScope { kSaveAll = -1, kSaveWindowSize = 19, kSaveMidiThru = 22, kSaveIgnorePC = 23 };

std::string readValue(const char* section, const char* key, const char* fallback, int size,
                      const std::string& path) {
  char buffer[kLongValueSize + 1];
  GetPrivateProfileString(section, key, fallback, buffer, size, path.c_str());
  return buffer;
}

// A line break inside a value would turn the rest of it into keys of its own.
bool storable(const std::string& value) {
  return value.find_first_of("\r\n") == std::string::npos;
}

// The leading decimal number, read the same whatever locale the host has set.
double leadingNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  double value = 0.0;
  const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                      std::chars_format::general);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
  return value;
}

// The leading integer as atoi reads it, kept within int.
int leadingInteger(const std::string& text) {
  errno = 0;
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::string formatScale(double scale) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof(buffer) - 1, scale, std::chars_format::fixed, 6);
  if (result.ec != std::errc()) return "0.500000";
  *result.ptr = '\0';
  return buffer;
}

// The legacy file's bytes; false when there is none to take over.
bool readLegacyFile(const std::string& path, std::string& content) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<size_t>(st.st_size) > kMaxLegacyBytes) {
    close(fd);
    return false;
  }
  content.clear();
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof(buffer));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return false;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<size_t>(n));
    if (content.size() > kMaxLegacyBytes) {
      close(fd);
      return false;
    }
  }
  close(fd);
  return true;
}

bool createEmptyFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  close(fd);
  return true;
}

} // namespace

bool Synth::fileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0;
}

void Synth::setUpConfiguration() {
  homePath = HomeFolder();
  programPath = homePath;
  const std::string folder = SettingsFolder(kVendorFolder);
  if (folder.empty()) return; // no home and no user entry: run with the initial values
  iniPath = folder + "/" + kIniName;
  if (fileExists(iniPath)) {
    loadConfig();
    return;
  }
  std::string legacy;
  if (!pluginFolder.empty() && readLegacyFile(pluginFolder + kIniName, legacy)) {
    // Taken over whole or not at all, then read like our own.
    if (WriteFileAtomically(iniPath, legacy)) loadConfig();
    return;
  }
  createEmptyFile(iniPath);
}

int Synth::loadConfig() {
  if (!fileExists(iniPath)) return kConfigFileMissing;

  startupBank = readValue(kStartupSection, "File", "", kLongValueSize, iniPath);

  const std::string scale = readValue(kEditorSection, "Scale", "", kLongValueSize, iniPath);
  if (!scale.empty()) {
    editorScale = leadingNumber(scale);
    if (editorScale > 0.0) resizeUI();
  }

  const std::string path = readValue(kGlobalSection, kProgramPathKey, "", kShortValueSize, iniPath);
  if (!path.empty()) programPath = path;

  const auto readSwitch = [this](const char* key, std::atomic<bool>& value) {
    const std::string text =
        readValue(kMidiGlobalSection, key, value ? "true" : "false", kShortValueSize, iniPath);
    if (!text.empty()) value = text == "true";
  };
  readSwitch(kMidiThruKey, midiThru);
  readSwitch(kIgnoreProgramChangeKey, ignoreProgramChange);

  for (int n = 0; n < kNumLearnableCCs; ++n) {
    char key[16];
    std::snprintf(key, sizeof(key), "CC%i", n);
    const std::string text = readValue(kMidiControlSection, key, "-1", kShortValueSize, iniPath);
    if (text.empty()) continue;
    const int v = leadingInteger(text);
    ccMap[static_cast<size_t>(n)].store(v == 0 && text[0] != '0' ? -1 : v,
                                        std::memory_order_relaxed);
  }
  return 0;
}

bool Synth::configWritable() const {
  if (iniPath.empty()) return false;
  const std::string folder = iniPath.substr(0, iniPath.find_last_of('/'));
  struct stat st;
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || access(folder.c_str(), W_OK) != 0)
    return false;
  if (stat(iniPath.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode) && access(iniPath.c_str(), W_OK) == 0;
}

bool Synth::saveStartupFxb() {
  // Checked first: a write that cannot reach the file must not linger in the profile cache.
  if (!configWritable() || !storable(startupBank)) return false;
  std::string data = "File=" + startupBank;
  data.push_back('\0');
  return WritePrivateProfileSection(kStartupSection, data.c_str(), iniPath.c_str());
}

int Synth::setStartupFxb(const std::string& path) {
  startupBank = path;
  return saveStartupFxb() ? 0 : -1;
}

bool Synth::unsetStartupFxb() {
  startupBank.clear();
  if (!configWritable()) return false;
  return WritePrivateProfileSection(kStartupSection, "", iniPath.c_str());
}

bool Synth::saveConfig(int scope) {
  if (!configWritable()) return false;
  bool ok = saveStartupFxb();
  const char* ini = iniPath.c_str();
  if (scope == kSaveAll || scope == kSaveWindowSize)
    ok &= WritePrivateProfileString(kEditorSection, "Scale",
                                    formatScale(currentEditorScale()).c_str(), ini);
  if (scope == kSaveAll || scope == kSaveMidiThru)
    ok &= WritePrivateProfileString(kMidiGlobalSection, kMidiThruKey, midiThru ? "true" : "false",
                                    ini);
  if (scope == kSaveAll || scope == kSaveIgnorePC)
    ok &= WritePrivateProfileString(kMidiGlobalSection, kIgnoreProgramChangeKey,
                                    ignoreProgramChange ? "true" : "false", ini);
  if (scope == kSaveAll) {
    // Emptied and refilled in one write, so removed assignments leave the file.
    std::string data;
    for (int n = 0; n < kNumLearnableCCs; ++n) {
      const int param = ccMap[static_cast<size_t>(n)].load(std::memory_order_relaxed);
      if (param < 0) continue;
      data += "CC" + std::to_string(n) + "=" + std::to_string(param);
      data.push_back('\0');
    }
    ok &= WritePrivateProfileSection(kMidiControlSection, data.c_str(), ini);
  }
  return ok;
}

bool Synth::storeProgramPath(const char* path) {
  if (path) programPath = path;
  if (!configWritable() || !storable(programPath)) return false;
  return WritePrivateProfileString(kGlobalSection, kProgramPathKey, programPath.c_str(),
                                   iniPath.c_str());
}
