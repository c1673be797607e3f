#pragma once
// Showing a control's pop-up menu through its editor's window.
#include "framework/gui/control.h"
#include "framework/gui/graphics_platform.h"
#include "framework/gui/popup_menu.h"

#include <cairo.h>

// Shows menu at designAnchor (the control's design coordinates; a rectangle of zero size for the
// pointer) in the given font. The answer arrives later in done. False when the control has no
// window or the window shows no menus.
bool ShowPopupMenu(IControl& control, IPopupMenu& menu, const IRECT& designAnchor,
                   cairo_font_face_t* font, IGraphicsPlatform::PopupMenuDone done);
