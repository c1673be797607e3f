#include "plugin/file_commands.h"
#include "store/fxb_file.h"
#include "store/fxp_file.h"
#include "tests/unit/file_size_limit.h"
#include "tests/unit/platform/loopback_http_server.h"
#include "tests/unit/plugin/config_fixture.h"

using configtest::ConfigTest;
using configtest::readFile;
using configtest::writeFile;
using Kind = ScriptedDialogs::Kind;

namespace {

class FileCommandsTest : public ConfigTest {
protected:
  void SetUp() override {
    ConfigTest::SetUp();
    plug = makePlug();
  }
  void run(int command) { File::runCommand(*plug, command); }
  std::vector<ScriptedDialogs::Call> calls(Kind kind) const { return dialogs.CallsOf(kind); }

  std::unique_ptr<Varnel> plug;
};

} // namespace

TEST(FileNames, IllegalCharactersBecomeUnderscores) {
  EXPECT_EQ(File::replaceIllegalFileChar("Bass: Lead/1"), "Bass_ Lead_1");
  EXPECT_EQ(File::replaceIllegalFileChar("a\"*/:<>?\\|b"), "a_________b");
  EXPECT_EQ(File::replaceIllegalFileChar("Strings & Pads"), "Strings & Pads");
}

TEST(FileNames, FolderOfAFile) {
  const struct {
    const char* file;
    const char* folder;
  } cases[] = {{"/home/u/p.fxp", "/home/u"},
               {"/home/u/sub/", "/home/u/sub"},
               {"/p.fxp", ""},
               {"p.fxp", ""},
               {"/home/u/a\\b.fxp", "/home/u"}};
  for (const auto& c : cases) {
    std::string folder = "unchanged";
    File::makeNewFilePath(folder, c.file);
    EXPECT_EQ(folder, c.folder) << c.file;
  }
}

TEST_F(FileCommandsTest, SaveProgramProposesTheCleanedNameAndLoadBringsItBack) {
  plug->ModifyCurrentPreset("Bass: Lead/1");
  plug->GetParam(kCutoff)->SetValue(0.25);
  const std::string path = temp.dir + "/progs/bass.fxp";
  std::filesystem::create_directories(temp.dir + "/progs");
  dialogs.QueuePath(path);
  run(File::kSaveProgram);
  auto saves = calls(Kind::SaveFile);
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].request.defaultName, "Bass_ Lead_1");
  EXPECT_EQ(saves[0].request.startFolder, temp.home()); // the program path at first
  EXPECT_EQ(saves[0].request.filters[0].patterns[0], "*.fxp");
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(File::rememberedFolders().pathToPrograms, temp.dir + "/progs");

  plug->GetParam(kCutoff)->SetValue(0.9);
  dialogs.QueuePath(path);
  run(File::kLoadProgram);
  EXPECT_EQ(calls(Kind::OpenFile).back().request.startFolder, temp.dir + "/progs");
  EXPECT_DOUBLE_EQ(plug->GetParam(kCutoff)->GetValue(), 0.25);
  EXPECT_TRUE(messages().empty());
}

TEST_F(FileCommandsTest, SaveBankProposesVarnelInTheFolderOfAnyInstancesLastFile) {
  auto other = makePlug();
  const std::string path = temp.dir + "/banks/x.fxb";
  std::filesystem::create_directories(temp.dir + "/banks");
  dialogs.QueuePath(path);
  File::runCommand(*other, File::kSaveBank);
  EXPECT_TRUE(std::filesystem::exists(path));

  run(File::kSaveBank); // cancelled
  const auto saves = calls(Kind::SaveFile);
  ASSERT_EQ(saves.size(), 2u);
  EXPECT_EQ(saves[1].request.defaultName, "Varnel");
  EXPECT_EQ(saves[1].request.startFolder, temp.dir + "/banks");
  EXPECT_EQ(saves[1].request.filters[0].patterns[0], "*.fxb");

  dialogs.QueuePath(path);
  run(File::kLoadBank);
  EXPECT_TRUE(messages().empty());
}

TEST_F(FileCommandsTest, CancelledDialogsChangeNothing) {
  plug->ModifyCurrentPreset("Keep");
  plug->saveConfig(-1);
  run(File::kCopyProgram); // creates the remembered folders
  const File::RememberedFolders before = File::rememberedFolders();
  const std::string iniBefore = ini();
  for (int command : {File::kLoadProgram, File::kSaveProgram, File::kLoadBank, File::kSaveBank,
                      File::kSelectStartupBank, File::kDefaultProgramPath}) {
    run(command);
    EXPECT_EQ(File::rememberedFolders().pathToPrograms, before.pathToPrograms) << command;
    EXPECT_EQ(File::rememberedFolders().pathToStartUp, before.pathToStartUp) << command;
  }
  EXPECT_EQ(ini(), iniBefore);
  EXPECT_TRUE(plug->startupBank.empty());
  EXPECT_EQ(plug->GetPresetName(0), "Keep");
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(std::filesystem::is_empty(temp.home()));
}

TEST_F(FileCommandsTest, FailedLoadsAndSavesSayWhatFailedAndRememberTheFolder) {
  const std::string bad = temp.dir + "/junk/bad.fxp";
  writeFile(bad, "not a program");
  dialogs.QueuePath(bad);
  run(File::kLoadProgram);
  dialogs.QueuePath(temp.dir + "/junk/bad.fxb");
  run(File::kLoadBank);
  dialogs.QueuePath(temp.dir + "/missing/p.fxp");
  run(File::kSaveProgram);
  dialogs.QueuePath(temp.dir + "/missing/b.fxb");
  run(File::kSaveBank);
  const auto shown = messages();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].text, "Cannot load file!");
  EXPECT_EQ(shown[1].text, "Cannot load file!");
  EXPECT_EQ(shown[2].text, "Cannot save file!");
  EXPECT_EQ(shown[3].text, "Cannot save file!");
  for (const auto& m : shown) EXPECT_EQ(m.caption, "Error");
  EXPECT_EQ(File::rememberedFolders().pathToPrograms, temp.dir + "/missing");
}

TEST_F(FileCommandsTest, ShortProgramFileIsRefusedAndKeepsTheProgram) {
  plug->GetParam(kCutoff)->SetValue(0.3);
  plug->ModifyCurrentPreset("Mine");
  plug->GetParam(kCutoff)->SetValue(0.4); // an unsaved edit
  IByteChunk whole;
  ASSERT_TRUE(MakePresetFXP(*plug, whole));
  const std::string file(reinterpret_cast<const char*>(whole.GetData()),
                         static_cast<size_t>(whole.Size()));
  const int current = plug->GetCurrentPresetIdx();
  IByteChunk stored;
  stored.AppendBytes(plug->GetPreset(current).chunk.GetData(),
                     plug->GetPreset(current).chunk.Size());

  // The size fields agree with the bytes that are there: chunk of size 0, only the version
  // header, cut inside the name, cut inside the values.
  for (const size_t chunkBytes : {size_t{0}, size_t{8}, size_t{8 + 12 + 4 + 2},
                                  static_cast<size_t>(whole.Size()) - 60 - 100}) {
    std::string shortFile = file.substr(0, 60 + chunkBytes);
    const auto putBE32 = [&](size_t at, uint32_t v) {
      for (int i = 0; i < 4; ++i) shortFile[at + i] = static_cast<char>(v >> (24 - 8 * i));
    };
    putBE32(4, static_cast<uint32_t>(shortFile.size()));
    putBE32(56, static_cast<uint32_t>(chunkBytes));
    const std::string path = temp.dir + "/short.fxp";
    writeFile(path, shortFile);
    dialogs.QueuePath(path);
    run(File::kLoadProgram);
    EXPECT_EQ(plug->GetCurrentPresetIdx(), current) << chunkBytes;
    EXPECT_EQ(plug->GetPresetName(current), "Mine") << chunkBytes;
    EXPECT_TRUE(plug->GetPreset(current).chunk.IsEqual(stored)) << chunkBytes;
    EXPECT_DOUBLE_EQ(plug->GetParam(kCutoff)->GetValue(), 0.4) << chunkBytes;
    EXPECT_DOUBLE_EQ(plug->GetParam(kFinal)->GetValue(), 0.25) << chunkBytes;
  }
  const auto shown = messages();
  ASSERT_EQ(shown.size(), 4u);
  for (const auto& m : shown) {
    EXPECT_EQ(m.text, "Cannot load file!");
    EXPECT_EQ(m.caption, "Error");
  }
}

TEST_F(FileCommandsTest, SavedFilesGetTheDialogsExtensionWhenTheNameHasNone) {
  const std::string folder = temp.dir + "/saved";
  std::filesystem::create_directories(folder);
  dialogs.QueuePath(folder + "/Varnel"); // the proposed name, accepted as it is
  run(File::kSaveBank);
  dialogs.QueuePath(folder + "/Lead 1.5"); // a program name with a dot in it
  run(File::kSaveProgram);
  dialogs.QueuePath(folder + "/Upper.FXP");
  run(File::kSaveProgram);
  EXPECT_TRUE(std::filesystem::exists(folder + "/Varnel.fxb"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/Lead 1.5.fxp"));
  EXPECT_TRUE(std::filesystem::exists(folder + "/Upper.FXP"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/Varnel"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/Lead 1.5"));
  EXPECT_TRUE(messages().empty());
  EXPECT_TRUE(calls(Kind::YesNo).empty());

  // The dialog asked about "Varnel", not about the file that would be replaced.
  writeFile(folder + "/Varnel.fxb", "an older bank");
  dialogs.QueuePath(folder + "/Varnel");
  dialogs.QueueAnswer(false);
  run(File::kSaveBank);
  EXPECT_EQ(readFile(folder + "/Varnel.fxb"), "an older bank");
  ASSERT_EQ(calls(Kind::YesNo).size(), 1u);
  EXPECT_NE(calls(Kind::YesNo)[0].text.find(folder + "/Varnel.fxb"), std::string::npos);
  dialogs.QueuePath(folder + "/Varnel");
  dialogs.QueueAnswer(true);
  run(File::kSaveBank);
  EXPECT_NE(readFile(folder + "/Varnel.fxb"), "an older bank");
}

TEST_F(FileCommandsTest, PasteAndInitAskFirst) {
  plug->GetParam(kCutoff)->SetValue(0.2);
  plug->ModifyCurrentPreset("Source");
  run(File::kCopyProgram);
  plug->GetParam(kCutoff)->SetValue(0.8);

  dialogs.QueueAnswer(false);
  run(File::kPasteProgram);
  EXPECT_DOUBLE_EQ(plug->GetParam(kCutoff)->GetValue(), 0.8);
  dialogs.QueueAnswer(true);
  run(File::kPasteProgram);
  EXPECT_DOUBLE_EQ(plug->GetParam(kCutoff)->GetValue(), 0.2);
  auto questions = calls(Kind::YesNo);
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_EQ(questions[0].text, "Do you really want to overwrite the current program?");
  EXPECT_EQ(questions[0].caption, "Paste Program");

  dialogs.QueueAnswer(false);
  run(File::kInitProgram);
  EXPECT_EQ(plug->GetPresetName(0), "Source");
  dialogs.QueueAnswer(true);
  run(File::kInitProgram);
  EXPECT_EQ(plug->GetPresetName(0), "Init");
  EXPECT_EQ(plug->GetParam(kCutoff)->GetValue(), plug->GetParam(kCutoff)->GetDefault());
  questions = calls(Kind::YesNo);
  EXPECT_EQ(questions.back().text, "Do you really want to initialize the current program?");
  EXPECT_EQ(questions.back().caption, "Initialize Program");
}

TEST_F(FileCommandsTest, StartupBankSelectLoadAndUnselect) {
  const std::string invalid = temp.dir + "/start/invalid.fxb";
  writeFile(invalid, "no bank");
  dialogs.QueuePath(invalid);
  run(File::kSelectStartupBank);
  EXPECT_TRUE(messages().empty()); // selecting never tests the file
  EXPECT_EQ(plug->startupBank, invalid);
  EXPECT_EQ(ini(), "[Startup Bank]\nFile=" + invalid + "\n\n");
  EXPECT_EQ(calls(Kind::OpenFile)[0].request.startFolder, temp.home());
  EXPECT_EQ(File::rememberedFolders().pathToStartUp, temp.dir + "/start");

  dialogs.QueueAnswer(true);
  run(File::kLoadStartupBank);
  auto question = calls(Kind::YesNo).back();
  EXPECT_EQ(question.text,
            "The Startup Bank is:\n" + invalid + "\n\nDo you really want to reload all programs?");
  EXPECT_EQ(question.caption, "Load Startup Bank");
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text, "Cannot load file!");

  run(File::kUnselectStartupBank); // not answered Yes
  EXPECT_EQ(plug->startupBank, invalid);
  dialogs.QueueAnswer(true);
  run(File::kUnselectStartupBank);
  question = calls(Kind::YesNo).back();
  EXPECT_EQ(question.text,
            "The Startup Bank is:\n" + invalid + "\n\nDo you really want to unselect it?");
  EXPECT_EQ(question.caption, "Unselect Startup Bank");
  EXPECT_TRUE(plug->startupBank.empty());
  EXPECT_EQ(ini(), "[Startup Bank]\n\n");

  // Without a startup bank the two commands are disabled.
  const size_t asked = calls(Kind::YesNo).size();
  run(File::kLoadStartupBank);
  run(File::kUnselectStartupBank);
  EXPECT_EQ(calls(Kind::YesNo).size(), asked);
}

TEST_F(FileCommandsTest, DefaultProgramPathStoresTheFolderAndCreatesNoFile) {
  const std::string folder = temp.dir + "/Patches";
  std::filesystem::create_directories(folder);
  dialogs.QueuePath(folder + "/");
  run(File::kDefaultProgramPath);
  EXPECT_EQ(calls(Kind::Folder)[0].request.startFolder, temp.home());
  EXPECT_EQ(plug->programPath, folder);
  EXPECT_EQ(File::rememberedFolders().pathToPrograms, folder);
  EXPECT_EQ(ini(), "[Global]\nPath to Program Files=" + folder + "\n\n");
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(FileCommandsTest, ReloadAndSaveConfigurationOnlyOnYes) {
  plug->midiThru = true;
  run(File::kSaveConfiguration);
  EXPECT_EQ(ini(), "");
  const auto question = calls(Kind::YesNo).back();
  EXPECT_EQ(question.text, "The INI configuration file is:\n" + temp.iniPath() +
                               "\n\nDo you really want to overwrite it?");
  EXPECT_EQ(question.caption, "Save Configuration");
  dialogs.QueueAnswer(true);
  run(File::kSaveConfiguration);
  EXPECT_NE(ini().find("MIDI Thru=true"), std::string::npos);

  plug->midiThru = false;
  run(File::kReloadConfiguration);
  EXPECT_FALSE(plug->midiThru);
  EXPECT_EQ(calls(Kind::YesNo).back().text, "The INI configuration file is:\n" + temp.iniPath() +
                                                "\n\nDo you really want to reload it?");
  EXPECT_EQ(calls(Kind::YesNo).back().caption, "Reload Configuration");
  dialogs.QueueAnswer(true);
  run(File::kReloadConfiguration);
  EXPECT_TRUE(plug->midiThru);

  std::filesystem::remove(temp.iniPath());
  dialogs.QueueAnswer(true);
  run(File::kReloadConfiguration);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text, "The INI file does not exist.");
  EXPECT_EQ(messages()[0].caption, "Problem with INI File");
}

TEST_F(FileCommandsTest, MidiSwitchesAndWindowSizeAreWrittenAtOnce) {
  run(File::kMidiThru);
  EXPECT_TRUE(plug->midiThru);
  EXPECT_NE(ini().find("MIDI Thru=true"), std::string::npos);
  run(File::kMidiThru);
  EXPECT_FALSE(plug->midiThru);
  EXPECT_NE(ini().find("MIDI Thru=false"), std::string::npos);
  run(File::kIgnoreProgramChange);
  EXPECT_TRUE(plug->ignoreProgramChange);
  EXPECT_NE(ini().find("Ignore Program Change=true"), std::string::npos);

  plug->editorScale = 0.75;
  run(File::kSaveWindowSize);
  EXPECT_NE(ini().find("[Editor]\nScale=0.750000\n"), std::string::npos);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text,
            "The current window size was saved to the INI configuration file:\n" + temp.iniPath());
  EXPECT_EQ(messages()[0].caption, "Save Window Size");
}

TEST_F(FileCommandsTest, ConfigurationThatCannotBeWrittenIsReportedNotPraised) {
  const std::string before = ini();
  {
    const FileSizeLimit diskFull(0);
    run(File::kMidiThru);
    EXPECT_TRUE(plug->midiThru); // in effect for this session
    run(File::kIgnoreProgramChange);
    run(File::kSaveWindowSize);
    dialogs.QueueAnswer(true);
    run(File::kSaveConfiguration);
  }
  EXPECT_EQ(ini(), before);
  const auto shown = messages();
  ASSERT_EQ(shown.size(), 4u);
  for (const auto& m : shown) {
    EXPECT_EQ(m.text, "Cannot write the INI configuration file:\n" + temp.iniPath());
    EXPECT_EQ(m.caption, "Error");
  }
}

TEST_F(FileCommandsTest, SeparatorsSubmenusAndUnknownCommandsDoNothing) {
  const std::string before = ini();
  for (int command : {3, 8, 12, 14, 17, 18, 20, 21, 25, 26, -1, 1000}) run(command);
  EXPECT_TRUE(dialogs.Calls().empty());
  EXPECT_EQ(ini(), before);
}

TEST_F(FileCommandsTest, CheckOnlineAsksTheConfiguredServer) {
  // The loopback server, never through a proxy.
  const char* oldNoProxy = std::getenv("no_proxy");
  const std::string saved = oldNoProxy ? oldNoProxy : "";
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  LoopbackHttpServer server({LoopbackHttpServer::Response(200, "1103"), 0, false});
  plug->versionCheckBaseUrl = server.BaseUrl();
  dialogs.QueueAnswer(false);
  run(File::kCheckOnlineForUpdate);
  EXPECT_NE(server.RequestLine().find("GET /music/version/?file=varnel"), std::string::npos);
  const auto questions = calls(Kind::YesNo);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].caption, "New Version of Varnel Detected");
  EXPECT_NE(questions[0].text.find("\tNew version: \t1.1.3\n"), std::string::npos);
  EXPECT_TRUE(calls(Kind::Url).empty());
  if (oldNoProxy) {
    setenv("no_proxy", saved.c_str(), 1);
  } else {
    unsetenv("no_proxy");
  }
}
