#pragma once
// What the editor asks of the window that shows it. The X11 window implements it; tests use the
// offscreen stand-in (offscreen.h). Every call happens on the user-interface thread.

enum class ECursor { kArrow, kHand, kSizeNWSE, kIBeam };

class IGraphicsPlatform {
public:
  virtual ~IGraphicsPlatform() = default;
  // Something is dirty: the window asks IGraphics::TakeDirtyRect and paints soon.
  virtual void Invalidate() = 0;
  virtual void HideCursor(bool hide) = 0;
  virtual void SetCursor(ECursor cursor) = 0;
  // The editor's size in window pixels changed (scale); the view asks the host to follow.
  virtual void RequestResize(int windowW, int windowH) = 0;
  // Right-click on a parameter-bound control: the host's menu for that parameter, at (x, y) in
  // window pixels.
  virtual void OpenHostContextMenu(int paramIdx, float x, float y) = 0;
};
