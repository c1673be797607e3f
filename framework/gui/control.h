#pragma once
// The control base: a rectangle on the panel, an optional parameter binding with its normalised
// value, a dirty and a hidden flag, and the mouse and draw callbacks. Coordinates are in the
// design space of the editor (IGraphics scales them to the window).
#include "framework/gui/geometry.h"
#include "framework/gui/text.h"

class IGraphics;
class IParam;
class PluginBase;

// Any negative parameter index means "no parameter"; controls may use it as an identifier.
constexpr int kNoParameter = -1;

class IControl {
public:
  explicit IControl(const IRECT& rect, int paramIdx = kNoParameter);
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Draws the control in design coordinates through the editor's drawing calls.
  virtual void Draw(IGraphics& g) = 0;

  // Mouse callbacks; (x, y) in design coordinates, dX/dY in design units.
  virtual void OnMouseDown(float /*x*/, float /*y*/, const IMouseMod& /*mod*/) {}
  virtual void OnMouseUp(float /*x*/, float /*y*/, const IMouseMod& /*mod*/) {}
  virtual void OnMouseDrag(float /*x*/, float /*y*/, float /*dX*/, float /*dY*/,
                           const IMouseMod& /*mod*/) {}
  // Reached only by controls without a parameter; by default a second click. The release that
  // follows goes to this control.
  virtual void OnMouseDblClick(float x, float y, const IMouseMod& mod) { OnMouseDown(x, y, mod); }
  virtual void OnMouseWheel(float /*x*/, float /*y*/, const IMouseMod& /*mod*/, float /*d*/) {}
  // Called on every pointer move over the control while mouse-over tracking is on.
  virtual void OnMouseOver(float /*x*/, float /*y*/, const IMouseMod& /*mod*/) {}
  virtual void OnMouseOut() {}
  // The editor's scale changed.
  virtual void OnRescale() {}
  // Attached to an editor; GetUI() is valid from here on.
  virtual void OnAttached() {}
  virtual bool IsHit(float x, float y) const { return mTargetRECT.Contains(x, y); }

  // The plug-in's value changed (host, program, automation): store it and redraw, no action.
  virtual void SetValueFromPlug(double normalized);
  // A user edit: store, redraw and tell the plug-in when it differs from the current value.
  virtual void SetValueFromUserInput(double normalized);

  const IRECT& GetRECT() const { return mRECT; }
  void SetRECT(const IRECT& r) { mRECT = r; }
  // Where the control takes the mouse; the rectangle unless set otherwise.
  const IRECT& GetTargetRECT() const { return mTargetRECT; }
  void SetTargetRECT(const IRECT& r) { mTargetRECT = r; }
  void SetTargetAndDrawRECTs(const IRECT& r) { mRECT = mTargetRECT = r; }

  // Parameter index (negative: none, then the number is an identifier) and the bound parameter.
  int ParamIdx() const { return mParamIdx; }
  bool HasParam() const;
  IParam* GetParam() const;

  double GetValue() const { return mValue; }
  void SetValue(double normalized);
  // Marks the control for redrawing; with action a bound control passes its value to the
  // plug-in (inside a gesture the toolkit has already begun the host's edit).
  void SetDirty(bool withAction = true);
  bool IsDirty() const { return mDirty; }
  void ClearDirty() { mDirty = false; }

  // Hidden controls neither draw nor take the mouse. Changing it redraws the area.
  void Hide(bool hide);
  bool IsHidden() const { return mHidden; }

  // A double-click is delivered as a second mouse-down instead of resetting to the default.
  void SetDblAsSingleClick(bool b) { mDblAsSingleClick = b; }
  bool GetDblAsSingleClick() const { return mDblAsSingleClick; }

  // Controls that want no typed value entry keep this set (the default).
  void DisablePrompt(bool disable) { mPromptDisabled = disable; }
  bool IsPromptDisabled() const { return mPromptDisabled; }

  const IText& GetText() const { return mText; }
  void SetText(const IText& text) { mText = text; }

  IGraphics* GetUI() const { return mGraphics; }
  PluginBase* GetDelegate() const;
  // Hides the cursor (during a drag) through the window; shown again at the latest on release.
  void HideCursor(bool hide);

  // Set by IGraphics when attached.
  void SetGraphics(IGraphics* g) { mGraphics = g; }

protected:
  IRECT mRECT;
  IRECT mTargetRECT;
  int mParamIdx;
  double mValue = 0.0;
  IText mText;

private:
  IGraphics* mGraphics = nullptr;
  bool mDirty = true;
  bool mHidden = false;
  bool mDblAsSingleClick = false;
  bool mPromptDisabled = true;
};
