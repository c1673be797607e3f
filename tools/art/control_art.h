#pragma once
// The control pictures: knob strips, switches, sockets, buttons, lamp and push buttons.
#include "plugin/panel_layout.h"

#include <cairo.h>

namespace art {

// The picture of a control, all frames stacked, at the size the layout gives it; nullptr for
// the pictures that are cut from the panel (resonator and equaliser backs).
cairo_surface_t* makeControlArt(panel::Bitmap b);

// Pointer angle (radians from 12 o'clock, clockwise) of a knob at normalised value v.
double knobAngle(double v);
constexpr double kKnobSweep = 300.0; // degrees

} // namespace art
