#pragma once
// Pop-up menus on X11: override-redirect top-level windows on the editor's own connection,
// placed in root coordinates, so a menu is never clipped by the editor or the host's window.
// While a menu is open it grabs the pointer and the keyboard; every way of closing it releases
// both. The editor window passes each X event to HandleEvent first.
#include "framework/gui/geometry.h"
#include "framework/gui/graphics_platform.h"
#include "framework/gui/popup_menu_session.h"

#include <memory>
#include <vector>

typedef struct _XDisplay Display;
typedef struct _cairo_surface cairo_surface_t;
union _XEvent;

class X11PopupMenu {
public:
  // parent: the editor's window; contentScale: physical pixels per logical pixel.
  X11PopupMenu(Display* display, unsigned long parent, float contentScale);
  // Closes an open menu without an answer.
  ~X11PopupMenu();
  X11PopupMenu(const X11PopupMenu&) = delete;
  X11PopupMenu& operator=(const X11PopupMenu&) = delete;

  // Opens menu under anchor (logical pixels of the parent window). An open menu is closed first,
  // without an answer. False when the windows could not be made.
  bool Open(IPopupMenu& menu, const IRECT& anchor, const PopupMenuStyle& style,
            IGraphicsPlatform::PopupMenuDone done);
  // Handles an event that belongs to the menu (its windows, or pointer and keys while it grabs
  // them); false for every other event. The answer is given after the windows are gone.
  bool HandleEvent(_XEvent& event);
  // Closes the menu without an answer.
  void Close();
  bool IsOpen() const { return mSession != nullptr; }
  void SetContentScale(float scale) { mContentScale = scale > 0.f ? scale : 1.f; }

  // For tests: the open session (root-window pixels) and whether the grabs succeeded.
  const PopupMenuSession* Session() const { return mSession.get(); }
  bool PointerGrabbed() const { return mPointerGrabbed; }
  unsigned long PanelWindow(int level) const;

private:
  struct Panel {
    unsigned long window = 0;
    cairo_surface_t* surface = nullptr; // an image put up with XPutImage, or an Xlib surface
    void* gc = nullptr;
    const IPopupMenu* menu = nullptr;
    PopupRect bounds;
  };

  bool OwnsWindow(unsigned long window) const;
  void SyncPanels();
  void DestroyPanel(Panel& panel);
  void PaintAll();
  void Paint(Panel& panel, int level);
  void Grab();
  void Ungrab();
  void FinishIfDone();

  Display* mDisplay;
  unsigned long mParent;
  float mContentScale;
  std::unique_ptr<PopupMenuSession> mSession;
  IGraphicsPlatform::PopupMenuDone mDone;
  std::vector<Panel> mPanels;
  bool mPointerGrabbed = false;
  bool mKeyboardGrabbed = false;
  // On 24-bit TrueColor screens panels are drawn in memory and put up whole: cairo-xlib keeps
  // caches per connection that outlive an editor.
  bool mPutImage = false;
};
