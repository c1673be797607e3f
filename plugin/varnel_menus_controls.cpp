#include "plugin/varnel_menus_controls.h"

#include "framework/core/param.h"
#include "framework/gui/graphics.h"
#include "framework/gui/popup_menu_font.h"
#include "framework/gui/popup_menu_host.h"
#include "framework/gui/text_entry_control.h"
#include "framework/platform/platform_dialogs.h"
#include "plugin/file_commands.h"
#include "plugin/panel_layout.h"
#include "plugin/varnel.h"
#include "plugin/varnel_menus.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float kEditorScales[kNumEditorSizes] = {0.25f, 0.375f, 0.5f, 0.70710677f, 1.0f, 2.0f};
constexpr float kNameFontSize = 32.f;
constexpr size_t kMaxMessage = 1024;

void resizeEditor(Varnel& plug, int choice) {
  if (choice < 0 || choice >= kNumEditorSizes) return;
  plug.editorScale = kEditorScales[choice];
  plug.resizeUI();
}

void saveWindowSize(Varnel& plug) {
  if (!plug.saveConfig(File::kSaveWindowSize)) {
    plug.dialogs().ShowMessage("Cannot write the INI configuration file:\n" + plug.iniPath,
                               "Error");
    return;
  }
  char text[kMaxMessage];
  std::snprintf(text, sizeof text,
                "The current window size was saved to the INI configuration file:\n%s",
                plug.iniPath.c_str());
  plug.dialogs().ShowMessage(text, "Save Window Size");
}

int tuningTable(const IControl& control) {
  return control.ParamIdx() == kTuningMenu1Id ? 0 : 1;
}

} // namespace

Varnel* varnelOf(const IControl& control) {
  return dynamic_cast<Varnel*>(control.GetDelegate());
}

cairo_font_face_t* menuFontOf(const IControl& control) {
  IGraphics* g = control.GetUI();
  if (!g) return nullptr;
  std::string folder = g->GetResourcePath();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return PopupFontFace(folder + panel::kFontFile);
}

void refreshControls(IControl& control) {
  if (IGraphics* g = control.GetUI()) g->SyncControlsToParams();
}

// ---- Selectors ----

bool openSelectorMenu(IControl& selector, IPopupMenu& menu, int menuType) {
  const IParam* param = selector.GetParam();
  if (!param) return false;
  buildSelectorMenu(menu, *param, menuType);
  IControl* target = &selector;
  return ShowPopupMenu(selector, menu, selector.GetRECT(), menuFontOf(selector),
                       [target, menuType](IPopupMenu* chosen, int position) {
                         selectorMenuChosen(*target, chosen, position, menuType);
                       });
}

void selectorMenuChosen(IControl& selector, IPopupMenu* menu, int position, int menuType) {
  const IParam* param = selector.GetParam();
  const int value = selectorChoice(menu, position, menuType);
  if (!param || value < 0) return;
  double plain = value;
  if (param->GetStepped() && param->GetStep() > 0.0)
    plain = std::round(plain / param->GetStep()) * param->GetStep();
  plain = std::clamp(plain, param->GetMin(), param->GetMax());
  // The current entry changes nothing and sends nothing.
  selector.SetValueFromUserInput(std::clamp(param->NormalizeValue(plain), 0.0, 1.0));
}

bool selectorInfo(const IControl& selector, int menuType, InfoBubbleLines& lines) {
  if (menuType != kMenuModSource && menuType != kMenuTrigger) return false;
  const PluginBase* plug = selector.GetDelegate();
  const IParam* param = selector.GetParam();
  if (!plug || !param) return false;
  const auto valueOf = [plug](int index) {
    return static_cast<int>(std::trunc(plug->GetParam(index)->GetValue()));
  };
  return infoBubbleLines(selector.ParamIdx(), static_cast<int>(std::trunc(param->GetValue())),
                         valueOf(kClk1Src), valueOf(kClk2Src), lines);
}

// ---- Option menus ----

bool openOptionMenu(IControl& control, IPopupMenu& menu) {
  Varnel* plug = varnelOf(control);
  menu.Clear();
  if (!plug) return false;
  switch (control.ParamIdx()) {
  case kOptionMenuId:
    buildMainOptionMenu(menu, *plug);
    break;
  case kTuningMenu1Id:
  case kTuningMenu2Id:
    buildTuningMenu(menu, plug->getMicroTuning(tuningTable(control)));
    break;
  default:
    return false;
  }
  IControl* target = &control;
  return ShowPopupMenu(
      control, menu, control.GetRECT(), menuFontOf(control),
      [target](IPopupMenu* chosen, int position) { optionMenuChosen(*target, chosen, position); });
}

void optionMenuChosen(IControl& control, IPopupMenu* menu, int position) {
  Varnel* plug = varnelOf(control);
  if (!plug || !menu) return;
  const bool tuning = control.ParamIdx() == kTuningMenu1Id || control.ParamIdx() == kTuningMenu2Id;
  const MenuAction action =
      tuning ? tuningMenuAction(menu, position) : mainOptionMenuAction(menu, position);
  const int table = tuningTable(control);
  switch (action.kind) {
  case MenuAction::kCommand:
    File::runCommand(*plug, action.value);
    break;
  case MenuAction::kVisitWebsite:
    if (!plug->dialogs().OpenUrl(plug->GetConfig().mfrURL))
      plug->dialogs().ShowMessage("Cannot open the web browser.", "Error");
    break;
  case MenuAction::kResize:
    resizeEditor(*plug, action.value);
    break;
  case MenuAction::kSetTuning:
    plug->setMicroTuning(table, action.value);
    break;
  case MenuAction::kLoadTuning:
    plug->loadMicroTuning(table);
    break;
  case MenuAction::kSaveTuning:
    plug->saveMicroTuning(table);
    break;
  default:
    break;
  }
  if (action.refresh) refreshControls(control);
}

// ---- Programs ----

bool openProgramMenu(IControl& control, IPopupMenu& menu) {
  PluginBase* plug = control.GetDelegate();
  menu.Clear();
  if (!plug) return false;
  buildProgramMenu(menu, *plug);
  IControl* target = &control;
  return ShowPopupMenu(
      control, menu, control.GetRECT(), menuFontOf(control),
      [target](IPopupMenu* chosen, int position) { programMenuChosen(*target, chosen, position); });
}

void programMenuChosen(IControl& control, IPopupMenu* menu, int position) {
  Varnel* plug = varnelOf(control);
  const int program = programMenuChoice(menu, position);
  if (!plug || program < 0 || program >= plug->NPresets()) return;
  plug->changePreset(program);
  refreshControls(control);
}

bool openProgramNameEntry(IControl& control) {
  PluginBase* plug = control.GetDelegate();
  if (!plug) return false;
  IControl* target = &control;
  const bool shown = ShowTextEntry(
      control, control.GetRECT(), plug->GetPresetName(plug->GetCurrentPresetIdx()), kNameFontSize,
      kMaxProgramNameChars, menuFontOf(control), [target](const std::string* text) {
        // A cancelled field changes nothing.
        if (text) programNameEntered(*target, *text);
      });
  if (IGraphics* g = control.GetUI()) g->SetAllDirty();
  return shown;
}

void programNameEntered(IControl& control, const std::string& text) {
  PluginBase* plug = control.GetDelegate();
  if (!plug) return;
  plug->ModifyCurrentPreset(cleanProgramName(text).c_str());
  control.SetDirty(false);
}

// ---- MIDI learn ----

bool learnButtonMouseDown(IControl& button, bool& learnMode, const IMouseMod& mod) {
  Varnel* plug = varnelOf(button);
  if (mod.L) {
    button.SetValue(button.GetValue() > 0.5 ? 0.0 : 1.0);
    button.SetDirty(false);
    const bool on = button.GetValue() > 0.0;
    if (plug) {
      if (learnMode)
        plug->doMidiLearn(on);
      else
        plug->doMidiUnlearn(on);
    }
    return false;
  }
  if (mod.R && button.GetValue() == 0.0) {
    learnMode = !learnMode;
    button.SetDirty(false);
    return true;
  }
  return false;
}

// ---- Window size ----

bool openSizeContextMenu(IControl& control, IPopupMenu& menu, float x, float y,
                         const IMouseMod& mod) {
  if (!mod.R) return false;
  if (menu.NItems() == 0) buildSizeContextMenu(menu);
  IControl* target = &control;
  const bool shown = ShowPopupMenu(control, menu, IRECT(x, y, x, y), menuFontOf(control),
                                   [target](IPopupMenu* chosen, int position) {
                                     sizeContextMenuChosen(*target, chosen, position);
                                   });
  control.SetDirty(false);
  return shown;
}

void sizeContextMenuChosen(IControl& control, IPopupMenu* menu, int position) {
  Varnel* plug = varnelOf(control);
  if (!plug) return;
  const MenuAction action = sizeContextMenuAction(menu, position);
  if (action.kind == MenuAction::kResize) resizeEditor(*plug, action.value);
  if (action.kind == MenuAction::kSaveWindowSize) saveWindowSize(*plug);
}
