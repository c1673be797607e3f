#pragma once
// What the editor asks of the window that shows it. The X11 window implements it; tests use the
// offscreen stand-in (offscreen.h). Every call happens on the user-interface thread.
#include "framework/gui/geometry.h"

#include <functional>

class IPopupMenu;
struct PopupMenuStyle;

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

  // ---- Pop-up menus and keyboard focus; a window without them shows no menu ----
  // The answer of a menu: the (sub)menu in which an item was chosen and its position there, or
  // null and -1 when it was dismissed. Never called once the menu was closed by the window.
  using PopupMenuDone = std::function<void(IPopupMenu* menu, int position)>;
  // Shows menu under anchor (window pixels), or above it when there is no room; one menu at a
  // time, a new one closes the old without an answer. False when no menu can be shown.
  virtual bool CreatePopupMenu(IPopupMenu& /*menu*/, const IRECT& /*anchor*/,
                               const PopupMenuStyle& /*style*/, PopupMenuDone /*done*/) {
    return false;
  }
  // Closes an open menu without an answer (the editor closes, the view goes away).
  virtual void ClosePopupMenu() {}
  virtual bool IsPopupMenuOpen() const { return false; }
  // A text field takes the keyboard from the host (true) and gives it back (false).
  virtual void SetKeyboardFocus(bool /*take*/) {}
};
