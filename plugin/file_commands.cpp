#include "plugin/file_commands.h"

#include "framework/platform/platform_dialogs.h"
#include "framework/platform/save_file_name.h"
#include "plugin/synth.h"
#include "store/fxb_file.h"
#include "store/fxp_file.h"

#include <cstdio>

namespace File {
namespace {

constexpr size_t kMaxMessage = 1023;
constexpr size_t kMaxDefaultNameBytes = 63;
constexpr const char* kError = "Error";
constexpr const char* kCannotLoad = "Cannot load file!";
constexpr const char* kCannotSave = "Cannot save file!";
constexpr const char* kCannotWriteIni = "Cannot write the INI configuration file:\n%s";

// Cuts UTF-8 text to at most maxBytes without splitting a character.
std::string cutUtf8(const std::string& text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  size_t n = maxBytes;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n);
}

// A message with one path, as long as a message may be.
std::string withPath(const char* format, const std::string& path) {
  const int length = std::snprintf(nullptr, 0, format, path.c_str());
  if (length < 0) return format;
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, path.c_str());
  text.pop_back();
  return cutUtf8(text, kMaxMessage);
}

FileDialogRequest request(const char* title, const std::string& startFolder, const char* pattern,
                          const char* description, const std::string& defaultName = "") {
  FileDialogRequest r;
  r.title = title;
  r.startFolder = startFolder;
  r.defaultName = defaultName;
  if (pattern) r.filters.push_back({description, {pattern}});
  return r;
}

FileDialogRequest programRequest(const char* title, const std::string& folder,
                                 const std::string& defaultName = "") {
  return request(title, folder, "*.fxp", "Program files", defaultName);
}

FileDialogRequest bankRequest(const char* title, const std::string& folder,
                              const std::string& defaultName = "") {
  return request(title, folder, "*.fxb", "Bank files", defaultName);
}

void reportIniWrite(Synth& plug, bool written) {
  if (!written) plug.dialogs().ShowMessage(withPath(kCannotWriteIni, plug.iniPath), kError);
}

// A picked folder as it is stored: without a trailing "/" unless it is the root.
std::string plainFolder(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

} // namespace

RememberedFolders& rememberedFolders() {
  static RememberedFolders folders;
  return folders;
}

void makeNewFilePath(std::string& folder, const std::string& fileName) {
  // Only "/" separates folders here: a backslash is an ordinary character of a Linux file name.
  const size_t slash = fileName.find_last_of('/');
  folder = slash == std::string::npos || slash == 0 ? std::string() : fileName.substr(0, slash);
}

std::string replaceIllegalFileChar(std::string text) {
  for (char& c : text) {
    switch (c) {
    case '"':
    case '*':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
      c = '_';
      break;
    default:
      break;
    }
  }
  return text;
}

void runCommand(Synth& plug, int command) {
  RememberedFolders& folders = rememberedFolders();
  if (!folders.created) {
    folders.created = true;
    folders.pathToPrograms = plug.programPath;
    folders.pathToStartUp = plug.homePath;
  }
  IPlatformDialogs& dialogs = plug.dialogs();

  switch (command) {
  case kCopyProgram:
    plug.copyPreset();
    break;

  case kPasteProgram:
    if (plug.copyBuffer.Size() == 0) break; // nothing copied yet: the menu item is disabled
    if (dialogs.AskYesNo("Do you really want to overwrite the current program?", "Paste Program"))
      plug.pastePreset();
    break;

  case kInitProgram:
    if (dialogs.AskYesNo("Do you really want to initialize the current program?",
                         "Initialize Program"))
      plug.initPreset();
    break;

  case kLoadProgram: {
    const std::string path =
        dialogs.ChooseFileToOpen(programRequest("Load Program", folders.pathToPrograms));
    if (path.empty()) break;
    const bool loaded = LoadPresetFromFXP(plug, path);
    makeNewFilePath(folders.pathToPrograms, path);
    if (!loaded) dialogs.ShowMessage(kCannotLoad, kError);
    break;
  }

  case kSaveProgram: {
    const std::string name = replaceIllegalFileChar(
        cutUtf8(plug.GetPresetName(plug.GetCurrentPresetIdx()), kMaxDefaultNameBytes));
    const std::string path = ChooseFileToSaveWithExtension(
        dialogs, programRequest("Save Program", folders.pathToPrograms, name));
    if (path.empty()) break;
    plug.ModifyCurrentPreset();
    const bool saved = SavePresetAsFXP(plug, path);
    makeNewFilePath(folders.pathToPrograms, path);
    if (!saved) dialogs.ShowMessage(kCannotSave, kError);
    break;
  }

  case kLoadBank: {
    const std::string path =
        dialogs.ChooseFileToOpen(bankRequest("Load Bank", folders.pathToPrograms));
    if (path.empty()) break;
    const bool loaded = LoadBankFromFXB(plug, path);
    makeNewFilePath(folders.pathToPrograms, path);
    if (!loaded) dialogs.ShowMessage(kCannotLoad, kError);
    break;
  }

  case kSaveBank: {
    const std::string path = ChooseFileToSaveWithExtension(
        dialogs, bankRequest("Save Bank", folders.pathToPrograms, "Varnel"));
    if (path.empty()) break;
    plug.ModifyCurrentPreset();
    const bool saved = SaveBankAsFXB(plug, path);
    makeNewFilePath(folders.pathToPrograms, path);
    if (!saved) dialogs.ShowMessage(kCannotSave, kError);
    break;
  }

  case kSelectStartupBank: {
    // The bank is only tested when it is loaded.
    const std::string path =
        dialogs.ChooseFileToOpen(bankRequest("Select Startup Bank", folders.pathToStartUp));
    if (path.empty()) break;
    const bool written = plug.setStartupFxb(path) == 0;
    makeNewFilePath(folders.pathToStartUp, path);
    reportIniWrite(plug, written);
    break;
  }

  case kLoadStartupBank:
    if (plug.startupBank.empty()) break; // disabled in the menu
    if (!dialogs.AskYesNo(withPath("The Startup Bank is:\n%s\n\nDo you really want to reload "
                                   "all programs?",
                                   plug.startupBank),
                          "Load Startup Bank"))
      break;
    if (!LoadBankFromFXB(plug, plug.startupBank)) dialogs.ShowMessage(kCannotLoad, kError);
    break;

  case kUnselectStartupBank:
    if (plug.startupBank.empty()) break; // disabled in the menu
    if (!dialogs.AskYesNo(withPath("The Startup Bank is:\n%s\n\nDo you really want to unselect it?",
                                   plug.startupBank),
                          "Unselect Startup Bank"))
      break;
    reportIniWrite(plug, plug.unsetStartupFxb());
    break;

  case kDefaultProgramPath: {
    const std::string start =
        folders.pathToPrograms.empty() ? plug.homePath : folders.pathToPrograms;
    const std::string folder =
        dialogs.ChooseFolder(request("Default Path for Program Files", start, nullptr, nullptr));
    if (folder.empty()) break;
    folders.pathToPrograms = plainFolder(folder);
    reportIniWrite(plug, plug.storeProgramPath(folders.pathToPrograms.c_str()));
    break;
  }

  case kReloadConfiguration:
    if (!dialogs.AskYesNo(withPath("The INI configuration file is:\n%s\n\nDo you really want to "
                                   "reload it?",
                                   plug.iniPath),
                          "Reload Configuration"))
      break;
    if (plug.loadConfig() == Synth::kConfigFileMissing)
      dialogs.ShowMessage("The INI file does not exist.", "Problem with INI File");
    break;

  case kSaveConfiguration:
    if (!dialogs.AskYesNo(withPath("The INI configuration file is:\n%s\n\nDo you really want to "
                                   "overwrite it?",
                                   plug.iniPath),
                          "Save Configuration"))
      break;
    reportIniWrite(plug, plug.saveConfig(-1));
    break;

  case kSaveWindowSize:
    if (plug.saveConfig(kSaveWindowSize)) {
      dialogs.ShowMessage(
          withPath("The current window size was saved to the INI configuration file:\n%s",
                   plug.iniPath),
          "Save Window Size");
    } else {
      reportIniWrite(plug, false);
    }
    break;

  case kMidiThru:
    plug.midiThru = !plug.midiThru;
    reportIniWrite(plug, plug.saveConfig(kMidiThru));
    break;

  case kIgnoreProgramChange:
    plug.ignoreProgramChange = !plug.ignoreProgramChange;
    reportIniWrite(plug, plug.saveConfig(kIgnoreProgramChange));
    break;

  case kCheckOnlineForUpdate:
    plug.checkVersionAgainstWeb();
    break;

  default:
    break;
  }
}

} // namespace File
