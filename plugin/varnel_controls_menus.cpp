#include "plugin/varnel_controls_menus.h"

#include "framework/core/plugin_base.h"
#include "framework/gui/graphics.h"
#include "plugin/panel_layout.h"
#include "plugin/varnel_menus.h"
#include "plugin/varnel_menus_controls.h"

IVellPresetMenu::IVellPresetMenu(float x, float y, const IBitmap& bitmap)
    : IControl(IRECT(x, y, x + static_cast<float>(bitmap.FrameW()),
                     y + static_cast<float>(bitmap.FrameH()))),
      mBitmap(bitmap) {}

void IVellPresetMenu::Draw(IGraphics& g) {
  g.DrawBitmap(mBitmap, GetRECT(), GetValue() > 0.5 ? 2 : 1);
}

IVellPresetName::IVellPresetName(const IRECT& rect) : IControl(rect) {
  SetText(IText(32.f, IColor(160, 255, 255, 192), panel::kFontFile));
}

void IVellPresetName::Draw(IGraphics& g) {
  PluginBase* plug = GetDelegate();
  if (!plug) return;
  // Names from files may hold broken UTF-8; what is shown is always valid text.
  mShown = programNameDisplayText(plug->GetPresetName(plug->GetCurrentPresetIdx()));
  g.DrawText(GetText(), mShown.c_str(), GetRECT());
}

IVellSwitchMidiLearn::IVellSwitchMidiLearn(float x, float y, const IBitmap& bitmap, int identifier)
    : IControl(IRECT(x, y, x + static_cast<float>(bitmap.FrameW()),
                     y + static_cast<float>(bitmap.FrameH())),
               identifier),
      mBitmap(bitmap) {}

void IVellSwitchMidiLearn::Draw(IGraphics& g) {
  g.DrawBitmap(mBitmap, GetRECT(), GetValue() > 0.5 ? 2 : 1);
}

void IVellSwitchMidiLearn::OnMouseDown(float, float, const IMouseMod& mod) {
  if (learnButtonMouseDown(*this, learnMode, mod) && GetUI()) {
    mBitmap = GetUI()->LoadBitmap(learnMode ? kLearnBitmap : kUnlearnBitmap, 2);
    SetDirty(false);
  }
}

void IVellOptionMenu::OnMouseDown(float, float, const IMouseMod&) {
  openOptionMenu(*this, mMenu);
}

void IVellPresetMenu::OnMouseDown(float, float, const IMouseMod&) {
  openProgramMenu(*this, mMenu);
}

void IVellPresetName::OnMouseDown(float, float, const IMouseMod&) {
  openProgramNameEntry(*this);
}

void IVellSizeContextControl::OnAttached() {
  buildSizeContextMenu(mMenu);
}

void IVellSizeContextControl::OnMouseDown(float x, float y, const IMouseMod& mod) {
  openSizeContextMenu(*this, mMenu, x, y, mod);
}

std::string firstCharacters(const std::string& text, int n) {
  size_t i = 0;
  for (int count = 0; i < text.size() && count < n; ++count) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
  }
  return text.substr(0, i);
}
