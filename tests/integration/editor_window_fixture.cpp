#include "tests/integration/editor_window_fixture.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "tools/host/host_error.h"

namespace itest {

namespace {
std::unique_ptr<vhost::XvfbServer> gServer;
std::string gStartError;
} // namespace

bool startXServer(std::string* why) {
  if (!gServer && gStartError.empty()) {
    try {
      gServer = std::make_unique<vhost::XvfbServer>();
      setenv("DISPLAY", gServer->display().c_str(), 1);
    } catch (const vhost::HostError& e) {
      gStartError = e.what();
    }
  }
  if (!gServer && why) *why = gStartError;
  return gServer != nullptr;
}

const vhost::XvfbServer& xServer() {
  return *gServer;
}

uint32_t Image::pixel(int x, int y) const {
  if (!surface_ || x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  return reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xffffff;
}

bool near(uint32_t pixel, int r, int g, int b, int tolerance) {
  const int pr = static_cast<int>((pixel >> 16) & 0xff);
  const int pg = static_cast<int>((pixel >> 8) & 0xff);
  const int pb = static_cast<int>(pixel & 0xff);
  return std::abs(pr - r) <= tolerance && std::abs(pg - g) <= tolerance &&
         std::abs(pb - b) <= tolerance;
}

int changedPixels(const Image& a, const Image& b, const IRECT& rect) {
  int n = 0;
  for (int y = static_cast<int>(rect.T); y < static_cast<int>(rect.B); ++y)
    for (int x = static_cast<int>(rect.L); x < static_cast<int>(rect.R); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) ++n;
  return n;
}

} // namespace itest
