#pragma once
// The commands of the editor's option menu: programs, banks, the startup bank, the
// configuration, the MIDI switches and the online check. They run on the user-interface thread
// and ask through the plug-in's dialogs.
#include <string>

class Synth;

namespace File {

// The value is the item's position in the option menu; 3, 8, 12, 17 and 20 are separators.
enum Command {
  kCopyProgram = 0,
  kPasteProgram = 1,
  kInitProgram = 2,
  kLoadProgram = 4,
  kSaveProgram = 5,
  kLoadBank = 6,
  kSaveBank = 7,
  kSelectStartupBank = 9,
  kLoadStartupBank = 10,
  kUnselectStartupBank = 11,
  kDefaultProgramPath = 13,
  kGlobalMidiSettings = 14, // submenu of kMidiThru and kIgnoreProgramChange
  kReloadConfiguration = 15,
  kSaveConfiguration = 16,
  kWindowSize = 18, // submenu of editor sizes, handled by the editor's menu
  kSaveWindowSize = 19,
  kGoOnline = 21, // submenu of kCheckOnlineForUpdate and kVisitWebsite
  kMidiThru = 22,
  kIgnoreProgramChange = 23,
  kCheckOnlineForUpdate = 24,
  kVisitWebsite = 25, // the editor's menu opens the maker's home page
};

// Runs one command through the plug-in's dialogs; commands that are submenus or belong to the
// editor do nothing here.
void runCommand(Synth& plug, int command);

// The folder of fileName (without the last "/" and what follows), or empty when it has none
// after its first character.
void makeNewFilePath(std::string& folder, const std::string& fileName);

// Characters that file systems or dialogs refuse in a file name become "_".
std::string replaceIllegalFileChar(std::string text);

// The start folders of the program and bank dialogs and of the startup-bank dialog, shared by
// every instance in the process; created by the first command of any instance.
struct RememberedFolders {
  bool created = false;
  std::string pathToPrograms;
  std::string pathToStartUp;
};
RememberedFolders& rememberedFolders();

} // namespace File
