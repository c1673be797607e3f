#include "framework/platform/paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ParentOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return std::string();
  return path.substr(0, slash == 0 ? 1 : slash);
}

} // namespace

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home ? home : "";
}

std::string SettingsFolderPath(const std::string& vendor) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/" + vendor;
  std::string home = HomeFolder();
  if (home.empty()) {
    // A host started without HOME still has a user with a home folder.
    struct passwd entry, *found = nullptr;
    std::vector<char> buffer(16384);
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir)
      home = found->pw_dir;
  }
  if (home.empty() || home[0] != '/') return std::string();
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  if (home == "/") home.clear();
  return home + "/.config/" + vendor;
}

bool CreateFolderWithParents(const std::string& path) {
  if (path.empty()) return false;
  if (IsFolder(path)) return true;
  const std::string parent = ParentOf(path);
  if (!parent.empty() && parent != path && !CreateFolderWithParents(parent)) return false;
  // Folders we add for the user's settings are private to the user.
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  return IsFolder(path);
}

std::string SettingsFolder(const std::string& vendor) {
  const std::string path = SettingsFolderPath(vendor);
  CreateFolderWithParents(path);
  return path;
}

std::string BundleParentOfLibrary(const std::string& libraryPath) {
  std::string folder = libraryPath;
  for (int level = 0; level < 4; ++level) {
    const size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos) return std::string();
    folder.resize(slash);
  }
  return folder + "/";
}

std::string LoadedModulePath() {
  Dl_info info;
  if (dladdr(reinterpret_cast<const void*>(&LoadedModulePath), &info) == 0 || !info.dli_fname)
    return std::string();
  char resolved[PATH_MAX];
  if (realpath(info.dli_fname, resolved)) return resolved;
  return info.dli_fname;
}

std::string PluginFolder() {
  return BundleParentOfLibrary(LoadedModulePath());
}
