#include "store/fxb_file.h"
#include "tests/unit/file_size_limit.h"
#include "tests/unit/plugin/config_fixture.h"

#include <sys/stat.h>

using configtest::ConfigTest;
using configtest::readFile;
using configtest::writeFile;

namespace {

// A Synth whose bundle folder is chosen by the test, for the legacy configuration.
class BundleSynth : public Synth {
public:
  explicit BundleSynth(const std::string& folder) : Synth(PlugConfig(), folder) {}
  void ProcessBlock(double**, double**, int) override {}
};

std::vector<int> assigned(const Synth& plug) {
  std::vector<int> out;
  for (int n = 0; n < Synth::kNumLearnableCCs; ++n)
    if (plug.ccMap[static_cast<size_t>(n)] != -1) out.push_back(n);
  return out;
}

} // namespace

TEST_F(ConfigTest, FirstStartCreatesFolderAndEmptyFileAndKeepsInitialValues) {
  ASSERT_FALSE(std::filesystem::exists(temp.settingsFolder()));
  auto plug = makePlug();
  EXPECT_EQ(plug->iniPath, temp.iniPath());
  ASSERT_TRUE(std::filesystem::is_regular_file(temp.iniPath()));
  EXPECT_EQ(std::filesystem::file_size(temp.iniPath()), 0u);
  EXPECT_EQ(plug->homePath, temp.home());
  EXPECT_EQ(plug->programPath, temp.home());
  EXPECT_EQ(plug->editorScale, 0.5);
  EXPECT_FALSE(plug->midiThru);
  EXPECT_FALSE(plug->ignoreProgramChange);
  EXPECT_TRUE(plug->startupBank.empty());
  EXPECT_TRUE(assigned(*plug).empty());
  EXPECT_EQ(plug->pluginFolder.back(), '/');
}

TEST_F(ConfigTest, WithoutXdgConfigHomeTheFolderLiesInHomeConfig) {
  unsetenv("XDG_CONFIG_HOME");
  auto plug = makePlug();
  EXPECT_EQ(plug->iniPath, temp.home() + "/.config/Vellsound/varnel.ini");
  EXPECT_TRUE(std::filesystem::exists(plug->iniPath));
}

TEST_F(ConfigTest, ReadsEveryKey) {
  writeIni("[Startup Bank]\nFile=/banks/start.fxb\n[Editor]\nScale=0.75\n"
           "[Global]\nPath to Program Files=/patches\n"
           "[MIDI Global]\nMIDI Thru=true\nIgnore Program Change=true\n"
           "[MIDI Control]\nCC7=12\nCC20=25\n");
  auto plug = makePlug();
  EXPECT_EQ(plug->editorScale, 0.75);
  EXPECT_EQ(plug->programPath, "/patches");
  EXPECT_TRUE(plug->midiThru);
  EXPECT_TRUE(plug->ignoreProgramChange);
  EXPECT_EQ(plug->ccMap[7], 12);
  EXPECT_EQ(plug->ccMap[20], 25);
  EXPECT_EQ(assigned(*plug).size(), 2u);
  // The bank cannot be loaded: it is forgotten in memory and kept in the file.
  EXPECT_TRUE(plug->startupBank.empty());
  EXPECT_NE(ini().find("File=/banks/start.fxb"), std::string::npos);
  ASSERT_EQ(plug->loadConfig(), 0);
  EXPECT_EQ(plug->startupBank, "/banks/start.fxb");
}

TEST_F(ConfigTest, OnlyLowerCaseTrueSwitchesOn) {
  auto plug = makePlug();
  const struct {
    const char* text;
    bool on;
  } cases[] = {{"true", true}, {"True", false}, {"TRUE", false},
               {"yes", false}, {"1", false},    {"false", false}};
  for (const auto& c : cases) {
    plug->midiThru = !c.on;
    plug->ignoreProgramChange = !c.on;
    writeIni(std::string("[MIDI Global]\nMIDI Thru=") + c.text +
             "\nIgnore Program Change=" + c.text + "\n");
    ASSERT_EQ(plug->loadConfig(), 0);
    EXPECT_EQ(plug->midiThru, c.on) << c.text;
    EXPECT_EQ(plug->ignoreProgramChange, c.on) << c.text;
  }
  // A missing key keeps the current value.
  plug->midiThru = true;
  writeIni("[MIDI Global]\n");
  plug->loadConfig();
  EXPECT_TRUE(plug->midiThru);
}

TEST_F(ConfigTest, ControllerLines) {
  auto plug = makePlug();
  const struct {
    const char* line; // nullptr: no line for CC7
    int expected;
  } cases[] = {{"CC7=12", 12}, {"CC7=0", 0},      {"CC7=abc", -1}, {"CC7=", 5},
               {nullptr, -1},  {"CC7=12abc", 12}, {"CC7=-0", -1},  {"cc7=3", 3}};
  for (const auto& c : cases) {
    plug->ccMap[7] = 5;
    writeIni(std::string("[MIDI Control]\n") + (c.line ? c.line : "CC8=1") + "\n");
    ASSERT_EQ(plug->loadConfig(), 0);
    EXPECT_EQ(plug->ccMap[7], c.expected) << (c.line ? c.line : "(none)");
  }
}

TEST_F(ConfigTest, BadNumbersNeverCrashOrOverflow) {
  auto plug = makePlug();
  writeIni("[Editor]\nScale=nan\n[MIDI Control]\nCC1=99999999999999999999\nCC2=-7\n");
  ASSERT_EQ(plug->loadConfig(), 0);
  EXPECT_EQ(plug->editorScale, 0.0);
  EXPECT_EQ(plug->ccMap[1], INT32_MAX);
  EXPECT_EQ(plug->ccMap[2], -7);
  writeIni("[Editor]\nScale=abc\n");
  plug->loadConfig();
  EXPECT_EQ(plug->editorScale, 0.0);
  writeIni("[Editor]\nScale=1.5x\n");
  plug->loadConfig();
  EXPECT_EQ(plug->editorScale, 1.5);
}

TEST_F(ConfigTest, LongProgramPathIsReadAsItsFirst63Characters) {
  const std::string path = "/" + std::string(79, 'p');
  writeIni("[Global]\nPath to Program Files=" + path + "\n");
  auto plug = makePlug();
  EXPECT_EQ(plug->programPath, path.substr(0, 63));
}

TEST_F(ConfigTest, MissingFileReturns11AndChangesNothing) {
  auto plug = makePlug();
  plug->startupBank = "/a.fxb";
  plug->ccMap[3] = 9;
  plug->midiThru = true;
  std::filesystem::remove(temp.iniPath());
  EXPECT_EQ(plug->loadConfig(), Synth::kConfigFileMissing);
  EXPECT_EQ(plug->startupBank, "/a.fxb");
  EXPECT_EQ(plug->ccMap[3], 9);
  EXPECT_TRUE(plug->midiThru);
}

TEST_F(ConfigTest, SaveAllWritesSortedSectionsAndControllers) {
  auto plug = makePlug();
  plug->startupBank = "/b/start.fxb";
  plug->editorScale = 0.75;
  plug->midiThru = true;
  plug->ccMap[7] = 12;
  plug->ccMap[12] = 0;
  plug->ccMap[100] = 123;
  ASSERT_TRUE(plug->saveConfig(-1));
  EXPECT_EQ(ini(), "[Editor]\nScale=0.750000\n\n"
                   "[MIDI Control]\nCC100=123\nCC12=0\nCC7=12\n\n"
                   "[MIDI Global]\nIgnore Program Change=false\nMIDI Thru=true\n\n"
                   "[Startup Bank]\nFile=/b/start.fxb\n\n");

  // Unassigned controllers leave the file; the section stays as a header.
  for (auto& entry : plug->ccMap) entry = -1;
  plug->startupBank.clear();
  ASSERT_TRUE(plug->saveConfig(-1));
  EXPECT_NE(ini().find("[MIDI Control]\n\n"), std::string::npos);
  EXPECT_EQ(ini().find("CC"), std::string::npos);
  EXPECT_NE(ini().find("[Startup Bank]\nFile=\n"), std::string::npos);

  // What was saved is what a new instance reads.
  plug->ccMap[33] = 44;
  plug->saveConfig(-1);
  auto again = makePlug();
  EXPECT_EQ(again->ccMap[33], 44);
  EXPECT_EQ(again->editorScale, 0.75);
  EXPECT_TRUE(again->midiThru);
}

TEST_F(ConfigTest, ScopeWritesOnlyItsKeyAndTheStartupBank) {
  const std::string before = "[Editor]\nScale=0.800000\n\n[Global]\nPath to Program Files=/p\n\n"
                             "[MIDI Control]\nCC3=4\n\n"
                             "[MIDI Global]\nIgnore Program Change=false\nMIDI Thru=false\n\n"
                             "[Startup Bank]\nFile=/old.fxb\nOther=x\n\n";
  const struct {
    int scope;
    std::string expected;
  } cases[] = {
      {22, "[Editor]\nScale=0.800000\n\n[Global]\nPath to Program Files=/p\n\n"
           "[MIDI Control]\nCC3=4\n\n"
           "[MIDI Global]\nIgnore Program Change=false\nMIDI Thru=true\n\n"
           "[Startup Bank]\nFile=/new.fxb\n\n"},
      {23, "[Editor]\nScale=0.800000\n\n[Global]\nPath to Program Files=/p\n\n"
           "[MIDI Control]\nCC3=4\n\n"
           "[MIDI Global]\nIgnore Program Change=true\nMIDI Thru=false\n\n"
           "[Startup Bank]\nFile=/new.fxb\n\n"},
      {19, "[Editor]\nScale=1.500000\n\n[Global]\nPath to Program Files=/p\n\n"
           "[MIDI Control]\nCC3=4\n\n"
           "[MIDI Global]\nIgnore Program Change=false\nMIDI Thru=false\n\n"
           "[Startup Bank]\nFile=/new.fxb\n\n"},
      {9, "[Editor]\nScale=0.800000\n\n[Global]\nPath to Program Files=/p\n\n"
          "[MIDI Control]\nCC3=4\n\n"
          "[MIDI Global]\nIgnore Program Change=false\nMIDI Thru=false\n\n"
          "[Startup Bank]\nFile=/new.fxb\n\n"},
  };
  for (const auto& c : cases) {
    writeIni(before);
    auto plug = makePlug();
    plug->startupBank = "/new.fxb";
    plug->editorScale = 1.5;
    plug->midiThru = true;
    plug->ignoreProgramChange = true;
    plug->ccMap[3] = -1;
    plug->ccMap[9] = 10;
    ASSERT_TRUE(plug->saveConfig(c.scope));
    EXPECT_EQ(ini(), c.expected) << c.scope;
  }
}

TEST_F(ConfigTest, StartupBankAndProgramPathWriters) {
  auto plug = makePlug();
  EXPECT_EQ(plug->setStartupFxb("/x/bank.fxb"), 0);
  EXPECT_EQ(plug->startupBank, "/x/bank.fxb");
  EXPECT_EQ(ini(), "[Startup Bank]\nFile=/x/bank.fxb\n\n");
  EXPECT_TRUE(plug->unsetStartupFxb());
  EXPECT_TRUE(plug->startupBank.empty());
  EXPECT_EQ(ini(), "[Startup Bank]\n\n");

  EXPECT_TRUE(plug->storeProgramPath("/patches"));
  EXPECT_EQ(plug->programPath, "/patches");
  plug->programPath = "/other";
  EXPECT_TRUE(plug->storeProgramPath());
  EXPECT_NE(ini().find("[Global]\nPath to Program Files=/other\n"), std::string::npos);

  // A line break would smuggle keys into the file.
  EXPECT_FALSE(plug->storeProgramPath("/a\n[MIDI Control]\nCC1=2"));
  EXPECT_EQ(ini().find("CC1"), std::string::npos);
}

TEST_F(ConfigTest, StartupBankIsLoadedAtConstruction) {
  const std::string bank = temp.dir + "/start.fxb";
  {
    auto source = makePlug();
    source->ModifyCurrentPreset("Startup Sound");
    ASSERT_TRUE(SaveBankAsFXB(*source, bank));
  }
  writeIni("[Startup Bank]\nFile=" + bank + "\n");
  auto plug = makePlug();
  EXPECT_EQ(plug->startupBank, bank);
  EXPECT_EQ(plug->GetPresetName(0), "Startup Sound");
}

TEST_F(ConfigTest, LegacyConfigurationIsCopiedWholeAndRead) {
  const std::string bundle = temp.dir + "/bundle/";
  const std::string legacy = "[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC5=6\n";
  writeFile(bundle + "varnel.ini", legacy);
  BundleSynth plug(bundle);
  EXPECT_EQ(readFile(temp.iniPath()), legacy);
  EXPECT_TRUE(plug.midiThru);
  EXPECT_EQ(plug.ccMap[5], 6);

  // Once the file exists, the legacy one is not looked at again.
  writeFile(bundle + "varnel.ini", "[MIDI Global]\nMIDI Thru=false\n");
  BundleSynth second(bundle);
  EXPECT_TRUE(second.midiThru);
}

TEST_F(ConfigTest, WithoutLegacyConfigurationTheNewFileStaysEmpty) {
  BundleSynth plug(temp.dir + "/nothing-here/");
  EXPECT_EQ(std::filesystem::file_size(temp.iniPath()), 0u);
}

TEST_F(ConfigTest, UnusableSettingsFolderRunsOnInitialValues) {
  // A file where the folder should be: no user, root included, can create the folder.
  writeFile(temp.dir + "/blocker", "x");
  setenv("XDG_CONFIG_HOME", (temp.dir + "/blocker").c_str(), 1);
  auto plug = makePlug();
  EXPECT_FALSE(Synth::fileExists(plug->iniPath));
  EXPECT_EQ(plug->editorScale, 0.5);
  EXPECT_EQ(plug->loadConfig(), Synth::kConfigFileMissing);
  EXPECT_FALSE(plug->configWritable());
  EXPECT_FALSE(plug->saveConfig(-1));
  EXPECT_FALSE(plug->storeProgramPath("/p"));
  EXPECT_EQ(plug->setStartupFxb("/b.fxb"), -1);
  EXPECT_EQ(plug->startupBank, "/b.fxb"); // kept in memory for this session
}

TEST_F(ConfigTest, FailedWriteIsNeitherPretendedNorKeptInMemory) {
  writeIni("[MIDI Global]\nMIDI Thru=false\n");
  auto plug = makePlug();
  plug->midiThru = true;
  {
    const FileSizeLimit diskFull(8);
    EXPECT_FALSE(plug->saveConfig(-1));
    EXPECT_FALSE(plug->saveConfig(22));
    EXPECT_FALSE(plug->storeProgramPath("/patches"));
    EXPECT_EQ(plug->setStartupFxb("/b.fxb"), -1);
  }
  EXPECT_EQ(ini(), "[MIDI Global]\nMIDI Thru=false\n");
  // The unsaved value must not linger in the profile cache either.
  ASSERT_EQ(plug->loadConfig(), 0);
  EXPECT_FALSE(plug->midiThru);
}

TEST_F(ConfigTest, MidiThruPassesMessagesOnlyWhenOn) {
  auto plug = makePlug();
  IMidiMsg msg;
  msg.status = 0x90;
  msg.data1 = 60;
  msg.data2 = 100;
  plug->ProcessMidiMsg(msg);
  EXPECT_EQ(plug->NMidiOut(), 0);
  plug->midiThru = true;
  plug->ProcessMidiMsg(msg);
  msg.status = 0xF8; // even what the instrument itself ignores
  plug->ProcessMidiMsg(msg);
  ASSERT_EQ(plug->NMidiOut(), 2);
  EXPECT_EQ(plug->MidiOut()[0].status, 0x90);
  EXPECT_EQ(plug->MidiOut()[1].status, 0xF8);
}
