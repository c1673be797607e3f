#pragma once
// The program section's list button and name field, the option-menu hot spots, the MIDI-learn
// button and the window-size control of the empty panel: what they show. Their menus and text
// entry are added by the menu code.
#include "framework/gui/bitmap.h"
#include "framework/gui/control.h"
#include "framework/gui/popup_menu.h"

#include <string>

// An invisible hot spot (main option menu, tuning menus); the background marks it.
class IVellOptionMenu : public IControl {
public:
  IVellOptionMenu(const IRECT& rect, int identifier) : IControl(rect, identifier) {}
  void Draw(IGraphics&) override {}
  // Any button: the main option menu or a tuning menu, by the identifier.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  IPopupMenu& Menu() { return mMenu; }

private:
  IPopupMenu mMenu;
};

// The program list button: frame 1 of "preset.png" (its value stays 0).
class IVellPresetMenu : public IControl {
public:
  IVellPresetMenu(float x, float y, const IBitmap& bitmap);
  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  IPopupMenu& Menu() { return mMenu; }

private:
  IBitmap mBitmap;
  IPopupMenu mMenu;
};

// The current program's name, cut to 32 characters.
class IVellPresetName : public IControl {
public:
  explicit IVellPresetName(const IRECT& rect);
  void Draw(IGraphics& g) override;
  // Any button: a text field over the name, filled with the whole name.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  const std::string& ShownText() const { return mShown; }

private:
  std::string mShown;
};

// The MIDI-learn button: frame 1 off, frame 2 on; a click toggles learning (or unlearning), a
// right click while off switches between the two and their pictures.
class IVellSwitchMidiLearn : public IControl {
public:
  IVellSwitchMidiLearn(float x, float y, const IBitmap& bitmap, int identifier);
  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  bool learnMode = true;

protected:
  IBitmap mBitmap;
};

// The whole panel under every other control: takes the clicks nobody else takes. Draws nothing.
class IVellSizeContextControl : public IControl {
public:
  IVellSizeContextControl(const IRECT& rect, int identifier) : IControl(rect, identifier) {}
  void Draw(IGraphics&) override {}
  // The window-size menu is built once, when the control joins the editor.
  void OnAttached() override;
  // Right button only: the window-size menu at the pointer.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  IPopupMenu& Menu() { return mMenu; }

private:
  IPopupMenu mMenu;
};

// The first n characters (UTF-8 code points) of a text.
std::string firstCharacters(const std::string& text, int n);
