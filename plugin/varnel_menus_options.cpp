// The option menus of the panel: main menu, tuning menus, program menu, window-size menu.
#include "framework/core/plugin_base.h"
#include "framework/gui/text_entry_utf8.h"
#include "plugin/file_commands.h"
#include "plugin/synth.h"
#include "plugin/varnel_menus.h"
#include "store/tuning_presets.h"

#include <algorithm>
#include <cstdio>

const char* const kMakerWebsiteItem = "Visit www.vellsound.com";

namespace {

constexpr int kMidiSettingsPos = File::kGlobalMidiSettings;
constexpr int kWindowSizePos = File::kWindowSize;
constexpr int kGoOnlinePos = File::kGoOnline;
constexpr int kCustomTuningPos = 14;
constexpr int kTuningFilePos = 16;
constexpr int kProgramsPerSubmenu = 16;
constexpr int kProgramMenuChars = 32;
constexpr int kSaveWindowSizePos = 7;

// The position that opens menu in its parent, or -1 for a top level.
int submenuPosition(const IPopupMenu* menu) {
  const IPopupMenu* parent = menu->GetParent();
  return parent ? parent->PositionOfSubmenu(menu) : -1;
}

bool validChoice(const IPopupMenu* menu, int position) {
  return menu && position >= 0 && position < menu->NItems() &&
         !menu->GetItem(position)->GetSubmenu() && !menu->GetItem(position)->GetIsSeparator();
}

int flagIf(bool on, int flag) {
  return on ? flag : IPopupMenu::kNoFlags;
}

} // namespace

const char* editorSizeText(int choice) {
  static const char* const texts[kNumEditorSizes] = {"50%", "75%", "100%", "200%", "400%", "800%"};
  return choice >= 0 && choice < kNumEditorSizes ? texts[choice] : "";
}

void buildMainOptionMenu(IPopupMenu& menu, const Synth& plug) {
  menu.Clear();
  const int noStartup = flagIf(plug.startupBank.empty(), IPopupMenu::kDisabled);
  menu.AddItem("Copy Program");
  menu.AddItem("Paste Program", flagIf(plug.copyBuffer.Size() <= 0, IPopupMenu::kDisabled));
  menu.AddItem("Init Program");
  menu.AddSeparator();
  menu.AddItem("Load Program");
  menu.AddItem("Save Program");
  menu.AddItem("Load Bank");
  menu.AddItem("Save Bank");
  menu.AddSeparator();
  menu.AddItem("Select Startup Bank");
  menu.AddItem("Load Startup Bank", noStartup);
  menu.AddItem("Unselect Startup Bank", noStartup);
  menu.AddSeparator();
  menu.AddItem("Default Path for Program Files");
  IPopupMenu* midi = menu.AddSubmenu("Global MIDI Settings...");
  midi->AddItem("MIDI Thru", flagIf(plug.midiThru.load(), IPopupMenu::kChecked));
  midi->AddItem("Ignore Program Change",
                flagIf(plug.ignoreProgramChange.load(), IPopupMenu::kChecked));
  menu.AddItem("Reload Configuration");
  menu.AddItem("Save Configuration");
  menu.AddSeparator();
  IPopupMenu* sizes = menu.AddSubmenu("Window Size");
  for (int i = 0; i < kNumEditorSizes; ++i) sizes->AddItem(editorSizeText(i));
  menu.AddItem("Save Window Size");
  menu.AddSeparator();
  IPopupMenu* online = menu.AddSubmenu("Go Online...");
  online->AddItem("Check Online for Update");
  online->AddItem(kMakerWebsiteItem);
}

MenuAction mainOptionMenuAction(const IPopupMenu* menu, int position) {
  if (!validChoice(menu, position)) return {};
  int value = position;
  switch (submenuPosition(menu)) {
  case -1:
    break;
  case kWindowSizePos:
    // A resize changes no parameter, so the controls need no refresh.
    return {MenuAction::kResize, position, false};
  case kMidiSettingsPos:
    value = position + File::kMidiThru;
    break;
  case kGoOnlinePos:
    value = position + File::kCheckOnlineForUpdate;
    break;
  default:
    return {};
  }
  switch (value) {
  case File::kCopyProgram:
  case File::kPasteProgram:
  case File::kInitProgram:
  case File::kLoadProgram:
  case File::kSaveProgram:
  case File::kLoadBank:
  case File::kSaveBank:
  case File::kSelectStartupBank:
  case File::kLoadStartupBank:
  case File::kUnselectStartupBank:
  case File::kDefaultProgramPath:
  case File::kReloadConfiguration:
  case File::kSaveConfiguration:
  case File::kSaveWindowSize:
  case File::kMidiThru:
  case File::kIgnoreProgramChange:
  case File::kCheckOnlineForUpdate:
    return {MenuAction::kCommand, value, true};
  case File::kVisitWebsite:
    return {MenuAction::kVisitWebsite, value, true};
  default:
    return {};
  }
}

void buildTuningMenu(IPopupMenu& menu, int checkedPreset) {
  menu.Clear();
  for (int i = 0; i < kMicroTuningPresetCount; ++i) menu.AddItem(kMicroTuningPresetNames[i]);
  menu.AddItem("(custom)", IPopupMenu::kDisabled);
  menu.AddSeparator();
  IPopupMenu* file = menu.AddSubmenu("File");
  file->AddItem("Load Tuning");
  file->AddItem("Save Tuning");
  menu.CheckItemAlone(checkedPreset < 0 ? kCustomTuningPos : checkedPreset);
}

MenuAction tuningMenuAction(const IPopupMenu* menu, int position) {
  if (!validChoice(menu, position)) return {};
  if (submenuPosition(menu) == kTuningFilePos) {
    if (position == 0) return {MenuAction::kLoadTuning, 0, true};
    if (position == 1) return {MenuAction::kSaveTuning, 1, true};
    return {};
  }
  if (menu->GetParent() || position >= kMicroTuningPresetCount) return {};
  return {MenuAction::kSetTuning, position, true};
}

std::string programMenuText(int index, const std::string& name) {
  char number[16];
  std::snprintf(number, sizeof(number), "%02u: ", static_cast<unsigned>(index));
  return utf8::Cut(number + utf8::Sanitize(name), kProgramMenuChars);
}

void buildProgramMenu(IPopupMenu& menu, const PluginBase& plug) {
  menu.Clear();
  IPopupMenu* target = &menu;
  for (int i = 0; i < plug.NPresets(); ++i) {
    if (i % kProgramsPerSubmenu == 0) {
      char title[32];
      std::snprintf(title, sizeof(title), "%02d - %02d", i, i + kProgramsPerSubmenu - 1);
      target = menu.AddSubmenu(title);
    }
    target->AddItem(programMenuText(i, plug.GetPresetName(i)),
                    flagIf(i == plug.GetCurrentPresetIdx(), IPopupMenu::kChecked));
  }
}

int programMenuChoice(const IPopupMenu* menu, int position) {
  if (!validChoice(menu, position)) return -1;
  const int submenu = submenuPosition(menu);
  return std::max(submenu, 0) * kProgramsPerSubmenu + position;
}

void buildSizeContextMenu(IPopupMenu& menu) {
  menu.Clear();
  for (int i = 0; i < kNumEditorSizes; ++i)
    menu.AddItem(std::string("Set Windows Size to ") + editorSizeText(i));
  menu.AddSeparator();
  menu.AddItem("Save Window Size");
}

MenuAction sizeContextMenuAction(const IPopupMenu* menu, int position) {
  if (!validChoice(menu, position) || menu->GetParent()) return {};
  if (position < kNumEditorSizes) return {MenuAction::kResize, position, false};
  if (position == kSaveWindowSizePos) return {MenuAction::kSaveWindowSize, position, false};
  return {};
}

std::string cleanProgramName(const std::string& text) {
  // The program record holds 255 bytes and a terminating zero.
  constexpr size_t kMaxBytes = 255;
  return utf8::Cut(utf8::WithoutControls(utf8::Sanitize(text)), kMaxProgramNameChars, kMaxBytes);
}

std::string programNameDisplayText(const std::string& name) {
  return utf8::Cut(utf8::Sanitize(name), kProgramMenuChars);
}
