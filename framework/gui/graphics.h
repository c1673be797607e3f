#pragma once
// The editor of one open window: a design space (W x H design pixels) shown at a scale, a
// background picture and the controls in attach order. Attach order is drawing order; the mouse
// goes to the most recently attached visible control under the pointer. A platform window drives
// it through the calls below, all on the user-interface thread, in window pixels (design space x
// scale). Drawing calls made from IControl::Draw take design coordinates.
#include "framework/gui/bitmap.h"
#include "framework/gui/control.h"
#include "framework/gui/corner_resizer.h"
#include "framework/gui/geometry.h"
#include "framework/gui/graphics_platform.h"
#include "framework/gui/text.h"

#include <cairo.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class PluginBase;

class IGraphics {
public:
  static constexpr float kDefaultMinScale = 0.25f;
  static constexpr float kDefaultMaxScale = 2.0f;

  IGraphics(PluginBase& plug, int designW, int designH, float scale);
  ~IGraphics();
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  PluginBase& GetDelegate() const { return mPlug; }

  // ---- Size and scale ----
  int Width() const { return mDesignW; } // design space
  int Height() const { return mDesignH; }
  int WindowWidth() const; // design x scale, rounded
  int WindowHeight() const;
  float GetScale() const { return mScale; }
  IRECT GetBounds() const { return {0.f, 0.f, float(mDesignW), float(mDesignH)}; }
  void SetScaleLimits(float minScale, float maxScale);
  float GetMinScale() const { return mMinScale; }
  float GetMaxScale() const { return mMaxScale; }
  // Sets the design size and the scale (clamped to the limits), redraws everything and asks the
  // window to follow.
  void Resize(int designW, int designH, float scale);

  // ---- Platform window ----
  void SetPlatform(IGraphicsPlatform* platform); // nullptr when the window goes away
  IGraphicsPlatform* GetPlatform() const { return mPlatform; }
  void HideCursor(bool hide);
  void SetCursor(ECursor cursor);
  ECursor GetCursor() const { return mCursor; }

  // ---- Resources (missing or broken files are reported on stderr; drawing skips them) ----
  void SetResourcePath(const std::string& folder) { mResourcePath = folder; }
  const std::string& GetResourcePath() const { return mResourcePath; }
  // Loads a PNG (or JPEG) of N vertically stacked frames once per editor.
  IBitmap LoadBitmap(const char* name, int nFrames = 1);
  // Loads a TrueType file under an identifier that IText::font names.
  bool LoadFont(const char* id, const char* fileName);
  // The background picture, drawn under every control (JPEG or PNG).
  void AttachBackground(const char* name);
  // What failed to load so far (one line per file); empty when all is well.
  const std::vector<std::string>& GetResourceErrors() const { return mResourceErrors; }

  // ---- Controls ----
  // Takes ownership; returns the control.
  IControl* AttachControl(IControl* control);
  // The corner handle: kept apart from the ordered controls, drawn last, offered the mouse first.
  void AttachCornerResizer(ICornerResizerControl* resizer);
  ICornerResizerControl* GetCornerResizer() const { return mCornerResizer.get(); }
  int NControls() const { return static_cast<int>(mControls.size()); }
  IControl* GetControl(int i) const { return mControls[static_cast<size_t>(i)].get(); }
  void EnableMouseOver(bool enable) { mMouseOverEnabled = enable; }
  bool MouseOverEnabled() const { return mMouseOverEnabled; }
  void EnableTooltips(bool enable) { mTooltips = enable; }
  void EnableMultiTouch(bool enable) { mMultiTouch = enable && PlatformSupportsMultiTouch(); }
  bool PlatformSupportsMultiTouch() const { return false; }
  IControl* GetMouseOverControl() const { return mMouseOver; }
  IControl* GetCapturedControl() const { return mCapture; }

  // ---- Window events (window pixels) ----
  void OnMouseDown(float x, float y, const IMouseMod& mod);
  void OnMouseUp(float x, float y, const IMouseMod& mod);
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod);
  void OnMouseDblClick(float x, float y, const IMouseMod& mod);
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float d);
  void OnMouseOver(float x, float y, const IMouseMod& mod);
  void OnMouseOut();
  // Keys go to the handler a text entry installs; false when nobody took the key.
  bool OnKeyDown(float x, float y, const IKeyPress& key);
  using KeyHandler = std::function<bool(float x, float y, const IKeyPress& key)>;
  void SetKeyHandler(KeyHandler handler) { mKeyHandler = std::move(handler); }
  // Every 20 ms: the plug-in's OnIdle, then controls follow parameter values changed elsewhere.
  void OnTimer();

  // ---- Parameters ----
  // What a control shows for a parameter: the one place the editor reads parameter values (the
  // edit controller's value).
  double GetParamNormalizedForUI(int paramIdx) const;
  // A control's user edit of its parameter; inside a gesture the host's edit is already begun.
  void SetParameterFromUI(int paramIdx, double normalized);
  // Sets every bound control to its parameter without action (after a program change).
  void SyncControlsToParams();

  // ---- Dirty tracking and painting ----
  // Union of dirty controls (and of pending full redraws) in window pixels; clears it.
  IRECT TakeDirtyRect();
  bool HasDirty() const;
  void SetAllDirty();
  // Paints the region (window pixels) of the editor into cr, whose user space is window pixels.
  void Draw(cairo_t* cr, const IRECT& dirtyWindowRect);

  // ---- Drawing calls for IControl::Draw (design coordinates; valid only during Draw) ----
  cairo_t* GetDrawContext() const { return mCr; }
  // Draws frame (1-based, clamped) of the bitmap centred in rect.
  void DrawBitmap(const IBitmap& bitmap, const IRECT& rect, int frame, float alpha = 1.f);
  // Draws nothing when no font could be loaded.
  void DrawText(const IText& text, const char* str, const IRECT& rect);
  void FillRect(const IColor& color, const IRECT& rect);
  void DrawRect(const IColor& color, const IRECT& rect, float thickness = 1.f);
  void FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3,
                    float y3);
  void FillCircle(const IColor& color, float cx, float cy, float r);
  void DrawLine(const IColor& color, float x1, float y1, float x2, float y2, float thickness = 1.f);
  // Width of a text in design pixels.
  float MeasureText(const IText& text, const char* str);

private:
  IControl* HitControl(float dx, float dy) const;
  IControl* HitAny(float dx, float dy) const;
  void BeginGesture(IControl* c);
  void EndGesture();
  void AfterEvent();
  void ReportResourceError(const std::string& what);
  std::string ResourceFile(const char* name) const;
  bool SetFont(const IText& text);
  void DrawBackground();
  void ReleaseDrawingResources();

  PluginBase& mPlug;
  IGraphicsPlatform* mPlatform = nullptr;
  int mDesignW, mDesignH;
  float mScale = 1.f;
  float mMinScale = kDefaultMinScale, mMaxScale = kDefaultMaxScale;
  std::string mResourcePath;
  std::map<std::string, IBitmap> mBitmapCache;
  std::map<std::string, cairo_font_face_t*> mFonts;
  std::string mFirstFont;
  std::vector<std::string> mResourceErrors;
  IBitmap mBackground;
  cairo_surface_t* mBackgroundCache = nullptr; // background at the drawn pixel scale
  float mBackgroundCacheScale = 0.f;

  std::vector<std::unique_ptr<IControl>> mControls;
  std::unique_ptr<ICornerResizerControl> mCornerResizer;
  IControl* mCapture = nullptr;
  IControl* mMouseOver = nullptr;
  int mGestureParam = -1; // parameter whose host edit is open
  bool mCursorHidden = false;
  ECursor mCursor = ECursor::kArrow;
  bool mMouseOverEnabled = false;
  bool mTooltips = false;
  bool mMultiTouch = false;
  bool mAllDirty = true;
  KeyHandler mKeyHandler;
  cairo_t* mCr = nullptr;
};
