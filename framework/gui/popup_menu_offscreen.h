#pragma once
// Pop-up menus without a window: the offscreen stand-in keeps the open menu as a session inside
// the editor's area, so tests (and pictures) can open a menu, pick an item and read the answer.
#include "framework/gui/offscreen.h"
#include "framework/gui/popup_menu_session.h"

#include <memory>

class OffscreenMenuPlatform : public OffscreenPlatform {
public:
  explicit OffscreenMenuPlatform(IGraphics& graphics) : mGraphics(graphics) {}

  bool CreatePopupMenu(IPopupMenu& menu, const IRECT& anchor, const PopupMenuStyle& style,
                       PopupMenuDone done) override;
  void ClosePopupMenu() override;
  bool IsPopupMenuOpen() const override { return mSession != nullptr; }
  void SetKeyboardFocus(bool take) override { keyboardFocus = take; }

  // The open menu, or null.
  PopupMenuSession* Session() const { return mSession.get(); }
  // Picks the item at position of menu as the mouse would: through the submenus that lead to it,
  // then a click. False when nothing was chosen (no menu, no such item, a disabled item).
  bool Choose(const IPopupMenu* menu, int position);
  // Finds the first item with this text (top level first, then submenus in order) and picks it.
  bool ChooseText(const std::string& text);
  // Opens the submenus on the way to menu without choosing (for pictures).
  bool Reveal(const IPopupMenu* menu);
  // Mouse and keys in window pixels, as a real menu gets them.
  void MouseMove(float x, float y);
  void Click(float x, float y);
  void Key(PopupMenuSession::EKey key);
  void Dismiss();

  bool keyboardFocus = false;
  int menusShown = 0;
  bool lastChosen = false; // whether the last input ended the menu with a choice
  IRECT lastAnchor;

private:
  void Finish();

  IGraphics& mGraphics;
  std::unique_ptr<PopupMenuSession> mSession;
  PopupMenuDone mDone;
};

// The editor's picture with the open menu drawn over it; the caller destroys the image.
cairo_surface_t* RenderToImageWithMenu(IGraphics& g, const OffscreenMenuPlatform& platform);
bool RenderToPngWithMenu(IGraphics& g, const OffscreenMenuPlatform& platform,
                         const std::string& path);
