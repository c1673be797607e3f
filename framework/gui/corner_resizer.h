#pragma once
// The corner handle base: dragging it scales the editor, a double-click returns to the design
// size at scale 1. IGraphics keeps it apart from the ordered controls (drawn last, offered the
// mouse first).
#include "framework/gui/control.h"
#include "framework/gui/graphics_platform.h"

class ICornerResizerControl : public IControl {
public:
  // graphicsBounds: the design space (0, 0, W, H); size: the handle's size in window pixels.
  ICornerResizerControl(const IRECT& graphicsBounds, float size);

  // A plain triangle in the corner; plug-ins draw their own.
  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  // Keeps the hit area `size` window pixels wide at any scale.
  void OnRescale() override;

  bool IsMouseOver() const { return mMouseOver; }
  bool IsResizing() const { return mResizing; }
  float GetSize() const { return mSize; }
  const IRECT& GetInitialGraphicsBounds() const { return mInitialBounds; }

protected:
  float mSize;
  IRECT mInitialBounds;
  bool mMouseOver = false;
  bool mResizing = false;
  ECursor mPreviousCursor = ECursor::kArrow;
};
