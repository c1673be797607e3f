#pragma once
// The patch points and the patch information window: a selector shows its source on a plug
// (or its rate or controller on a button), the info bubble four lines about the patch point.
#include "framework/gui/bitmap.h"
#include "framework/gui/control.h"
#include "framework/gui/popup_menu.h"

class IVellInfoBubble;

// A selector of a modulation source, trigger, sync rate or MIDI controller. "off" shows the off
// picture alone; any other choice the on picture with the choice's text.
class IVellPopUpMenuControl : public IControl {
public:
  IVellPopUpMenuControl(float x, float y, int paramIdx, const IColor& textColor,
                        const IBitmap& offBitmap, const IBitmap& onBitmap, int menuType,
                        IVellInfoBubble* infoBubble);
  void Draw(IGraphics& g) override;
  // Opens the tree of choices; a chosen entry sets the parameter.
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  // Modulation and trigger selectors tell the info bubble what they patch.
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  IPopupMenu& Menu() { return mMenu; }

  int MenuType() const { return mMenuType; }
  bool ShowsInfo() const { return mShowInfo; }
  IVellInfoBubble* InfoBubble() const { return mInfoBubble; }
  // The text the selector shows for its current value ("off" when it is off).
  std::string DisplayText() const;

private:
  IBitmap mOff, mOn;
  int mMenuType;
  bool mShowInfo;
  IVellInfoBubble* mInfoBubble;
  IPopupMenu mMenu;
};

// Four lines of text about the patch point under the mouse: target, input range, source,
// output range. Empty lines draw nothing.
class IVellInfoBubble : public IControl {
public:
  IVellInfoBubble(float x, float y, int identifier);
  void Draw(IGraphics& g) override;
  // Sets the four lines (constant strings) and redraws.
  void setLines(const char* target, const char* input, const char* source, const char* output);
  const char* Line(int i) const;

private:
  const char* mTarget = "";
  const char* mInput = "";
  const char* mSource = "";
  const char* mOutput = "";
  IRECT mLines[4];
};
