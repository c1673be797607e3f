#include "plugin/varnel_controls_selector.h"

#include "framework/core/param.h"
#include "framework/gui/graphics.h"
#include "plugin/panel_layout.h"
#include "plugin/varnel_menus_controls.h"

#include <cstdio>
#include <string>

IVellPopUpMenuControl::IVellPopUpMenuControl(float x, float y, int paramIdx,
                                             const IColor& textColor, const IBitmap& offBitmap,
                                             const IBitmap& onBitmap, int menuType,
                                             IVellInfoBubble* infoBubble)
    : IControl(IRECT(x, y, x + static_cast<float>(offBitmap.FrameW()),
                     y + static_cast<float>(offBitmap.FrameH())),
               paramIdx),
      mOff(offBitmap), mOn(onBitmap), mMenuType(menuType),
      mShowInfo(menuType == 2 || menuType == 3), mInfoBubble(infoBubble) {
  SetDblAsSingleClick(true);
  SetText(IText(22.f, textColor, panel::kFontFile));
}

std::string IVellPopUpMenuControl::DisplayText() const {
  const IParam* p = GetParam();
  if (!p) return "off";
  const double plain = p->ValueFromNormalized(GetValue());
  if (mMenuType == 1) return std::to_string(static_cast<int>(plain));
  std::string text;
  p->GetDisplay(plain, false, text, true);
  return text;
}

void IVellPopUpMenuControl::Draw(IGraphics& g) {
  const std::string text = DisplayText();
  if (text == "off") {
    g.DrawBitmap(mOff, GetRECT(), 1);
    return;
  }
  g.DrawBitmap(mOn, GetRECT(), 1);
  g.DrawText(GetText(), text.c_str(), GetRECT());
}

void IVellPopUpMenuControl::OnMouseDown(float, float, const IMouseMod&) {
  openSelectorMenu(*this, mMenu, mMenuType);
}

void IVellPopUpMenuControl::OnMouseOver(float, float, const IMouseMod&) {
  if (!mShowInfo || !mInfoBubble) return;
  InfoBubbleLines lines;
  if (selectorInfo(*this, mMenuType, lines))
    mInfoBubble->setLines(lines.target, lines.input, lines.source, lines.output);
}

IVellInfoBubble::IVellInfoBubble(float x, float y, int identifier)
    : IControl(IRECT(x, y, x + 320.f, y + 128.f), identifier) {
  SetText(IText(26.f, IColor(128, 255, 255, 255), panel::kFontFile, EAlign::kNear));
  const float tops[4] = {0.f, 24.f, 80.f, 104.f};
  for (int i = 0; i < 4; ++i) mLines[i] = IRECT(x, y + tops[i], x + 320.f, y + tops[i] + 28.f);
  // The last line reaches 4 pixels below the control's rectangle; redrawing covers it.
  SetRECT(IRECT(x, y, x + 320.f, y + 132.f));
}

void IVellInfoBubble::setLines(const char* target, const char* input, const char* source,
                               const char* output) {
  mTarget = target ? target : "";
  mInput = input ? input : "";
  mSource = source ? source : "";
  mOutput = output ? output : "";
  SetDirty(false);
}

const char* IVellInfoBubble::Line(int i) const {
  switch (i) {
  case 0:
    return mTarget;
  case 1:
    return mInput;
  case 2:
    return mSource;
  default:
    return mOutput;
  }
}

void IVellInfoBubble::Draw(IGraphics& g) {
  for (int i = 0; i < 4; ++i)
    if (*Line(i)) g.DrawText(GetText(), Line(i), mLines[i]);
}
