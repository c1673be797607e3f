#include "framework/gui/corner_resizer.h"

#include "framework/gui/graphics.h"

ICornerResizerControl::ICornerResizerControl(const IRECT& graphicsBounds, float size)
    : IControl(IRECT(graphicsBounds.R - size + 1.f, graphicsBounds.B - size + 1.f,
                     graphicsBounds.R - 1.f, graphicsBounds.B - 1.f)),
      mSize(size), mInitialBounds(graphicsBounds) {}

void ICornerResizerControl::Draw(IGraphics& g) {
  const IColor c =
      (mMouseOver || mResizing) ? IColor(128, 255, 255, 255) : IColor(48, 255, 255, 255);
  const IRECT& r = mTargetRECT;
  g.FillTriangle(c, r.L, r.B, r.R, r.T, r.R, r.B);
}

void ICornerResizerControl::OnMouseDown(float, float, const IMouseMod& mod) {
  if (!mod.L) return;
  mResizing = true;
  SetDirty(false);
}

void ICornerResizerControl::OnMouseUp(float, float, const IMouseMod&) {
  if (!mResizing) return;
  mResizing = false;
  SetDirty(false);
}

void ICornerResizerControl::OnMouseDrag(float x, float y, float, float, const IMouseMod&) {
  IGraphics* g = GetUI();
  if (!mResizing || !g) return;
  // The pointer (design coordinates at the current scale) projected on the window's diagonal
  // gives the scale that puts the corner under it.
  const float s = g->GetScale();
  const float wx = x * s, wy = y * s;
  const float W = float(g->Width()), H = float(g->Height());
  const float newScale = (wx * W + wy * H) / (W * W + H * H);
  if (int(newScale * W + 0.5f) == g->WindowWidth() && int(newScale * H + 0.5f) == g->WindowHeight())
    return;
  g->Resize(g->Width(), g->Height(), newScale);
}

void ICornerResizerControl::OnMouseDblClick(float, float, const IMouseMod&) {
  if (IGraphics* g = GetUI()) g->Resize(int(mInitialBounds.W()), int(mInitialBounds.H()), 1.f);
}

void ICornerResizerControl::OnMouseOver(float, float, const IMouseMod&) {
  if (mMouseOver) return;
  mMouseOver = true;
  if (IGraphics* g = GetUI()) {
    mPreviousCursor = g->GetCursor();
    g->SetCursor(ECursor::kSizeNWSE);
  }
  SetDirty(false);
}

void ICornerResizerControl::OnMouseOut() {
  if (!mMouseOver) return;
  mMouseOver = false;
  if (IGraphics* g = GetUI()) g->SetCursor(mPreviousCursor);
  SetDirty(false);
}

void ICornerResizerControl::OnRescale() {
  IGraphics* g = GetUI();
  if (!g) return;
  const float W = float(g->Width()), H = float(g->Height()), s = g->GetScale();
  mTargetRECT = IRECT(W - mSize / s, H - mSize / s, W, H);
}
