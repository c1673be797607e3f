#pragma once
// The editor's window on X11: a child of the host's window on a private connection to the X
// server, never the host's. It turns X events into the editor's mouse and key calls, paints
// only what is dirty through cairo-xlib, and sets the cursor. Everything runs on the
// user-interface thread, driven by the view through Pump and Tick.
#include "framework/gui/geometry.h"
#include "framework/gui/graphics_platform.h"

#include <memory>
#include <string>

class IGraphics;
class X11ErrorTrap;
class X11PopupMenu;
class XkbKeyTranslator;
typedef struct _XDisplay Display;
typedef struct _cairo_surface cairo_surface_t;
union _XEvent;
struct _XGC;

// What the window asks of the view that owns it; sizes and points in physical pixels.
class X11WindowOwner {
public:
  virtual ~X11WindowOwner() = default;
  virtual void WindowResized(int pixelW, int pixelH) = 0;
  virtual void WindowContextMenu(int paramIdx, int pixelX, int pixelY) = 0;
};

class X11Window : public IGraphicsPlatform {
public:
  // Opens a connection and a child window of `parent` at the editor's size times the content
  // scale. Returns nullptr, with the reason in `why`, when there is no X server.
  static std::unique_ptr<X11Window> Open(unsigned long parent, IGraphics& graphics,
                                         float contentScale, X11WindowOwner* owner,
                                         std::string* why);
  ~X11Window() override;
  X11Window(const X11Window&) = delete;
  X11Window& operator=(const X11Window&) = delete;

  // The connection's file descriptor, for the host's run loop.
  int ConnectionFd() const;
  unsigned long WindowId() const { return mWindow; }
  // Handles every queued X event, then paints what became dirty.
  void Pump();
  // The 20 ms tick: events, the editor's timer, painting.
  void Tick();
  // A new content scale (HiDPI) or a new editor size: the window takes the editor's size.
  void SetContentScale(float scale);
  float ContentScale() const { return mContentScale; }
  int PixelWidth() const { return mPixelW; }
  int PixelHeight() const { return mPixelH; }
  bool HasKeyboard() const { return mHasKeyboard; }
  // The private connection, for windows of the editor's own (pop-up menus).
  Display* GetDisplay() const { return mDisplay; }
  bool ButtonHeld() const { return mButtons != 0; }

  // What was painted, for measurements: number of paints and the last painted rectangle in
  // physical pixels.
  int Paints() const { return mPaints; }
  IRECT LastPaintedRect() const { return mLastPainted; }

  // IGraphicsPlatform
  void Invalidate() override { mInvalid = true; }
  void HideCursor(bool hide) override;
  void SetCursor(ECursor cursor) override;
  void RequestResize(int windowW, int windowH) override;
  void OpenHostContextMenu(int paramIdx, float x, float y) override;
  // While text is typed into the editor it takes the keyboard focus, and gives it back after.
  void SetKeyboardFocus(bool take) override;
  bool CreatePopupMenu(IPopupMenu& menu, const IRECT& anchor, const PopupMenuStyle& style,
                       PopupMenuDone done) override;
  void ClosePopupMenu() override;
  bool IsPopupMenuOpen() const override;
  // The open pop-up menu, for tests.
  const X11PopupMenu* PopupMenu() const { return mPopup.get(); }

private:
  X11Window(Display* display, IGraphics& graphics, X11WindowOwner* owner, float contentScale);
  bool Create(unsigned long parent, std::string* why);
  void Handle(_XEvent& event);
  void Paint();
  void ApplyCursor();
  IMouseMod Mods(unsigned state) const;
  void Reconcile(unsigned state);
  float ToLogical(int pixel) const { return static_cast<float>(pixel) / mContentScale; }
  void ResizePixels(int w, int h);

  Display* mDisplay;
  std::unique_ptr<X11ErrorTrap> mTrap;
  std::unique_ptr<X11PopupMenu> mPopup;
  IGraphics& mGraphics;
  X11WindowOwner* mOwner;
  float mContentScale;
  unsigned long mWindow = 0;
  cairo_surface_t* mSurface = nullptr;
  void* mVisual = nullptr; // Visual*
  _XGC* mGC = nullptr;     // set when pixels go up with XPutImage
  int mPixelW = 0, mPixelH = 0;
  IRECT mExposed;
  bool mInvalid = true;

  // Mouse state: buttons held (bit 0 left, bit 1 right), last point, the last left press for
  // double-click detection.
  unsigned mButtons = 0;
  int mLastX = 0, mLastY = 0;
  unsigned long mLastPressTime = 0;
  int mLastPressX = -100, mLastPressY = -100;
  bool mLastPressWasDouble = false;
  bool mInside = false;

  bool mHasKeyboard = false;
  std::unique_ptr<XkbKeyTranslator> mKeys;
  unsigned long mPreviousFocus = 0;

  ECursor mCursor = ECursor::kArrow;
  bool mCursorHidden = false;
  unsigned long mBlankCursor = 0;
  unsigned long mShapeCursors[4] = {};

  int mPaints = 0;
  IRECT mLastPainted;
};
