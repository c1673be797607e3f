#pragma once
// Points HOME and XDG_CONFIG_HOME at a fresh temporary folder for the length of a test.
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

class TempEnvironmentTest : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/varnel-platform-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    mDir = pattern;
    Save("HOME");
    Save("XDG_CONFIG_HOME");
    Save("PATH");
    Save("no_proxy");
    setenv("no_proxy", "127.0.0.1,localhost", 1); // the loopback test server, never a proxy
    setenv("HOME", (mDir + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (mDir + "/config").c_str(), 1);
  }
  void TearDown() override {
    for (const auto& [name, value] : mSaved) {
      if (value.first) {
        setenv(name.c_str(), value.second.c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    const std::string command = "rm -rf '" + mDir + "'";
    (void)std::system(command.c_str());
  }
  void Save(const char* name) {
    const char* value = std::getenv(name);
    mSaved.emplace_back(name, std::make_pair(value != nullptr, value ? value : ""));
  }

  std::string mDir;
  std::vector<std::pair<std::string, std::pair<bool, std::string>>> mSaved;
};
