#pragma once
// What the panel's menu controls do with the mouse: open their menu, carry out the answer, and
// bring every control to the new state afterwards. The IVell controls call these from their
// mouse and menu callbacks; all of it runs on the user-interface thread.
#include "framework/gui/control.h"
#include "framework/gui/popup_menu.h"
#include "plugin/info_bubble_texts.h"

#include <cairo.h>

#include <string>

class Varnel;

// The plug-in object behind a control, when it is the instrument.
Varnel* varnelOf(const IControl& control);
// The menu font of the control's editor.
cairo_font_face_t* menuFontOf(const IControl& control);
// Every control bound to a parameter takes its parameter's value; nothing goes to the host.
void refreshControls(IControl& control);

// Selector: opens the tree of the parameter's choices at the control; a choice sets the
// parameter when it differs from the current value.
bool openSelectorMenu(IControl& selector, IPopupMenu& menu, int menuType);
void selectorMenuChosen(IControl& selector, IPopupMenu* menu, int position, int menuType);
// The info bubble's lines for a selector under the mouse; false for selectors that leave the
// bubble alone (sync rates and controllers).
bool selectorInfo(const IControl& selector, int menuType, InfoBubbleLines& lines);

// Option menus (main menu and the two tuning menus, by the control's identifier).
bool openOptionMenu(IControl& control, IPopupMenu& menu);
void optionMenuChosen(IControl& control, IPopupMenu* menu, int position);

// Program list.
bool openProgramMenu(IControl& control, IPopupMenu& menu);
void programMenuChosen(IControl& control, IPopupMenu* menu, int position);

// Program name field: a text field over the control with the full name; a completed text
// renames the current program (an empty one keeps the name) and stores the live sound.
bool openProgramNameEntry(IControl& control);
void programNameEntered(IControl& control, const std::string& text);

// MIDI-learn button. Left click: toggles and starts or stops learning (or unlearning). Right
// click while off: flips learnMode and returns true, so the caller shows the other picture.
bool learnButtonMouseDown(IControl& button, bool& learnMode, const IMouseMod& mod);
constexpr const char* kLearnBitmap = "learn.png";
constexpr const char* kUnlearnBitmap = "unlearn.png";

// Window-size context menu: right click only, at the pointer.
bool openSizeContextMenu(IControl& control, IPopupMenu& menu, float x, float y,
                         const IMouseMod& mod);
void sizeContextMenuChosen(IControl& control, IPopupMenu* menu, int position);
