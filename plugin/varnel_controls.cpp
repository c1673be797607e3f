#include "plugin/varnel_controls.h"

#include "framework/core/param.h"
#include "framework/gui/graphics.h"
#include "plugin/panel_layout.h"
#include "plugin/varnel.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

IRECT frameAt(float x, float y, const IBitmap& bitmap) {
  return {x, y, x + static_cast<float>(bitmap.FrameW()), y + static_cast<float>(bitmap.FrameH())};
}

} // namespace

// ---- Knob ----

IVellKnobControl::IVellKnobControl(float x, float y, int paramIdx, const IBitmap& bitmap,
                                   double gearing)
    : IControl(frameAt(x, y, bitmap), paramIdx), mBitmap(bitmap), mKnobRECT(frameAt(x, y, bitmap)),
      mGearing(gearing) {}

int IVellKnobControl::KnobFrame(double value, int nFrames) {
  if (nFrames < 2) return 1;
  const int k = static_cast<int>((nFrames - 1) * value + 0.5);
  return std::min(std::max(k, 0) + 1, nFrames);
}

void IVellKnobControl::Draw(IGraphics& g) {
  g.DrawBitmap(mBitmap, mKnobRECT, KnobFrame(GetValue(), mBitmap.NFrames()));
}

double IVellKnobControl::SnapToStep(double normalized) const {
  const IParam* p = GetParam();
  if (!p || !p->GetStepped() || p->GetStep() <= 0) return normalized;
  const double step = p->GetStep();
  double plain = p->ValueFromNormalized(normalized);
  plain = std::round(plain / step) * step;
  plain = std::clamp(plain, p->GetMin(), p->GetMax());
  return std::clamp(p->NormalizeValue(plain), 0.0, 1.0);
}

void IVellKnobControl::OnMouseDown(float, float, const IMouseMod&) {
  mMouseDown = true;
  mDragValue = GetValue();
  HideCursor(true);
}

void IVellKnobControl::OnMouseDrag(float, float, float, float dY, const IMouseMod& mod) {
  if (!mMouseDown) return;
  double gearing = mGearing;
  if (mod.S || mod.C) gearing *= 10.0;
  const IRECT& bounds = GetTargetRECT();
  // The accumulated value is clamped, so a drag past either end turns back at once.
  mDragValue = std::clamp(mDragValue + dY / (bounds.T - bounds.B) / gearing, 0.0, 1.0);
  SetValue(SnapToStep(mDragValue));
  SetDirty(true);
}

void IVellKnobControl::OnMouseUp(float, float, const IMouseMod&) {
  HideCursor(false);
  mMouseDown = false;
  SetDirty(false);
}

void IVellKnobControl::OnMouseWheel(float, float, const IMouseMod& mod, float d) {
  const IParam* p = GetParam();
  if (!p || d == 0) return;
  double value;
  if (p->GetStepped() && p->GetStep() > 0) {
    const double step = p->GetStep();
    double plain = std::round(p->ValueFromNormalized(GetValue()) / step) * step;
    plain = std::clamp(plain + (d > 0 ? step : -step), p->GetMin(), p->GetMax());
    value = p->NormalizeValue(plain);
  } else {
    const double increment = (mod.S || mod.C) ? 0.001 : 0.01;
    value = GetValue() + d * increment;
  }
  SetValue(value);
  SetDirty(true);
}

// ---- Knob with value text ----

IVellKnobTextControl::IVellKnobTextControl(float x, float y, int paramIdx, const IBitmap& bitmap,
                                           double gearing)
    : IVellKnobControl(x, y, paramIdx, bitmap, gearing) {
  IRECT r = GetRECT();
  r.B += 16.f;
  SetTargetAndDrawRECTs(r);
  mTextRECT = IRECT(r.L, mKnobRECT.B, r.R, mKnobRECT.B + 16.f);
  SetText(IText(20.f, IColor(64, 255, 160, 0), panel::kFontFile));
  DisablePrompt(false);
}

void IVellKnobTextControl::Draw(IGraphics& g) {
  IVellKnobControl::Draw(g);
  const IParam* p = GetParam();
  if (!p) return;
  std::string text;
  p->GetDisplay(p->ValueFromNormalized(GetValue()), false, text, true);
  g.DrawText(GetText(), text.c_str(), mTextRECT);
}

// ---- Switch ----

IVellSwitchControl::IVellSwitchControl(float x, float y, int paramIdx, const IBitmap& bitmap)
    : IControl(frameAt(x, y, bitmap), paramIdx), mBitmap(bitmap) {}

void IVellSwitchControl::Draw(IGraphics& g) {
  g.DrawBitmap(mBitmap, GetRECT(), GetValue() > 0.5 ? 1 : 2);
}

void IVellSwitchControl::OnMouseDown(float, float, const IMouseMod&) {
  double value = GetValue() + 1.0;
  if (value > 1.001) value = 0.0;
  SetValue(value);
  SetDirty(true);
}

// ---- Momentary button ----

IVellUtilityKick::IVellUtilityKick(float x, float y, int identifier, const IBitmap& bitmap)
    : IControl(frameAt(x, y, bitmap), identifier), mBitmap(bitmap) {}

void IVellUtilityKick::Draw(IGraphics& g) {
  g.DrawBitmap(mBitmap, GetRECT(), GetValue() > 0.5 ? 2 : 1);
}

void IVellUtilityKick::OnMouseDown(float, float, const IMouseMod&) {
  SetValue(1.0);
  SetDirty(true);
}

void IVellUtilityKick::OnMouseUp(float, float, const IMouseMod&) {
  SetValue(0.0);
  SetDirty(true);
  if (PluginBase* plug = GetDelegate()) Act(static_cast<Varnel&>(*plug));
}

void IVellUtilityKick::Act(Varnel& plug) {
  const int id = ParamIdx();
  const int current = plug.GetCurrentPresetIdx();
  const int last = Varnel::kNumPrograms - 1;
  if (id == panel::kIdPrevProgram) {
    plug.changePreset(current == 0 ? last : current - 1);
  } else if (id == panel::kIdNextProgram) {
    plug.changePreset(current == last ? 0 : current + 1);
  } else if (id == panel::kIdManualTrigger) {
    plug.manualTrigger();
  } else if (id <= panel::kIdBank0 && id > panel::kIdBank0 - 4) {
    plug.bank = panel::kIdBank0 - id;
    plug.changePreset(16 * plug.bank + plug.programInBank);
  } else if (id <= panel::kIdProgram0 && id > panel::kIdProgram0 - 16) {
    plug.programInBank = panel::kIdProgram0 - id;
    plug.changePreset(16 * plug.bank + plug.programInBank);
  }
}

// ---- Corner handle ----

IVellCornerResizer::IVellCornerResizer(const IRECT& graphicsBounds, float size)
    : ICornerResizerControl(graphicsBounds, size) {
  const IRECT& r = GetRECT();
  mTriangle = IRECT(r.L - 24.f, r.T - 24.f, r.R - 8.f, r.B - 8.f);
  // The triangle reaches beyond the hit area; redrawing covers both.
  SetRECT(mTriangle.Union(r));
}

void IVellCornerResizer::Draw(IGraphics& g) {
  const IColor c =
      (IsMouseOver() || IsResizing()) ? IColor(128, 255, 255, 0) : IColor(32, 255, 255, 0);
  g.FillTriangle(c, mTriangle.L, mTriangle.B, mTriangle.R, mTriangle.T, mTriangle.R, mTriangle.B);
}
