#include "framework/platform/paths.h"

#include "tests/unit/platform/temp_environment.h"

#include <sys/stat.h>

namespace {

class PathsTest : public TempEnvironmentTest {};

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

TEST_F(PathsTest, SettingsFolderFollowsXdgConfigHomeOnlyWhenAbsolute) {
  EXPECT_EQ(SettingsFolderPath("Vellsound"), mDir + "/config/Vellsound");
  setenv("XDG_CONFIG_HOME", "relative/config", 1);
  EXPECT_EQ(SettingsFolderPath("Vellsound"), mDir + "/home/.config/Vellsound");
  setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(SettingsFolderPath("Vellsound"), mDir + "/home/.config/Vellsound");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", (mDir + "/home/").c_str(), 1);
  EXPECT_EQ(SettingsFolderPath("Vellsound"), mDir + "/home/.config/Vellsound");
  EXPECT_EQ(HomeFolder(), mDir + "/home/");
}

TEST_F(PathsTest, SettingsFolderIsCreatedWithItsParents) {
  const std::string folder = SettingsFolder("Vellsound");
  EXPECT_EQ(folder, mDir + "/config/Vellsound");
  EXPECT_TRUE(IsFolder(folder));
  EXPECT_TRUE(CreateFolderWithParents(folder)); // already there

  unsetenv("XDG_CONFIG_HOME");
  EXPECT_TRUE(IsFolder(SettingsFolder("Vellsound")));
  EXPECT_TRUE(IsFolder(mDir + "/home/.config/Vellsound"));
}

TEST_F(PathsTest, UncreatableSettingsFolderIsReportedNotFatal) {
  const std::string blocker = mDir + "/file";
  FILE* f = fopen(blocker.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fclose(f);
  setenv("XDG_CONFIG_HOME", blocker.c_str(), 1); // a file where a folder should be
  EXPECT_EQ(SettingsFolder("Vellsound"), blocker + "/Vellsound");
  EXPECT_FALSE(CreateFolderWithParents(blocker + "/Vellsound"));
  EXPECT_FALSE(CreateFolderWithParents(""));
}

TEST(BundlePaths, PluginFolderIsThreeLevelsAboveTheLibraryFolder) {
  EXPECT_EQ(BundleParentOfLibrary("/usr/lib/vst3/Varnel.vst3/Contents/x86_64-linux/Varnel.so"),
            "/usr/lib/vst3/");
  EXPECT_EQ(BundleParentOfLibrary("/Varnel.vst3/Contents/x86_64-linux/Varnel.so"), "/");
  EXPECT_EQ(BundleParentOfLibrary("Varnel.so"), "");
  const std::string self = LoadedModulePath();
  ASSERT_FALSE(self.empty());
  EXPECT_EQ(self[0], '/');
  EXPECT_EQ(PluginFolder(), BundleParentOfLibrary(self));
}

} // namespace
