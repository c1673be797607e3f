#include "framework/gui/popup_menu_host.h"

#include "framework/gui/graphics.h"
#include "framework/gui/popup_menu_session.h"

bool ShowPopupMenu(IControl& control, IPopupMenu& menu, const IRECT& designAnchor,
                   cairo_font_face_t* font, IGraphicsPlatform::PopupMenuDone done) {
  IGraphics* g = control.GetUI();
  IGraphicsPlatform* platform = g ? g->GetPlatform() : nullptr;
  if (!platform) return false;
  PopupMenuStyle style;
  style.font = font;
  return platform->CreatePopupMenu(menu, designAnchor.Scaled(g->GetScale()), style,
                                   std::move(done));
}
