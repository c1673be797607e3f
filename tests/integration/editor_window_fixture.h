#pragma once
// What the editor window tests share: their own X server, and pictures taken of the window.
#include <cairo.h>
#include <cstdint>
#include <string>

#include "framework/gui/geometry.h"
#include "tools/host/editor/editor_host.h"
#include "tools/host/editor/xvfb_server.h"

namespace itest {

// Starts the test program's Xvfb once (and points DISPLAY at it, as a desktop does for a DAW).
// False, with the reason, when it cannot: tests that need X then fail.
bool startXServer(std::string* why);
const vhost::XvfbServer& xServer();

// A captured picture of the window; takes the surface over.
class Image {
public:
  explicit Image(cairo_surface_t* surface) : surface_(surface) {}
  ~Image() {
    if (surface_) cairo_surface_destroy(surface_);
  }
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  bool valid() const { return surface_ != nullptr; }
  int width() const { return surface_ ? cairo_image_surface_get_width(surface_) : 0; }
  int height() const { return surface_ ? cairo_image_surface_get_height(surface_) : 0; }
  // 0x00RRGGBB; 0 outside the picture.
  uint32_t pixel(int x, int y) const;

private:
  cairo_surface_t* surface_;
};

bool near(uint32_t pixel, int r, int g, int b, int tolerance = 6);
// Pixels that differ between two pictures inside a rectangle (window pixels).
int changedPixels(const Image& a, const Image& b, const IRECT& rect);

} // namespace itest
