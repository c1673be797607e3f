#pragma once
// Plain value types of the editor: rectangles, mouse modifiers, colours, key presses.
#include <algorithm>
#include <cmath>
#include <cstdint>

// A rectangle by its left, top, right and bottom edges; right and bottom are exclusive.
struct IRECT {
  float L = 0.f, T = 0.f, R = 0.f, B = 0.f;

  IRECT() = default;
  IRECT(float l, float t, float r, float b) : L(l), T(t), R(r), B(b) {}

  float W() const { return R - L; }
  float H() const { return B - T; }
  float MW() const { return 0.5f * (L + R); }
  float MH() const { return 0.5f * (T + B); }
  bool Empty() const { return !(R > L && B > T); }
  bool Contains(float x, float y) const { return x >= L && x < R && y >= T && y < B; }
  bool Intersects(const IRECT& o) const {
    return !Empty() && !o.Empty() && L < o.R && o.L < R && T < o.B && o.T < B;
  }
  // The smallest rectangle holding both; an empty side is ignored.
  IRECT Union(const IRECT& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return {std::min(L, o.L), std::min(T, o.T), std::max(R, o.R), std::max(B, o.B)};
  }
  IRECT Intersect(const IRECT& o) const {
    IRECT r{std::max(L, o.L), std::max(T, o.T), std::min(R, o.R), std::min(B, o.B)};
    return r.Empty() ? IRECT() : r;
  }
  IRECT Scaled(float s) const { return {L * s, T * s, R * s, B * s}; }
  IRECT Translated(float dx, float dy) const { return {L + dx, T + dy, R + dx, B + dy}; }
  IRECT Padded(float p) const { return {L - p, T - p, R + p, B + p}; }
  // Whole pixels that cover the rectangle.
  IRECT PixelAligned() const { return {std::floor(L), std::floor(T), std::ceil(R), std::ceil(B)}; }
  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }
};

// Buttons and modifier keys of a mouse event.
struct IMouseMod {
  bool L = false; // left button
  bool R = false; // right button
  bool S = false; // Shift
  bool C = false; // Control
  IMouseMod() = default;
  IMouseMod(bool left, bool right = false, bool shift = false, bool ctrl = false)
      : L(left), R(right), S(shift), C(ctrl) {}
};

// A colour as alpha, red, green, blue, each 0..255.
struct IColor {
  int A = 255, R = 0, G = 0, B = 0;
  IColor() = default;
  IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
};

// A key press: the X keysym and the text it types (UTF-8, may be empty).
struct IKeyPress {
  uint32_t keysym = 0;
  char utf8[8] = {};
  bool shift = false;
  bool ctrl = false;
};
