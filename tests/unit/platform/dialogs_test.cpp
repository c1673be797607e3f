#include "framework/platform/save_file_name.h"
#include "framework/platform/scripted_dialogs.h"
#include "framework/platform/zenity_dialogs.h"

#include "tests/unit/platform/temp_environment.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

class ZenityDialogsTest : public TempEnvironmentTest {
protected:
  void SetUp() override {
    TempEnvironmentTest::SetUp();
    mBin = mDir + "/bin";
    mkdir(mBin.c_str(), 0700);
    mArgsFile = mDir + "/args";
    setenv("VARNEL_FAKE_ARGS", mArgsFile.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("VARNEL_FAKE_ARGS");
    unsetenv("VARNEL_FAKE_ANSWER");
    unsetenv("VARNEL_FAKE_EXIT");
    TempEnvironmentTest::TearDown();
  }

  // A stand-in program that records its arguments (NUL-separated) and answers as told.
  void InstallFake(const std::string& name) {
    const std::string path = mBin + "/" + name;
    std::ofstream(path)
        << "#!/bin/sh\n"
           "for a in \"$@\"; do printf '%s\\0' \"$a\" >> \"$VARNEL_FAKE_ARGS\"; done\n"
           "printf '%s' \"$VARNEL_FAKE_ANSWER\"\n"
           "exit ${VARNEL_FAKE_EXIT:-0}\n";
    chmod(path.c_str(), 0700);
  }
  void Answer(const std::string& output, int exitCode) {
    setenv("VARNEL_FAKE_ANSWER", output.c_str(), 1);
    setenv("VARNEL_FAKE_EXIT", std::to_string(exitCode).c_str(), 1);
    std::remove(mArgsFile.c_str());
  }
  std::vector<std::string> RecordedArgs() const {
    std::ifstream in(mArgsFile, std::ios::binary);
    std::vector<std::string> args;
    std::string arg;
    while (std::getline(in, arg, '\0')) args.push_back(arg);
    return args;
  }

  std::string mBin, mArgsFile;
};

TEST_F(ZenityDialogsTest, FileDialogsPassRequestsAsArgumentsAndReadThePath) {
  InstallFake("zenity");
  ZenityDialogs dialogs(mBin + "/zenity", mBin + "/xdg-open");
  FileDialogRequest request;
  request.title = "Save Program";
  request.startFolder = "/music/my programs";
  request.defaultName = "Bass $(x).fxp";
  request.filters = {{"Program files", {"*.fxp"}}};

  Answer("/music/my programs/new one.fxp\n", 0);
  EXPECT_EQ(dialogs.ChooseFileToSave(request), "/music/my programs/new one.fxp");
  EXPECT_EQ(RecordedArgs(), (std::vector<std::string>{"--file-selection", "--title=Save Program",
                                                      "--save", "--confirm-overwrite",
                                                      "--filename=/music/my programs/Bass $(x).fxp",
                                                      "--file-filter=Program files | *.fxp"}));

  Answer("/a/b.scl\n", 0);
  EXPECT_EQ(dialogs.ChooseFileToOpen(request), "/a/b.scl");
  Answer("/a/folder\n", 0);
  EXPECT_EQ(dialogs.ChooseFolder(request), "/a/folder");
  const std::vector<std::string> folderArgs = RecordedArgs();
  EXPECT_NE(std::find(folderArgs.begin(), folderArgs.end(), "--directory"), folderArgs.end());
  EXPECT_NE(std::find(folderArgs.begin(), folderArgs.end(), "--filename=/music/my programs/"),
            folderArgs.end());

  // Cancelled, or nothing usable printed.
  for (const auto& [output, code] : std::vector<std::pair<std::string, int>>{
           {"/a/b.fxp\n", 1}, {"", 0}, {"/a\n/b\n", 0}, {"relative.fxp\n", 0}, {"/x\n", 5}}) {
    Answer(output, code);
    EXPECT_EQ(dialogs.ChooseFileToOpen(request), "") << output << " " << code;
  }
}

TEST_F(ZenityDialogsTest, MessageBoxesAndQuestions) {
  InstallFake("zenity");
  ZenityDialogs dialogs(mBin + "/zenity", mBin + "/xdg-open");
  Answer("", 0);
  dialogs.ShowMessage("Cannot load file!\nC:\\path", "Error");
  EXPECT_EQ(RecordedArgs(),
            (std::vector<std::string>{"--error", "--title=Error",
                                      "--text=Cannot load file!\nC:\\\\path", "--no-markup"}));
  Answer("", 0);
  EXPECT_TRUE(dialogs.AskYesNo("Go?", "Question"));
  EXPECT_EQ(RecordedArgs()[0], "--question");
  Answer("", 1);
  EXPECT_FALSE(dialogs.AskYesNo("Go?", "Question"));
}

TEST_F(ZenityDialogsTest, OpenUrlRunsTheOpenerWithTheAddressAlone) {
  InstallFake("xdg-open");
  ZenityDialogs dialogs(mBin + "/zenity", mBin + "/xdg-open");
  Answer("", 0);
  EXPECT_TRUE(dialogs.OpenUrl("http://www.vellsound.com/music/vst.html?a=1&b=2"));
  EXPECT_EQ(RecordedArgs(),
            (std::vector<std::string>{"http://www.vellsound.com/music/vst.html?a=1&b=2"}));
  Answer("", 0);
  EXPECT_FALSE(dialogs.OpenUrl("--help"));
  EXPECT_TRUE(RecordedArgs().empty());
}

TEST_F(ZenityDialogsTest, WithoutZenityNothingIsShownAndNothingChosen) {
  setenv("PATH", mBin.c_str(), 1); // an empty folder: neither zenity nor xdg-open
  ZenityDialogs dialogs;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(dialogs.ChooseFileToOpen({}), "");
  EXPECT_EQ(dialogs.ChooseFileToSave({}), "");
  EXPECT_EQ(dialogs.ChooseFolder({}), "");
  dialogs.ShowMessage("text", "caption");
  EXPECT_FALSE(dialogs.AskYesNo("text", "caption"));
  EXPECT_FALSE(dialogs.OpenUrl("http://127.0.0.1/"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(ZenityDialogsTest, RealZenityWithoutADisplayCancels) {
  if (access("/usr/bin/zenity", X_OK) != 0) GTEST_SKIP() << "zenity not installed";
  const char* display = std::getenv("DISPLAY");
  const std::string savedDisplay = display ? display : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  ZenityDialogs dialogs;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(dialogs.ChooseFileToOpen({}), "");
  EXPECT_FALSE(dialogs.AskYesNo("text", "caption"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  if (display) setenv("DISPLAY", savedDisplay.c_str(), 1);
}

TEST(ScriptedDialogs, AnswersFromQueuesAndRecordsEveryCall) {
  ScriptedDialogs dialogs;
  dialogs.QueuePath("/a/b.fxp");
  dialogs.QueueAnswer(true);
  FileDialogRequest request;
  request.startFolder = "/a/";
  EXPECT_EQ(dialogs.ChooseFileToOpen(request), "/a/b.fxp");
  EXPECT_EQ(dialogs.ChooseFileToSave(request), ""); // queue empty: cancelled
  EXPECT_TRUE(dialogs.AskYesNo("q", "c"));
  EXPECT_FALSE(dialogs.AskYesNo("q", "c"));
  dialogs.ShowMessage("m", "Error");
  EXPECT_TRUE(dialogs.OpenUrl("http://x/"));
  ASSERT_EQ(dialogs.Calls().size(), 6u);
  EXPECT_EQ(dialogs.Calls()[1].kind, ScriptedDialogs::Kind::SaveFile);
  EXPECT_EQ(dialogs.Calls()[1].request.startFolder, "/a/");
  ASSERT_EQ(dialogs.CallsOf(ScriptedDialogs::Kind::Message).size(), 1u);
  EXPECT_EQ(dialogs.CallsOf(ScriptedDialogs::Kind::Message)[0].caption, "Error");
  EXPECT_EQ(dialogs.CallsOf(ScriptedDialogs::Kind::Url)[0].text, "http://x/");
}

} // namespace

TEST(SaveFileName, TheDialogsExtensionIsAddedWhenTheNameDoesNotEndInOne) {
  FileDialogRequest request;
  request.filters.push_back({"Bank files", {"*.fxb"}});
  const struct {
    const char* chosen;
    const char* saved;
  } cases[] = {{"/b/Varnel", "/b/Varnel.fxb"},         {"/b/Varnel.fxb", "/b/Varnel.fxb"},
               {"/b/Varnel.FXB", "/b/Varnel.FXB"},     {"/b/Bass v1.2", "/b/Bass v1.2.fxb"},
               {"/b.fxb/Varnel", "/b.fxb/Varnel.fxb"}, {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(WithDialogExtension(c.chosen, request), c.saved);

  FileDialogRequest folderPicker;
  folderPicker.filters.push_back({"", {" "}});
  EXPECT_EQ(WithDialogExtension("/b/Varnel", folderPicker), "/b/Varnel");
  EXPECT_EQ(WithDialogExtension("/b/Varnel", FileDialogRequest()), "/b/Varnel");
}
