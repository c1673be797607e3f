#include "tools/art/panel_art.h"

#include "plugin/param_ids.h"
#include "tools/art/art_style.h"
#include "tools/art/control_art.h"

#include <cmath>
#include <string>
#include <vector>

namespace art {

using namespace panel;
namespace {

const double kPi = 3.14159265358979323846;

bool inGroup(const Entry& e, PanelGroup g) {
  switch (g) {
  case PanelGroup::Common:
    return e.role != Role::ResControl && e.role != Role::EqKnob;
  case PanelGroup::Resonators:
    return e.role == Role::ResControl;
  case PanelGroup::Equaliser:
    return e.role == Role::EqKnob;
  }
  return false;
}

void drawMaterial(cairo_t* cr) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, kHeight);
  Colour top = style::panelTop(), bottom = style::panelBottom();
  cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
  cairo_rectangle(cr, 0, 0, kWidth, kHeight);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  // A bevelled edge round the whole panel.
  cairo_set_line_width(cr, 2);
  cairo_rectangle(cr, 1, 1, kWidth - 2, kHeight - 2);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
  cairo_stroke(cr);
  cairo_rectangle(cr, 4, 4, kWidth - 8, kHeight - 8);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_stroke(cr);
}

void drawScrew(cairo_t* cr, double cx, double cy) {
  cairo_arc(cr, cx, cy + 1, 7, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  cairo_fill(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(cx - 6, cy - 6, cx + 6, cy + 6);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.70, 0.71, 0.74);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.30, 0.31, 0.34);
  cairo_arc(cr, cx, cy, 6.5, 0, 2 * kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1.6);
  cairo_set_source_rgba(cr, 0.08, 0.08, 0.09, 0.9);
  cairo_move_to(cr, cx - 4, cy - 2.5);
  cairo_line_to(cr, cx + 4, cy + 2.5);
  cairo_stroke(cr);
}

// A section: the outline of the union of its parts, a faint lighter ground inside, and the
// title set into the top edge of its first part.
void drawSection(cairo_t* cr, Section s, const std::string& title, bool withText) {
  std::vector<Rect> parts = sectionParts(s);
  if (parts.empty()) return;
  const double line = 2.0, radius = 9.0;
  cairo_push_group(cr);
  for (const Rect& p : parts)
    roundedRect(cr, p.l - line / 2, p.t - line / 2, p.w() + line, p.h() + line, radius);
  setColour(cr, style::accent(0.6));
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  for (const Rect& p : parts)
    roundedRect(cr, p.l + line / 2, p.t + line / 2, p.w() - line, p.h() - line, radius - 1);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.03);
  cairo_fill(cr);
  if (!title.empty()) {
    Rect t = sectionTitleRect(s);
    cairo_rectangle(cr, t.l, t.t, t.w(), t.h());
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
    cairo_fill(cr);
  }
  cairo_pop_group_to_source(cr);
  cairo_paint(cr);
  if (!title.empty() && withText) {
    Rect t = sectionTitleRect(s);
    useMedium(cr, kTitleSize);
    setColour(cr, style::accent());
    text(cr, title, t.cx(), t.cy(), Align::Centre, kTitleSpacing);
  }
}

void drawLabel(cairo_t* cr, const Entry& e) {
  Rect r = labelRect(e);
  if (r.empty()) return;
  useRegular(cr, labelSize(e));
  setColour(cr, style::label());
  bool left = e.labelAt == LabelAt::Left || e.labelAt == LabelAt::Left2;
  bool right = e.labelAt == LabelAt::Right || e.labelAt == LabelAt::Right2 ||
               e.labelAt == LabelAt::AboveLeft;
  Align a = left ? Align::Right : (right ? Align::Left : Align::Centre);
  double x = a == Align::Left ? r.l : (a == Align::Right ? r.r : r.cx());
  std::string s = e.label;
  size_t cut = s.rfind(' ');
  if (labelLines(e) == 2 && cut != std::string::npos) {
    double half = labelSize(e) / 2.0 + 0.5;
    text(cr, s.substr(0, cut), x, r.cy() - half, a);
    text(cr, s.substr(cut + 1), x, r.cy() + half, a);
    return;
  }
  text(cr, s, x, r.cy(), a);
}

void tickRing(cairo_t* cr, double cx, double cy, double r0, double r1, int ticks) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < ticks; ++i) {
    double v = static_cast<double>(i) / (ticks - 1);
    bool major = i == 0 || i == ticks - 1 || i == ticks / 2;
    double a = knobAngle(v), s = std::sin(a), c = -std::cos(a);
    double inner = major ? r0 : r0 + (r1 - r0) * 0.35;
    cairo_set_line_width(cr, major ? 2.2 : 1.5);
    setColour(cr, style::tick(major ? 0.85 : 0.55));
    cairo_move_to(cr, cx + s * inner, cy + c * inner);
    cairo_line_to(cr, cx + s * r1, cy + c * r1);
    cairo_stroke(cr);
  }
}

void drawKnobScale(cairo_t* cr, const Entry& e) {
  const BitmapSpec& bs = bitmapSpec(e.bitmap);
  double cx = e.place.l + bs.frameW / 2.0, cy = e.place.t + bs.frameH / 2.0;
  switch (e.bitmap) {
  case Bitmap::Knob:
    tickRing(cr, cx, cy, 25, 30.5, 11);
    break;
  case Bitmap::KnobBig:
    tickRing(cr, cx, cy, 32, 38.5, 11);
    break;
  case Bitmap::KnobSmall:
    tickRing(cr, cx, cy, 18, 22.5, 11);
    break;
  case Bitmap::Switch6: {
    static const char* const names[] = {"Off", "1", "2", "3", "4", "5"};
    useRegular(cr, 19);
    for (int i = 0; i < 6; ++i) {
      double a = knobAngle(i / 5.0), s = std::sin(a), c = -std::cos(a);
      cairo_arc(cr, cx + s * 26, cy + c * 26, 2.2, 0, 2 * kPi);
      setColour(cr, style::tick(0.85));
      cairo_fill(cr);
      setColour(cr, style::dimLabel());
      double rx = i == 0 ? 46 : 38;
      text(cr, names[i], cx + s * rx, cy + c * 38, Align::Centre);
    }
    break;
  }
  default:
    break;
  }
}

// Legends at the two ends of a switch: the on end is the upper (or right) one.
void drawSwitchLegends(cairo_t* cr, const Entry& e) {
  if (!e.legendOn) return;
  Rect r = controlRect(e);
  useRegular(cr, kLegendSize);
  setColour(cr, style::dimLabel());
  if (e.bitmap == Bitmap::Switch2Horiz) {
    text(cr, e.legendOff, r.l - 5, r.cy(), Align::Right);
    text(cr, e.legendOn, r.r + 5, r.cy(), Align::Left);
  } else {
    text(cr, e.legendOn, r.r + 5, r.t + 9, Align::Left);
    text(cr, e.legendOff, r.r + 5, r.b - 9, Align::Left);
  }
}

void unlitLed(cairo_t* cr, const Entry& e) {
  Rect r = controlRect(e);
  double cx = r.cx(), cy = r.cy();
  cairo_arc(cr, cx, cy, 6.5, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_fill(cr);
  cairo_pattern_t* g = cairo_pattern_create_radial(cx - 1.5, cy - 1.5, 0.5, cx, cy, 5);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.42, 0.16, 0.10);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.20, 0.06, 0.04);
  cairo_arc(cr, cx, cy, 5, 0, 2 * kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

// A recessed window for text that the editor draws (program name, patch info).
void displayWindow(cairo_t* cr, const Rect& r) {
  roundedRect(cr, r.l - 1, r.t - 1, r.w() + 2, r.h() + 3, 6);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
  cairo_fill(cr);
  roundedRect(cr, r.l, r.t, r.w(), r.h(), 5);
  setColour(cr, style::display());
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1.5);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
  cairo_stroke(cr);
}

// A marked menu hot spot: an outlined key with a menu glyph and its caption.
void menuHotSpot(cairo_t* cr, const Rect& r, const char* caption, bool vertical) {
  roundedRect(cr, r.l + 1, r.t + 1, r.w() - 2, r.h() - 2, 6);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.06);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1.5);
  setColour(cr, style::accent(0.8));
  cairo_stroke(cr);
  useMedium(cr, 19);
  setColour(cr, style::label());
  if (vertical) {
    cairo_save(cr);
    cairo_translate(cr, r.cx(), r.cy());
    cairo_rotate(cr, -kPi / 2);
    text(cr, caption, 0, 0, Align::Centre, 1);
    cairo_restore(cr);
  } else {
    text(cr, caption, r.cx() - 8, r.cy(), Align::Centre, 1);
    double x = r.cx() + textWidth(cr, caption, 1) / 2 + 2;
    cairo_move_to(cr, x - 6, r.cy() - 3);
    cairo_line_to(cr, x + 6, r.cy() - 3);
    cairo_line_to(cr, x, r.cy() + 4);
    cairo_close_path(cr);
    setColour(cr, style::accent());
    cairo_fill(cr);
  }
}

void drawProgramLegends(cairo_t* cr, const Entry& e) {
  Rect r = controlRect(e);
  useRegular(cr, 19);
  setColour(cr, style::dimLabel());
  if (e.kind == Kind::Kick && e.id <= kIdBank0 && e.id > kIdBank0 - 4) {
    static const char* const banks[] = {"A", "B", "C", "D"};
    text(cr, banks[kIdBank0 - e.id], r.cx(), r.t - 14, Align::Centre);
  } else if (e.kind == Kind::Kick && e.id <= kIdProgram0 && e.id > kIdProgram0 - 16) {
    text(cr, std::to_string(kIdProgram0 - e.id + 1), r.cx(), r.t - 14, Align::Centre);
  } else if (e.id == kIdPrevProgram || e.id == kIdNextProgram || e.kind == Kind::PresetMenu) {
    // Arrows and a list glyph above the step and list buttons.
    double cx = r.cx(), cy = r.t - 14;
    setColour(cr, style::label());
    if (e.kind == Kind::PresetMenu) {
      cairo_set_line_width(cr, 2);
      for (int i = -1; i <= 1; ++i) {
        cairo_move_to(cr, cx - 9, cy + 5 * i);
        cairo_line_to(cr, cx + 9, cy + 5 * i);
      }
      cairo_stroke(cr);
    } else {
      double d = e.id == kIdPrevProgram ? -1 : 1;
      cairo_move_to(cr, cx + 7 * d, cy);
      cairo_line_to(cr, cx - 5 * d, cy - 7);
      cairo_line_to(cr, cx - 5 * d, cy + 7);
      cairo_close_path(cr);
      cairo_fill(cr);
    }
  }
}

void drawEntry(cairo_t* cr, const Entry& e) {
  switch (e.kind) {
  case Kind::Knob:
  case Kind::KnobText:
    drawKnobScale(cr, e);
    break;
  case Kind::Switch:
    drawSwitchLegends(cr, e);
    break;
  case Kind::Led:
    unlitLed(cr, e);
    break;
  case Kind::PresetName:
    displayWindow(cr, e.place.grown(4));
    break;
  case Kind::InfoBubble:
    displayWindow(cr, e.place.grown(6));
    break;
  case Kind::OptionMenu:
    if (e.id == kIdOptionMenu)
      menuHotSpot(cr, e.place, "MENU", false);
    else
      // Kept short of "Tot.Tune", whose scale reaches into the lower end of the hot spot.
      menuHotSpot(cr, {e.place.l + 2, e.place.t + 2, e.place.r - 2, e.place.b - 24},
                  e.id == kIdTuningMenu1 ? "Tune1" : "Tune2", true);
    break;
  case Kind::Kick:
  case Kind::PresetMenu:
    drawProgramLegends(cr, e);
    break;
  default:
    break;
  }
  drawLabel(cr, e);
}

void drawTuningNotes(cairo_t* cr) {
  static const char* const notes[] = {"C",  "C#", "D",  "D#", "E",  "F",
                                      "F#", "G",  "G#", "A",  "A#", "B"};
  useRegular(cr, 19);
  setColour(cr, style::dimLabel());
  for (int d = 0; d < 12; ++d) text(cr, notes[d], 136, 768.0 - 64 * d + 24, Align::Centre);
}

void drawBrand(cairo_t* cr) {
  useMedium(cr, 58);
  setColour(cr, style::label());
  text(cr, "VARNEL", 2204, 62, Align::Left, 14);
  // Caption over the patch information window.
  for (const Entry& e : layout())
    if (e.kind == Kind::InfoBubble) {
      useMedium(cr, 18);
      setColour(cr, style::dimLabel());
      text(cr, "PATCH POINT", e.place.l, e.place.t - 22, Align::Left, 1.5);
    }
}

} // namespace

cairo_surface_t* makePanel(PanelGroup group) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(kWidth),
                                                  static_cast<int>(kHeight));
  cairo_t* cr = cairo_create(s);
  if (group == PanelGroup::Common) {
    drawMaterial(cr);
    cairo_surface_flush(s);
    addGrain(s, 3, 20261211u);
    for (double x : {14.0, kWidth - 14.0})
      for (double y : {14.0, kHeight - 14.0}) drawScrew(cr, x, y);
    for (int i = 1; i < static_cast<int>(Section::Count); ++i)
      drawSection(cr, static_cast<Section>(i), sectionTitle(static_cast<Section>(i)), true);
    drawTuningNotes(cr);
    drawBrand(cr);
  }
  for (const Entry& e : layout())
    if (inGroup(e, group)) drawEntry(cr, e);
  cairo_destroy(cr);
  return s;
}

cairo_surface_t* cutGroupBack(cairo_surface_t* panelSurface, Bitmap back, PanelGroup group) {
  const BitmapSpec& bs = bitmapSpec(back);
  const Entry* at = nullptr;
  for (const Entry& e : layout())
    if (e.kind == Kind::Picture && e.bitmap == back) at = &e;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bs.frameW, bs.frameH);
  if (!at) return s;
  cairo_t* cr = cairo_create(s);
  cairo_set_source_surface(cr, panelSurface, -at->place.l, -at->place.t);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_t* own = makePanel(group);
  cr = cairo_create(s);
  cairo_set_source_surface(cr, own, -at->place.l, -at->place.t);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(own);
  return s;
}

} // namespace art
