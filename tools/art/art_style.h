#pragma once
// The panel's palette: one charcoal material, one accent for titles and frames, orange only for
// the modulation switches, amber-red lamps.
#include "tools/art/art_canvas.h"

namespace art::style {

inline Colour panelTop() {
  return hex(0x34373d);
}
inline Colour panelBottom() {
  return hex(0x26282c);
}
inline Colour accent(double a = 1.0) {
  return hex(0x8cc2e0, a);
}
inline Colour label(double a = 1.0) {
  return hex(0xe6e3dc, a);
}
inline Colour dimLabel(double a = 1.0) {
  return hex(0xa9aab0, a);
}
inline Colour tick(double a = 1.0) {
  return hex(0xd0d0d0, a);
}
inline Colour orange(double a = 1.0) {
  return hex(0xf0862a, a);
}
inline Colour cream(double a = 1.0) {
  return hex(0xe9e3d3, a);
}
inline Colour display(double a = 1.0) {
  return hex(0x111316, a);
}

} // namespace art::style
