#include "framework/gui/control.h"

#include "framework/core/plugin_base.h"
#include "framework/gui/graphics.h"

#include <cmath>

IControl::IControl(const IRECT& rect, int paramIdx)
    : mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx) {}

bool IControl::HasParam() const {
  return mParamIdx >= 0 && mGraphics && mParamIdx < mGraphics->GetDelegate().NParams();
}

IParam* IControl::GetParam() const {
  return HasParam() ? mGraphics->GetDelegate().GetParam(mParamIdx) : nullptr;
}

PluginBase* IControl::GetDelegate() const {
  return mGraphics ? &mGraphics->GetDelegate() : nullptr;
}

void IControl::SetValue(double normalized) {
  mValue = std::clamp(normalized, 0.0, 1.0);
}

void IControl::SetValueFromPlug(double normalized) {
  // Compared after clamping, so a value outside 0..1 does not redraw on every timer tick.
  if (!std::isfinite(normalized)) return;
  const double v = std::clamp(normalized, 0.0, 1.0);
  if (mValue == v) return;
  mValue = v;
  SetDirty(false);
}

void IControl::SetValueFromUserInput(double normalized) {
  if (mValue == normalized) return;
  SetValue(normalized);
  SetDirty(true);
}

void IControl::SetDirty(bool withAction) {
  mDirty = true;
  if (withAction && HasParam()) mGraphics->SetParameterFromUI(mParamIdx, mValue);
}

void IControl::Hide(bool hide) {
  if (mHidden == hide) return;
  mHidden = hide;
  mDirty = true;
}

void IControl::HideCursor(bool hide) {
  if (mGraphics) mGraphics->HideCursor(hide);
}
