#pragma once
// Drawing of pop-up menu panels with Cairo, shared by real pop-up windows and offscreen images.
#include "framework/gui/popup_menu_session.h"

#include <cairo.h>
#include <string>

// The width of a text in the menu font.
float MeasurePopupText(const std::string& text, float fontSize, cairo_font_face_t* font);
// Sets the menu font on a context.
void SelectPopupFont(cairo_t* cr, cairo_font_face_t* font, float fontSize);

// Draws one panel at its bounds, in the context's coordinates.
void DrawPopupLevel(cairo_t* cr, const PopupMenuSession::Level& level, const PopupMenuStyle& style);
// Draws every open panel of a session, deepest last.
void DrawPopupSession(cairo_t* cr, const PopupMenuSession& session);
