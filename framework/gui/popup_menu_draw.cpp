#include "framework/gui/popup_menu_draw.h"

#include "framework/gui/text_entry_utf8.h"

#include <memory>

namespace {

struct Rgb {
  double r, g, b;
};
constexpr Rgb kPanel{0.16, 0.16, 0.18};
constexpr Rgb kBorder{0.42, 0.42, 0.46};
constexpr Rgb kText{0.92, 0.92, 0.90};
constexpr Rgb kDisabledText{0.50, 0.50, 0.52};
constexpr Rgb kHighlight{0.27, 0.42, 0.63};
constexpr Rgb kSeparator{0.34, 0.34, 0.38};

void SetColour(cairo_t* cr, const Rgb& c) {
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

void DrawCheckMark(cairo_t* cr, const PopupRect& item, float s) {
  const double x = item.L + 8.0 * s, y = item.MidY();
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x + 3.5 * s, y + 4.0 * s);
  cairo_line_to(cr, x + 10.0 * s, y - 5.0 * s);
  cairo_set_line_width(cr, 2.0 * s);
  cairo_stroke(cr);
}

void DrawSubmenuArrow(cairo_t* cr, const PopupRect& item, float s) {
  const double x = item.R - 14.0 * s, y = item.MidY();
  cairo_move_to(cr, x, y - 4.5 * s);
  cairo_line_to(cr, x + 5.0 * s, y);
  cairo_line_to(cr, x, y + 4.5 * s);
  cairo_close_path(cr);
  cairo_fill(cr);
}

} // namespace

void SelectPopupFont(cairo_t* cr, cairo_font_face_t* font, float fontSize) {
  if (font) {
    cairo_set_font_face(cr, font);
  } else {
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  }
  cairo_set_font_size(cr, fontSize);
}

float MeasurePopupText(const std::string& text, float fontSize, cairo_font_face_t* font) {
  using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
  using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;
  static thread_local Surface surface(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1),
                                      &cairo_surface_destroy);
  Context cr(cairo_create(surface.get()), &cairo_destroy);
  SelectPopupFont(cr.get(), font, fontSize);
  const std::string shown = utf8::Sanitize(text);
  cairo_text_extents_t ext;
  cairo_text_extents(cr.get(), shown.c_str(), &ext);
  return static_cast<float>(ext.x_advance);
}

void DrawPopupLevel(cairo_t* cr, const PopupMenuSession::Level& level,
                    const PopupMenuStyle& style) {
  const float s = style.scale;
  const PopupRect& b = level.bounds;
  cairo_save(cr);
  cairo_rectangle(cr, b.L, b.T, b.W(), b.H());
  SetColour(cr, kPanel);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, style.border * s);
  SetColour(cr, kBorder);
  cairo_stroke(cr);

  SelectPopupFont(cr, style.font, style.fontSize * s);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  for (int i = 0; i < level.menu->NItems(); ++i) {
    const IPopupMenu::Item* item = level.menu->GetItem(i);
    const PopupRect& r = level.items[static_cast<size_t>(i)];
    if (item->GetIsSeparator()) {
      cairo_move_to(cr, r.L + 6.0 * s, r.MidY());
      cairo_line_to(cr, r.R - 6.0 * s, r.MidY());
      cairo_set_line_width(cr, 1.0 * s);
      SetColour(cr, kSeparator);
      cairo_stroke(cr);
      continue;
    }
    if (i == level.highlighted) {
      cairo_rectangle(cr, r.L, r.T, r.W(), r.H());
      SetColour(cr, kHighlight);
      cairo_fill(cr);
    }
    SetColour(cr, item->GetEnabled() ? kText : kDisabledText);
    const std::string text = utf8::Sanitize(item->GetText());
    cairo_move_to(cr, r.L + style.padLeft * s, r.MidY() + (fe.ascent - fe.descent) / 2.0);
    cairo_show_text(cr, text.c_str());
    if (item->GetChecked()) DrawCheckMark(cr, r, s);
    if (item->GetSubmenu()) DrawSubmenuArrow(cr, r, s);
  }
  cairo_restore(cr);
}

void DrawPopupSession(cairo_t* cr, const PopupMenuSession& session) {
  for (int i = 0; i < session.NLevels(); ++i)
    DrawPopupLevel(cr, session.GetLevel(i), session.Style());
}
