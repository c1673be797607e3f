#include "framework/gui/offscreen.h"

#include <cstdio>

cairo_surface_t* RenderToImage(IGraphics& g) {
  const int w = g.WindowWidth(), h = g.WindowHeight();
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(s);
  g.Draw(cr, IRECT(0.f, 0.f, float(w), float(h)));
  cairo_destroy(cr);
  cairo_surface_flush(s);
  return s;
}

bool RenderToPng(IGraphics& g, const std::string& path) {
  cairo_surface_t* s = RenderToImage(g);
  const cairo_status_t status = cairo_surface_write_to_png(s, path.c_str());
  cairo_surface_destroy(s);
  if (status != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "editor: cannot write %s (%s)\n", path.c_str(),
                 cairo_status_to_string(status));
    return false;
  }
  return true;
}

void Click(IGraphics& g, float x, float y, const IMouseMod& mod) {
  g.OnMouseDown(x, y, mod);
  g.OnMouseUp(x, y, mod);
}

void Drag(IGraphics& g, float x, float y, float dX, float dY, const IMouseMod& mod, int steps) {
  if (steps < 1) steps = 1;
  g.OnMouseDown(x, y, mod);
  const float sx = dX / steps, sy = dY / steps;
  for (int i = 1; i <= steps; ++i) g.OnMouseDrag(x + sx * i, y + sy * i, sx, sy, mod);
  g.OnMouseUp(x + dX, y + dY, mod);
}
