#pragma once
// A control that fills its rectangle with one colour and records the calls it receives.
#include "framework/gui/control.h"
#include "framework/gui/graphics.h"

#include <string>
#include <vector>

class ProbeControl : public IControl {
public:
  ProbeControl(const IRECT& r, int paramIdx, const IColor& color = IColor(255, 255, 0, 0))
      : IControl(r, paramIdx), mColor(color) {}

  void Draw(IGraphics& g) override {
    ++draws;
    g.FillRect(mColor, mRECT);
  }
  void OnMouseDown(float x, float y, const IMouseMod& mod) override {
    calls.push_back(mod.R ? "down-right" : "down");
    lastX = x;
    lastY = y;
    if (hideCursorOnDrag) HideCursor(true);
  }
  void OnMouseUp(float, float, const IMouseMod&) override { calls.push_back("up"); }
  // Follows vertical movement like a knob: one control height sweeps the range.
  void OnMouseDrag(float, float, float, float dY, const IMouseMod&) override {
    calls.push_back("drag");
    SetValue(GetValue() - dY / mRECT.H());
    SetDirty(true);
  }
  void OnMouseDblClick(float, float, const IMouseMod&) override { calls.push_back("dblclick"); }
  void OnMouseWheel(float, float, const IMouseMod&, float d) override {
    calls.push_back("wheel");
    SetValue(GetValue() + 0.01 * d);
    SetDirty(true);
  }
  void OnMouseOver(float, float, const IMouseMod&) override { calls.push_back("over"); }
  void OnMouseOut() override { calls.push_back("out"); }

  std::vector<std::string> calls;
  int draws = 0;
  float lastX = 0.f, lastY = 0.f;
  bool hideCursorOnDrag = false;

private:
  IColor mColor;
};
