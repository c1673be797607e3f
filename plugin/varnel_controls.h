#pragma once
// The panel's own controls: knobs, the knob with its value read-out, the two-state switch, the
// momentary button of the program section and manual trigger, and the corner handle.
#include "framework/gui/basic_controls.h"
#include "framework/gui/bitmap.h"
#include "framework/gui/control.h"
#include "framework/gui/corner_resizer.h"

class Varnel;

// A rotary knob on a strip of frames. Dragging up by gearing times its height sweeps the range;
// Shift or Control make it ten times finer. Stepped parameters land on whole steps.
class IVellKnobControl : public IControl {
public:
  IVellKnobControl(float x, float y, int paramIdx, const IBitmap& bitmap, double gearing = 4.0);

  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d) override;

  // Frame (1-based) of an N-frame strip for a normalised value.
  static int KnobFrame(double value, int nFrames);
  double Gearing() const { return mGearing; }
  bool IsDragging() const { return mMouseDown; }

protected:
  // The parameter's plain value snapped to its step, as a normalised value.
  double SnapToStep(double normalized) const;

  IBitmap mBitmap;
  IRECT mKnobRECT;
  double mGearing;
  bool mMouseDown = false;
  double mDragValue = 0.0;
};

// A knob with its parameter's display text in a 16-pixel band below it.
class IVellKnobTextControl : public IVellKnobControl {
public:
  IVellKnobTextControl(float x, float y, int paramIdx, const IBitmap& bitmap, double gearing = 4.0);
  void Draw(IGraphics& g) override;
  const IRECT& TextRECT() const { return mTextRECT; }

private:
  IRECT mTextRECT;
};

// A two-state switch: frame 1 (upper) when on, frame 2 when off; every click toggles.
class IVellSwitchControl : public IControl {
public:
  IVellSwitchControl(float x, float y, int paramIdx, const IBitmap& bitmap);
  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;

private:
  IBitmap mBitmap;
};

// A momentary button bound to no parameter; its identifier chooses what the release does:
// previous or next program, bank and program buttons, the manual trigger.
class IVellUtilityKick : public IControl {
public:
  IVellUtilityKick(float x, float y, int identifier, const IBitmap& bitmap);
  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;

private:
  void Act(Varnel& plug);
  IBitmap mBitmap;
};

// The corner handle: a translucent yellow triangle that brightens under the pointer or while
// dragging.
class IVellCornerResizer : public ICornerResizerControl {
public:
  IVellCornerResizer(const IRECT& graphicsBounds, float size);
  void Draw(IGraphics& g) override;
  const IRECT& TriangleRECT() const { return mTriangle; }

private:
  IRECT mTriangle;
};
