#pragma once
// The menus of the panel as data: the selector trees with their value mapping, the main option
// menu, the tuning menus, the program menu and the window-size menu, and what a choice in each
// means. The controls show these menus and carry out the answers.
#include "framework/gui/popup_menu.h"

#include <string>

class IParam;
class PluginBase;
class Synth;

// Layouts of the selector menus.
enum MenuType { kMenuCC = 1, kMenuModSource = 2, kMenuTrigger = 3, kMenuSyncRate = 4 };

// The text a selector shows for its parameter's value: the bare controller number for
// controller selectors, else the display text ("off" shows the off picture).
std::string selectorDisplayText(const IParam& param, int menuType);
// Fills the menu with the parameter's display texts in index order: the top-level entries, then
// the submenus of the type; the current value carries the check mark.
void buildSelectorMenu(IPopupMenu& menu, const IParam& param, int menuType);
// The plain value chosen at position in menu (the top level or one of its submenus), or -1 when
// there was no choice.
int selectorChoice(const IPopupMenu* menu, int position, int menuType);

// What a choice in one of the option menus asks for.
struct MenuAction {
  enum Kind {
    kNone,
    kCommand,        // runCommand(value)
    kVisitWebsite,   // open the maker's web site
    kResize,         // editor size choice value (0..5)
    kSaveWindowSize, // from the window-size context menu
    kSetTuning,      // tuning preset value (0..13)
    kLoadTuning,
    kSaveTuning,
    kChangeProgram, // program value
  };
  Kind kind = kNone;
  int value = -1;
  // Whether the controls are brought to the parameter values afterwards.
  bool refresh = false;
};

// The identifiers of the option menu controls.
constexpr int kOptionMenuId = -128;
constexpr int kTuningMenu1Id = -132;
constexpr int kTuningMenu2Id = -133;

// The main option menu, with its enablement and check marks read from the plug-in now.
void buildMainOptionMenu(IPopupMenu& menu, const Synth& plug);
MenuAction mainOptionMenuAction(const IPopupMenu* menu, int position);

// A tuning menu; checkedPreset is getMicroTuning's answer (-1 checks "(custom)").
void buildTuningMenu(IPopupMenu& menu, int checkedPreset);
MenuAction tuningMenuAction(const IPopupMenu* menu, int position);

// The program menu: four submenus of sixteen programs, the current one checked.
void buildProgramMenu(IPopupMenu& menu, const PluginBase& plug);
// The program chosen, or -1.
int programMenuChoice(const IPopupMenu* menu, int position);
// "%02u: %s" of a program, cut to 32 characters.
std::string programMenuText(int index, const std::string& name);

// The window-size context menu of the empty panel.
void buildSizeContextMenu(IPopupMenu& menu);
MenuAction sizeContextMenuAction(const IPopupMenu* menu, int position);

// The editor's size choices, as the menus name them.
constexpr int kNumEditorSizes = 6;
const char* editorSizeText(int choice);

// The text of the menu item that opens the maker's home page (the configuration's address).
extern const char* const kMakerWebsiteItem;

// Program names as stored and shown. A typed or pasted name is cleaned: broken UTF-8 becomes
// U+FFFD, control characters go (tabs and line ends become blanks), and it is cut to 253
// characters that fit the program record.
constexpr int kMaxProgramNameChars = 253;
std::string cleanProgramName(const std::string& text);
// The name field shows at most the first 32 characters.
std::string programNameDisplayText(const std::string& name);
