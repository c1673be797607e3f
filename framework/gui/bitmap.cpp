#include "framework/gui/bitmap.h"

#include <cstdio>

IBitmap::IBitmap(cairo_surface_t* surface, int nFrames, std::string name)
    : mNFrames(nFrames > 0 ? nFrames : 1), mName(std::move(name)) {
  if (!surface) return;
  mSurface.reset(surface, cairo_surface_destroy);
  mW = cairo_image_surface_get_width(surface);
  mH = cairo_image_surface_get_height(surface);
}

cairo_surface_t* LoadPngSurface(const std::string& path, std::string& error) {
  // Cairo reports a missing file and a broken PNG alike through the surface status; tell them
  // apart for the message.
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
  } else {
    error = "missing";
    return nullptr;
  }
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  const cairo_status_t status = cairo_surface_status(s);
  if (status != CAIRO_STATUS_SUCCESS) {
    error = std::string("unreadable (") + cairo_status_to_string(status) + ")";
    cairo_surface_destroy(s);
    return nullptr;
  }
  return s;
}
