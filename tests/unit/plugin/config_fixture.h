#pragma once
// Tests of the configuration and the commands run with HOME and XDG_CONFIG_HOME in a fresh
// temporary folder, and answer dialogs through the scripted stand-in.
#include "framework/platform/scripted_dialogs.h"
#include "plugin/file_commands.h"
#include "plugin/varnel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace configtest {

// Points HOME and XDG_CONFIG_HOME at a temporary folder for as long as it lives.
class TempHome {
public:
  TempHome() {
    char pattern[] = "/tmp/varnel-config-XXXXXX";
    if (mkdtemp(pattern)) dir = pattern;
    std::filesystem::create_directories(dir + "/home");
    save("HOME");
    save("XDG_CONFIG_HOME");
    setenv("HOME", home().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
  }
  ~TempHome() {
    for (const auto& [name, value] : mSaved) {
      if (value.first) {
        setenv(name.c_str(), value.second.c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    std::error_code ignored;
    // Read-only files and folders made by a test must not stop the clean-up.
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(dir, ignored);
  }
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  std::string home() const { return dir + "/home"; }
  std::string settingsFolder() const { return dir + "/config/Vellsound"; }
  std::string iniPath() const { return settingsFolder() + "/varnel.ini"; }

  std::string dir;

private:
  void save(const char* name) {
    const char* value = std::getenv(name);
    mSaved.emplace_back(name, std::make_pair(value != nullptr, value ? value : ""));
  }
  std::vector<std::pair<std::string, std::pair<bool, std::string>>> mSaved;
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

class ConfigTest : public ::testing::Test {
protected:
  void SetUp() override { File::rememberedFolders() = File::RememberedFolders(); }
  void TearDown() override { File::rememberedFolders() = File::RememberedFolders(); }

  std::unique_ptr<Varnel> makePlug() {
    auto plug = std::make_unique<Varnel>();
    plug->setDialogs(&dialogs);
    return plug;
  }
  void writeIni(const std::string& text) { writeFile(temp.iniPath(), text); }
  std::string ini() const { return readFile(temp.iniPath()); }
  std::vector<ScriptedDialogs::Call> messages() const {
    return dialogs.CallsOf(ScriptedDialogs::Kind::Message);
  }

  TempHome temp;
  ScriptedDialogs dialogs;
};

} // namespace configtest
