#include "tools/art/control_art.h"

#include "tools/art/art_style.h"

#include <cmath>

namespace art {

using panel::Bitmap;
namespace {

const double kPi = 3.14159265358979323846;

// A soft shadow under a round part: a few discs of falling opacity.
void discShadow(cairo_t* cr, double cx, double cy, double r, double strength) {
  for (int i = 4; i >= 0; --i) {
    cairo_arc(cr, cx, cy, r + i, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 0, 0, 0, strength / 5.0);
    cairo_fill(cr);
  }
}

void roundedShadow(cairo_t* cr, double x, double y, double w, double h, double r, double s) {
  for (int i = 3; i >= 0; --i) {
    roundedRect(cr, x - i, y - i, w + 2 * i, h + 2 * i, r + i);
    cairo_set_source_rgba(cr, 0, 0, 0, s / 4.0);
    cairo_fill(cr);
  }
}

// The knob: a dark skirt, a slightly lighter cap, a light pointer line and a small highlight.
void drawKnob(cairo_t* cr, double cx, double cy, double rSkirt, double angle) {
  discShadow(cr, cx + 1, cy + 2.5, rSkirt - 1, 0.35);
  cairo_pattern_t* skirt = cairo_pattern_create_linear(0, cy - rSkirt, 0, cy + rSkirt);
  cairo_pattern_add_color_stop_rgb(skirt, 0, 0.36, 0.38, 0.42);
  cairo_pattern_add_color_stop_rgb(skirt, 1, 0.07, 0.075, 0.085);
  cairo_arc(cr, cx, cy, rSkirt, 0, 2 * kPi);
  cairo_set_source(cr, skirt);
  cairo_fill(cr);
  cairo_pattern_destroy(skirt);

  double rCap = rSkirt * 0.82;
  cairo_pattern_t* cap =
      cairo_pattern_create_radial(cx - rCap * 0.35, cy - rCap * 0.45, rCap * 0.1, cx, cy, rCap);
  cairo_pattern_add_color_stop_rgb(cap, 0, 0.27, 0.285, 0.31);
  cairo_pattern_add_color_stop_rgb(cap, 1, 0.12, 0.125, 0.14);
  cairo_arc(cr, cx, cy, rCap, 0, 2 * kPi);
  cairo_set_source(cr, cap);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(cap);
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_stroke(cr);

  // Highlight along the upper left rim of the cap.
  cairo_set_line_width(cr, std::max(1.0, rCap * 0.08));
  cairo_arc(cr, cx, cy, rCap - 1.5, 1.05 * kPi, 1.45 * kPi);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.16);
  cairo_stroke(cr);

  double sx = std::sin(angle), sy = -std::cos(angle);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, std::max(2.5, rSkirt * 0.14));
  cairo_move_to(cr, cx + sx * rSkirt * 0.30, cy + sy * rSkirt * 0.30);
  cairo_line_to(cr, cx + sx * rSkirt * 0.93, cy + sy * rSkirt * 0.93);
  setColour(cr, style::cream());
  cairo_stroke(cr);
}

cairo_surface_t* knobStrip(const panel::BitmapSpec& bs, double rSkirt, int positions) {
  cairo_surface_t* s =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bs.frameW, bs.frameH * bs.frames);
  cairo_t* cr = cairo_create(s);
  for (int f = 0; f < bs.frames; ++f) {
    double v = positions > 1 ? static_cast<double>(f) / (positions - 1) : 0.0;
    drawKnob(cr, bs.frameW / 2.0, bs.frameH * (f + 0.5), rSkirt, knobAngle(v));
  }
  cairo_destroy(cr);
  return s;
}

// A toggle: a dark slot with a lever at one end. Frame 1 (upper) is on: lever at the far end.
void drawToggle(cairo_t* cr, double x, double y, double w, double h, bool horizontal, bool on,
                const Colour& onColour, const Colour& offColour) {
  roundedRect(cr, x + 1, y + 1, w - 2, h - 2, std::min(w, h) * 0.3);
  cairo_pattern_t* slot = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgb(slot, 0, 0.04, 0.04, 0.05);
  cairo_pattern_add_color_stop_rgb(slot, 1, 0.13, 0.135, 0.15);
  cairo_set_source(cr, slot);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(slot);
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
  cairo_stroke(cr);

  double lw = horizontal ? w * 0.5 : w - 6, lh = horizontal ? h - 6 : h * 0.5;
  double lx = horizontal ? (on ? x + w - 3 - lw : x + 3) : x + 3;
  double ly = horizontal ? y + 3 : (on ? y + 3 : y + h - 3 - lh);
  roundedShadow(cr, lx + 0.5, ly + 1.5, lw, lh, 3, 0.5);
  cairo_pattern_t* lever = cairo_pattern_create_linear(0, ly, 0, ly + lh);
  const Colour& c = on ? onColour : offColour;
  cairo_pattern_add_color_stop_rgb(lever, 0, std::min(1.0, c.r * 1.15 + 0.08),
                                   std::min(1.0, c.g * 1.15 + 0.08),
                                   std::min(1.0, c.b * 1.15 + 0.08));
  cairo_pattern_add_color_stop_rgb(lever, 1, c.r * 0.7, c.g * 0.7, c.b * 0.7);
  roundedRect(cr, lx, ly, lw, lh, 3);
  cairo_set_source(cr, lever);
  cairo_fill(cr);
  cairo_pattern_destroy(lever);
  // Grip lines across the lever.
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  for (int i = -1; i <= 1; ++i) {
    if (horizontal) {
      double gx = lx + lw / 2 + 4 * i + 0.5;
      cairo_move_to(cr, gx, ly + 4);
      cairo_line_to(cr, gx, ly + lh - 4);
    } else {
      double gy = ly + lh / 2 + 4 * i + 0.5;
      cairo_move_to(cr, lx + 3, gy);
      cairo_line_to(cr, lx + lw - 3, gy);
    }
  }
  cairo_stroke(cr);
}

cairo_surface_t* toggleStrip(const panel::BitmapSpec& bs, bool horizontal, const Colour& on,
                             const Colour& off) {
  cairo_surface_t* s =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bs.frameW, bs.frameH * bs.frames);
  cairo_t* cr = cairo_create(s);
  drawToggle(cr, 0, 0, bs.frameW, bs.frameH, horizontal, true, on, off);
  drawToggle(cr, 0, bs.frameH, bs.frameW, bs.frameH, horizontal, false, on, off);
  cairo_destroy(cr);
  return s;
}

// A jack socket: a metal nut with a dark hole.
void drawSocket(cairo_t* cr, double w, double h) {
  double cx = w / 2, cy = h / 2, r = std::min(w, h) / 2 - 3;
  discShadow(cr, cx + 0.5, cy + 1.5, r, 0.4);
  // Hexagonal nut.
  cairo_new_path(cr);
  for (int i = 0; i < 6; ++i) {
    double a = kPi / 6 + i * kPi / 3;
    cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
  cairo_pattern_t* metal = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
  cairo_pattern_add_color_stop_rgb(metal, 0, 0.85, 0.86, 0.88);
  cairo_pattern_add_color_stop_rgb(metal, 1, 0.38, 0.39, 0.42);
  cairo_set_source(cr, metal);
  cairo_fill(cr);
  cairo_pattern_destroy(metal);
  cairo_arc(cr, cx, cy, r * 0.62, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.55, 0.56, 0.58);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, r * 0.45, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.02, 0.02, 0.025);
  cairo_fill(cr);
}

// A plugged socket: a light plug head over the socket, with room for dark text.
void drawPlug(cairo_t* cr, double w, double h) {
  double x = 1, y = 3, pw = w - 2, ph = h - 6;
  roundedShadow(cr, x + 0.5, y + 2, pw, ph, 7, 0.45);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + ph);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.96, 0.94, 0.88);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.78, 0.75, 0.68);
  roundedRect(cr, x, y, pw, ph, 7);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1.5);
  setColour(cr, style::accent());
  cairo_stroke(cr);
}

// A small rectangular push button; the lit version is light with room for dark text.
void drawSmallButton(cairo_t* cr, double w, double h, bool lit) {
  double x = 1, y = 1, bw = w - 2, bh = h - 3;
  roundedShadow(cr, x + 0.5, y + 1.5, bw, bh, 5, 0.45);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + bh);
  if (lit) {
    cairo_pattern_add_color_stop_rgb(g, 0, 0.95, 0.93, 0.87);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.77, 0.74, 0.67);
  } else {
    cairo_pattern_add_color_stop_rgb(g, 0, 0.22, 0.23, 0.26);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.10, 0.105, 0.12);
  }
  roundedRect(cr, x, y, bw, bh, 5);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1.2);
  if (lit)
    setColour(cr, style::accent());
  else
    cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
  cairo_stroke(cr);
}

void drawLed(cairo_t* cr, double w, double h) {
  double cx = w / 2, cy = h / 2, r = std::min(w, h) / 2;
  cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  cairo_pattern_add_color_stop_rgba(glow, 0, 1.0, 0.93, 0.75, 1.0);
  cairo_pattern_add_color_stop_rgba(glow, 0.35, 1.0, 0.45, 0.12, 1.0);
  cairo_pattern_add_color_stop_rgba(glow, 0.62, 0.95, 0.22, 0.05, 0.55);
  cairo_pattern_add_color_stop_rgba(glow, 1.0, 0.95, 0.2, 0.05, 0.0);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_set_source(cr, glow);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);
}

// A program button: a raised square cap; the pressed frame sits lower and darker.
void drawPresetButton(cairo_t* cr, double x0, double y0, double w, double h, bool pressed) {
  double inset = 4, bx = x0 + inset, by = y0 + 2 + (pressed ? 2 : 0), bw = w - 2 * inset,
         bh = h - 7;
  roundedShadow(cr, bx + 0.5, by + (pressed ? 1 : 3), bw, bh, 6, pressed ? 0.3 : 0.55);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, by, 0, by + bh);
  double top = pressed ? 0.24 : 0.40, bottom = pressed ? 0.14 : 0.20;
  cairo_pattern_add_color_stop_rgb(g, 0, top, top * 1.03, top * 1.1);
  cairo_pattern_add_color_stop_rgb(g, 1, bottom, bottom * 1.03, bottom * 1.1);
  roundedRect(cr, bx, by, bw, bh, 6);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1.2);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
  cairo_stroke(cr);
  if (!pressed) {
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, bx + 6, by + 1.5);
    cairo_line_to(cr, bx + bw - 6, by + 1.5);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
    cairo_stroke(cr);
  }
}

// The manual trigger: a round push button with an orange-red ring that lights when pressed.
void drawKick(cairo_t* cr, double x0, double y0, double w, double h, bool pressed) {
  double cx = x0 + w / 2, cy = y0 + h / 2, r = std::min(w, h) / 2 - 3;
  cairo_arc(cr, cx, cy, r + 1, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.05, 0.05, 0.06);
  cairo_fill(cr);
  cairo_arc(cr, cx, cy, r - 1, 0, 2 * kPi);
  cairo_set_line_width(cr, 2.5);
  if (pressed)
    cairo_set_source_rgb(cr, 1.0, 0.45, 0.15);
  else
    cairo_set_source_rgb(cr, 0.45, 0.22, 0.12);
  cairo_stroke(cr);
  double rc = r - 4, dy = pressed ? 1.0 : 0.0;
  if (!pressed) discShadow(cr, cx, cy + 2, rc - 1, 0.4);
  cairo_pattern_t* g =
      cairo_pattern_create_radial(cx - rc * 0.3, cy - rc * 0.4 + dy, 1, cx, cy + dy, rc);
  double k = pressed ? 0.7 : 1.0;
  cairo_pattern_add_color_stop_rgb(g, 0, 0.42 * k, 0.43 * k, 0.47 * k);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.16 * k, 0.165 * k, 0.18 * k);
  cairo_arc(cr, cx, cy + dy, rc, 0, 2 * kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

// The MIDI-learn button: a square key with a MIDI socket symbol; lit when learning.
void drawLearn(cairo_t* cr, double x0, double y0, double w, double h, bool on, bool unlearn) {
  drawPresetButton(cr, x0 - 4, y0, w + 8, h, on);
  double cx = x0 + w / 2, cy = y0 + h / 2 - 1 + (on ? 2 : 0), r = 11;
  Colour lit = unlearn ? hex(0xff5a3c) : hex(0xffb640);
  if (on) {
    cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 2, cx, cy, r + 6);
    cairo_pattern_add_color_stop_rgba(glow, 0, lit.r, lit.g, lit.b, 0.55);
    cairo_pattern_add_color_stop_rgba(glow, 1, lit.r, lit.g, lit.b, 0.0);
    cairo_arc(cr, cx, cy, r + 6, 0, 2 * kPi);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
  }
  Colour c = on ? lit : style::label(0.75);
  setColour(cr, c);
  cairo_set_line_width(cr, 2.0);
  cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
  cairo_stroke(cr);
  for (int i = 0; i < 5; ++i) {
    double a = kPi * (0.0 + i * 0.25) + kPi; // the five pins on the lower half circle
    double px = cx - std::cos(a - kPi) * r * 0.58, py = cy + 1 - std::sin(a - kPi) * r * 0.58;
    if (i == 2) py = cy + r * 0.55, px = cx;
    cairo_arc(cr, px, py, 1.6, 0, 2 * kPi);
    cairo_fill(cr);
  }
  if (unlearn) {
    cairo_set_line_width(cr, 2.5);
    cairo_move_to(cr, cx - r - 2, cy + r + 2);
    cairo_line_to(cr, cx + r + 2, cy - r - 2);
    cairo_stroke(cr);
  }
}

using FrameFn = void (*)(cairo_t*, double, double, double, double, bool);

cairo_surface_t* twoFrames(const panel::BitmapSpec& bs, FrameFn fn) {
  cairo_surface_t* s =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bs.frameW, bs.frameH * bs.frames);
  cairo_t* cr = cairo_create(s);
  fn(cr, 0, 0, bs.frameW, bs.frameH, false);
  fn(cr, 0, bs.frameH, bs.frameW, bs.frameH, true);
  cairo_destroy(cr);
  return s;
}

cairo_surface_t* single(const panel::BitmapSpec& bs, void (*fn)(cairo_t*, double, double)) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bs.frameW, bs.frameH);
  cairo_t* cr = cairo_create(s);
  fn(cr, bs.frameW, bs.frameH);
  cairo_destroy(cr);
  return s;
}

} // namespace

double knobAngle(double v) {
  return (v - 0.5) * kKnobSweep * kPi / 180.0;
}

cairo_surface_t* makeControlArt(Bitmap b) {
  const panel::BitmapSpec& bs = panel::bitmapSpec(b);
  const Colour steelOn = hex(0xdfe6ec), steelOff = hex(0x7c8088);
  switch (b) {
  case Bitmap::Knob:
    return knobStrip(bs, 22, bs.frames);
  case Bitmap::KnobBig:
    return knobStrip(bs, 28, bs.frames);
  case Bitmap::KnobSmall:
    return knobStrip(bs, 15.5, bs.frames);
  case Bitmap::Switch6:
    return knobStrip(bs, 21, bs.frames);
  case Bitmap::Switch2:
  case Bitmap::Switch2a:
    return toggleStrip(bs, false, steelOn, steelOff);
  case Bitmap::Switch2Orange:
    return toggleStrip(bs, false, style::orange(), hex(0x8a4c1c));
  case Bitmap::Switch2Horiz:
    return toggleStrip(bs, true, steelOn, steelOn);
  case Bitmap::PlugOff:
    return single(bs, drawSocket);
  case Bitmap::PlugOn:
    return single(bs, drawPlug);
  case Bitmap::ButtonOff:
    return single(bs, [](cairo_t* cr, double w, double h) { drawSmallButton(cr, w, h, false); });
  case Bitmap::ButtonOn:
    return single(bs, [](cairo_t* cr, double w, double h) { drawSmallButton(cr, w, h, true); });
  case Bitmap::Led:
    return single(bs, drawLed);
  case Bitmap::Preset:
    return twoFrames(bs, drawPresetButton);
  case Bitmap::Kick:
    return twoFrames(bs, drawKick);
  case Bitmap::Learn:
    return twoFrames(bs, [](cairo_t* cr, double x, double y, double w, double h, bool on) {
      drawLearn(cr, x, y, w, h, on, false);
    });
  case Bitmap::Unlearn:
    return twoFrames(bs, [](cairo_t* cr, double x, double y, double w, double h, bool on) {
      drawLearn(cr, x, y, w, h, on, true);
    });
  default:
    return nullptr;
  }
}

} // namespace art
