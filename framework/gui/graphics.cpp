#include "framework/gui/graphics.h"

#include "framework/core/plugin_base.h"

#include <cmath>

IGraphics::IGraphics(PluginBase& plug, int designW, int designH, float scale)
    : mPlug(plug), mDesignW(designW > 0 ? designW : 1), mDesignH(designH > 0 ? designH : 1) {
  mScale = std::clamp(std::isfinite(scale) ? scale : 1.f, mMinScale, mMaxScale);
}

IGraphics::~IGraphics() {
  // The window may close mid-gesture: the host must still see the edit end.
  EndGesture();
  if (mCursorHidden && mPlatform) mPlatform->HideCursor(false);
  mControls.clear();
  mCornerResizer.reset();
  ReleaseDrawingResources();
}

// ---- Size and scale ----

int IGraphics::WindowWidth() const {
  return static_cast<int>(std::lround(mDesignW * mScale));
}

int IGraphics::WindowHeight() const {
  return static_cast<int>(std::lround(mDesignH * mScale));
}

void IGraphics::SetScaleLimits(float minScale, float maxScale) {
  if (!(minScale > 0.f) || !(maxScale >= minScale)) return;
  mMinScale = minScale;
  mMaxScale = maxScale;
}

void IGraphics::Resize(int designW, int designH, float scale) {
  if (designW > 0) mDesignW = designW;
  if (designH > 0) mDesignH = designH;
  if (!std::isfinite(scale)) scale = mScale;
  mScale = std::clamp(scale, mMinScale, mMaxScale);
  for (auto& c : mControls) c->OnRescale();
  if (mCornerResizer) mCornerResizer->OnRescale();
  mAllDirty = true;
  if (mPlatform) {
    mPlatform->RequestResize(WindowWidth(), WindowHeight());
    mPlatform->Invalidate();
  }
}

// ---- Platform ----

void IGraphics::SetPlatform(IGraphicsPlatform* platform) {
  if (platform == mPlatform) return;
  if (mCapture) {
    EndGesture();
    mCapture = nullptr;
  }
  mMouseOver = nullptr;
  mCursorHidden = false;
  mPlatform = platform;
  mAllDirty = true;
}

void IGraphics::HideCursor(bool hide) {
  if (hide == mCursorHidden) return;
  mCursorHidden = hide;
  if (mPlatform) mPlatform->HideCursor(hide);
}

void IGraphics::SetCursor(ECursor cursor) {
  mCursor = cursor;
  if (mPlatform) mPlatform->SetCursor(cursor);
}

// ---- Controls ----

IControl* IGraphics::AttachControl(IControl* control) {
  if (!control) return nullptr;
  mControls.emplace_back(control);
  control->SetGraphics(this);
  control->OnAttached();
  if (control->HasParam()) control->SetValue(GetParamNormalizedForUI(control->ParamIdx()));
  control->SetDirty(false);
  return control;
}

void IGraphics::AttachCornerResizer(ICornerResizerControl* resizer) {
  if (mMouseOver == mCornerResizer.get()) mMouseOver = nullptr;
  if (mCapture == mCornerResizer.get()) mCapture = nullptr;
  mCornerResizer.reset(resizer);
  if (!resizer) return;
  resizer->SetGraphics(this);
  resizer->OnAttached();
  resizer->OnRescale();
  resizer->SetDirty(false);
}

IControl* IGraphics::HitControl(float dx, float dy) const {
  for (auto it = mControls.rbegin(); it != mControls.rend(); ++it) {
    IControl* c = it->get();
    if (!c->IsHidden() && c->IsHit(dx, dy)) return c;
  }
  return nullptr;
}

IControl* IGraphics::HitAny(float dx, float dy) const {
  if (mCornerResizer && !mCornerResizer->IsHidden() && mCornerResizer->IsHit(dx, dy))
    return mCornerResizer.get();
  return HitControl(dx, dy);
}

// ---- Parameters ----

double IGraphics::GetParamNormalizedForUI(int paramIdx) const {
  if (paramIdx < 0 || paramIdx >= mPlug.NParams()) return 0.0;
  // What the edit controller reports to the host, so the panel and the host's own parameter
  // view always agree.
  return mPlug.GetControllerValue(paramIdx);
}

void IGraphics::SetParameterFromUI(int paramIdx, double normalized) {
  if (paramIdx < 0 || paramIdx >= mPlug.NParams()) return;
  if (paramIdx != mGestureParam) {
    // A single edit outside a gesture (wheel, menu choice): the plug-in brackets it itself.
    mPlug.SetParameterValue(paramIdx, normalized);
    return;
  }
  // Inside a gesture the host's edit is already open; a nested begin/end would end it early.
  IParam* param = mPlug.GetParam(paramIdx);
  param->SetFromNormalized(normalized);
  const double n = param->GetNormalized();
  mPlug.SetControllerValue(paramIdx, n);
  mPlug.InformHostOfParamChange(paramIdx, n);
  mPlug.ScheduleParamChange(paramIdx);
}

void IGraphics::SyncControlsToParams() {
  for (auto& c : mControls) {
    if (!c->HasParam()) continue;
    if (c.get() == mCapture && c->ParamIdx() == mGestureParam) continue; // the user holds it
    c->SetValueFromPlug(GetParamNormalizedForUI(c->ParamIdx()));
  }
}

void IGraphics::BeginGesture(IControl* c) {
  EndGesture();
  if (!c->HasParam()) return;
  mGestureParam = c->ParamIdx();
  mPlug.BeginInformHostOfParamChange(mGestureParam);
}

void IGraphics::EndGesture() {
  if (mGestureParam < 0) return;
  const int idx = mGestureParam;
  mGestureParam = -1;
  mPlug.EndInformHostOfParamChange(idx);
}

// ---- Events ----

void IGraphics::AfterEvent() {
  if (mPlatform && HasDirty()) mPlatform->Invalidate();
}

void IGraphics::OnMouseDown(float x, float y, const IMouseMod& mod) {
  // A press while one is held means the window lost a release: finish that gesture first, so a
  // lost event never leaves the editor deaf or the host's edit open.
  if (mCapture) OnMouseUp(x, y, mod);
  const float dx = x / mScale, dy = y / mScale;
  IControl* c = HitAny(dx, dy);
  if (!c) return;
  if (mod.R && c->HasParam()) {
    if (mPlatform) mPlatform->OpenHostContextMenu(c->ParamIdx(), x, y);
    return;
  }
  mCapture = c;
  BeginGesture(c);
  c->OnMouseDown(dx, dy, mod);
  AfterEvent();
}

void IGraphics::OnMouseUp(float x, float y, const IMouseMod& mod) {
  IControl* c = mCapture;
  if (!c) return;
  c->OnMouseUp(x / mScale, y / mScale, mod);
  mCapture = nullptr;
  EndGesture();
  HideCursor(false);
  AfterEvent();
}

void IGraphics::OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) {
  if (!mCapture) return;
  mCapture->OnMouseDrag(x / mScale, y / mScale, dX / mScale, dY / mScale, mod);
  AfterEvent();
}

void IGraphics::OnMouseDblClick(float x, float y, const IMouseMod& mod) {
  if (mCapture) OnMouseUp(x, y, mod); // a lost release, as above
  const float dx = x / mScale, dy = y / mScale;
  IControl* c = HitAny(dx, dy);
  if (!c) return;
  if (c->GetDblAsSingleClick() || (mod.R && c->HasParam())) {
    OnMouseDown(x, y, mod);
    return;
  }
  if (c->HasParam()) {
    BeginGesture(c);
    c->SetValue(c->GetParam()->GetDefault(true));
    c->SetDirty(true);
    EndGesture();
  } else {
    // The release that follows belongs to this control too.
    mCapture = c;
    c->OnMouseDblClick(dx, dy, mod);
  }
  AfterEvent();
}

void IGraphics::OnMouseWheel(float x, float y, const IMouseMod& mod, float d) {
  if (mCapture) return;
  const float dx = x / mScale, dy = y / mScale;
  if (IControl* c = HitAny(dx, dy)) c->OnMouseWheel(dx, dy, mod, d);
  AfterEvent();
}

void IGraphics::OnMouseOver(float x, float y, const IMouseMod& mod) {
  if (!mMouseOverEnabled) return;
  const float dx = x / mScale, dy = y / mScale;
  IControl* c = HitAny(dx, dy);
  if (c != mMouseOver && mMouseOver) mMouseOver->OnMouseOut();
  mMouseOver = c;
  if (c) c->OnMouseOver(dx, dy, mod);
  AfterEvent();
}

void IGraphics::OnMouseOut() {
  if (mMouseOver) mMouseOver->OnMouseOut();
  mMouseOver = nullptr;
  AfterEvent();
}

bool IGraphics::OnKeyDown(float x, float y, const IKeyPress& key) {
  const bool taken = mKeyHandler && mKeyHandler(x, y, key);
  AfterEvent();
  return taken;
}

void IGraphics::OnTimer() {
  mPlug.OnIdle();
  SyncControlsToParams();
  AfterEvent();
}

// ---- Dirty tracking ----

namespace {
IRECT ControlArea(const IControl& c) {
  return c.GetRECT().Union(c.GetTargetRECT());
}
} // namespace

bool IGraphics::HasDirty() const {
  if (mAllDirty) return true;
  for (auto& c : mControls)
    if (c->IsDirty()) return true;
  return mCornerResizer && mCornerResizer->IsDirty();
}

void IGraphics::SetAllDirty() {
  mAllDirty = true;
  if (mPlatform) mPlatform->Invalidate();
}

IRECT IGraphics::TakeDirtyRect() {
  IRECT r;
  for (auto& c : mControls) {
    if (!c->IsDirty()) continue;
    r = r.Union(ControlArea(*c));
    c->ClearDirty();
  }
  if (mCornerResizer && mCornerResizer->IsDirty()) {
    r = r.Union(ControlArea(*mCornerResizer));
    mCornerResizer->ClearDirty();
  }
  const IRECT window(0.f, 0.f, float(WindowWidth()), float(WindowHeight()));
  if (mAllDirty) {
    mAllDirty = false;
    return window;
  }
  if (r.Empty()) return IRECT();
  // Whole pixels plus one for antialiased edges.
  return r.Scaled(mScale).PixelAligned().Padded(1.f).Intersect(window);
}
