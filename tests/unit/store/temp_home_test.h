#pragma once
// A fixture whose HOME and XDG_CONFIG_HOME point at a fresh temporary folder, removed afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

class TempHomeTest : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/varnel-store-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    mDir = pattern;
    setenv("HOME", mDir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (mDir + "/config").c_str(), 1);
  }
  void TearDown() override {
    const std::string command = "rm -rf '" + mDir + "'";
    (void)std::system(command.c_str());
  }

  std::string mDir;
};
