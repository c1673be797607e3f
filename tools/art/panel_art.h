#pragma once
// The panel background, printed from the layout table: material, section frames and titles,
// every control's name, knob scales, switch and selector legends, menu hot spots, unlit lamps.
#include "plugin/panel_layout.h"

#include <cairo.h>

namespace art {

// Common: the whole background. Resonators / Equaliser: only what belongs to that group of
// controls, on a transparent surface of the panel's size.
enum class PanelGroup { Common, Resonators, Equaliser };
cairo_surface_t* makePanel(PanelGroup group);

// The picture that backs one group: the panel under it with the group's own print on top.
cairo_surface_t* cutGroupBack(cairo_surface_t* panelSurface, panel::Bitmap back, PanelGroup group);

} // namespace art
