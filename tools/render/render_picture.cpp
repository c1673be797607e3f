#include "tools/render/render_picture.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/host/host_error.h"
#include "tools/render/fft.h"

namespace vrender {

namespace {

constexpr int kMargin = 56;
constexpr int kTitleHeight = 30;
constexpr int kFftSize = 2048;
constexpr double kFloorDb = -110.0;
constexpr double kLowestHz = 20.0;

struct Rgb {
  double r, g, b;
};

// Dark for quiet, through purple and red to pale yellow for loud.
Rgb heat(double t) {
  static const Rgb stops[] = {{0.0, 0.0, 0.02},  {0.16, 0.04, 0.35}, {0.55, 0.1, 0.45},
                              {0.85, 0.25, 0.2}, {0.98, 0.6, 0.1},   {1.0, 1.0, 0.75}};
  const int last = static_cast<int>(sizeof stops / sizeof stops[0]) - 1;
  t = std::clamp(t, 0.0, 1.0) * last;
  const int i = std::min(static_cast<int>(t), last - 1);
  const double f = t - i;
  return {stops[i].r + (stops[i + 1].r - stops[i].r) * f,
          stops[i].g + (stops[i + 1].g - stops[i].g) * f,
          stops[i].b + (stops[i + 1].b - stops[i].b) * f};
}

void label(cairo_t* cr, double x, double y, const char* text, bool alignRight = false) {
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text, &ext);
  cairo_move_to(cr, alignRight ? x - ext.x_advance : x, y);
  cairo_show_text(cr, text);
}

void drawWaveLane(cairo_t* cr, const std::vector<float>& samples, double x0, double y0, double w,
                  double h) {
  cairo_set_source_rgb(cr, 0.08, 0.09, 0.11);
  cairo_rectangle(cr, x0, y0, w, h);
  cairo_fill(cr);
  const double mid = y0 + h / 2.0;
  cairo_set_source_rgb(cr, 0.3, 0.3, 0.35);
  cairo_set_line_width(cr, 1.0);
  cairo_move_to(cr, x0, mid + 0.5);
  cairo_line_to(cr, x0 + w, mid + 0.5);
  cairo_stroke(cr);
  const size_t n = samples.size();
  if (n == 0) return;
  cairo_set_source_rgb(cr, 0.35, 0.8, 0.95);
  const int columns = static_cast<int>(w);
  for (int x = 0; x < columns; ++x) {
    const size_t a = static_cast<size_t>(static_cast<double>(x) / columns * n);
    const size_t b = std::max(a + 1, static_cast<size_t>(static_cast<double>(x + 1) / columns * n));
    float lo = 0.0f, hi = 0.0f;
    for (size_t i = a; i < std::min(b, n); ++i) {
      const float v = std::isfinite(samples[i]) ? std::clamp(samples[i], -1.0f, 1.0f) : 0.0f;
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
    const double top = mid - hi * (h / 2.0 - 1.0);
    const double bottom = mid - lo * (h / 2.0 - 1.0);
    cairo_rectangle(cr, x0 + x, top, 1.0, std::max(1.0, bottom - top));
  }
  cairo_fill(cr);
}

void drawSpectrogram(cairo_surface_t* surface, const Rendered& audio, int x0, int y0, int w,
                     int h) {
  cairo_surface_flush(surface);
  unsigned char* pixels = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const double nyquist = audio.sampleRate / 2.0;
  const double binHz = audio.sampleRate / kFftSize;
  const size_t n = static_cast<size_t>(audio.frames());
  std::vector<double> frame(kFftSize);
  // Each pixel row covers a band of the logarithmic frequency axis.
  std::vector<std::pair<int, int>> rowBins(static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    const double fTop = kLowestHz * std::pow(nyquist / kLowestHz, 1.0 - static_cast<double>(y) / h);
    const double fBottom =
        kLowestHz * std::pow(nyquist / kLowestHz, 1.0 - static_cast<double>(y + 1) / h);
    const int lo = static_cast<int>(std::floor(fBottom / binHz));
    const int hi = std::max(lo, static_cast<int>(std::floor(fTop / binHz)));
    rowBins[static_cast<size_t>(y)] = {std::clamp(lo, 0, kFftSize / 2),
                                       std::clamp(hi, 0, kFftSize / 2)};
  }
  for (int x = 0; x < w; ++x) {
    const double centre = (x + 0.5) / w * static_cast<double>(n);
    const long start = static_cast<long>(centre) - kFftSize / 2;
    for (int i = 0; i < kFftSize; ++i) {
      const long k = start + i;
      double v = 0.0;
      if (k >= 0 && static_cast<size_t>(k) < n) {
        v = 0.5 * (static_cast<double>(audio.left[static_cast<size_t>(k)]) +
                   static_cast<double>(audio.right[static_cast<size_t>(k)]));
        if (!std::isfinite(v)) v = 0.0;
      }
      frame[static_cast<size_t>(i)] = v;
    }
    const std::vector<double> mags = magnitudeSpectrum(frame);
    for (int y = 0; y < h; ++y) {
      double m = 0.0;
      const auto [lo, hi] = rowBins[static_cast<size_t>(y)];
      for (int k = lo; k <= hi; ++k) m = std::max(m, mags[static_cast<size_t>(k)]);
      const double db = 20.0 * std::log10(m + 1e-12);
      const Rgb c = heat((db - kFloorDb) / -kFloorDb);
      auto* px = reinterpret_cast<uint32_t*>(pixels + (y0 + y) * stride) + (x0 + x);
      *px = (static_cast<uint32_t>(c.r * 255.0) << 16) | (static_cast<uint32_t>(c.g * 255.0) << 8) |
            static_cast<uint32_t>(c.b * 255.0);
    }
  }
  cairo_surface_mark_dirty(surface);
}

} // namespace

void writePicture(const std::string& path, const Rendered& audio, const std::string& title,
                  PictureSize size) {
  const int W = std::max(size.width, 2 * kMargin + 64);
  const int H = std::max(size.height, kTitleHeight + 200);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, W, H);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0.14, 0.15, 0.17);
  cairo_paint(cr);

  const double plotW = W - 2 * kMargin;
  const double waveTop = kTitleHeight + 8;
  const double laneH = (H - kTitleHeight - 40) * 0.14;
  const double specTop = waveTop + 2 * laneH + 24;
  const double specH = H - specTop - 30;

  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 15.0);
  cairo_set_source_rgb(cr, 0.92, 0.92, 0.92);
  label(cr, kMargin, 21, title.c_str());

  drawWaveLane(cr, audio.left, kMargin, waveTop, plotW, laneH);
  drawWaveLane(cr, audio.right, kMargin, waveTop + laneH + 4, plotW, laneH);
  drawSpectrogram(surface, audio, kMargin, static_cast<int>(specTop), static_cast<int>(plotW),
                  static_cast<int>(specH));

  cairo_set_font_size(cr, 11.0);
  cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
  label(cr, kMargin - 8, waveTop + laneH / 2 + 4, "L", true);
  label(cr, kMargin - 8, waveTop + laneH * 1.5 + 8, "R", true);
  // Frequency axis: decades on the logarithmic scale.
  const double nyquist = audio.sampleRate / 2.0;
  const double span = std::log(nyquist / kLowestHz);
  for (double f : {100.0, 1000.0, 10000.0}) {
    if (f >= nyquist) continue;
    const double y = specTop + specH * (1.0 - std::log(f / kLowestHz) / span);
    label(cr, kMargin - 6, y + 4, f >= 1000.0 ? (f >= 10000.0 ? "10k" : "1k") : "100", true);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
    cairo_move_to(cr, kMargin, y + 0.5);
    cairo_line_to(cr, kMargin + plotW, y + 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
  }
  label(cr, kMargin - 6, specTop + 10, "Hz", true);
  // Time axis: a tick about every tenth of the width, at whole seconds.
  const double seconds = audio.sampleRate > 0 ? audio.frames() / audio.sampleRate : 0.0;
  if (seconds > 0.0) {
    double step = 1.0;
    while (seconds / step > 12.0) step *= 2.0;
    while (seconds / step < 4.0 && step > 0.125) step /= 2.0;
    char text[32];
    for (double t = 0.0; t <= seconds + 1e-9; t += step) {
      const double x = kMargin + plotW * t / seconds;
      std::snprintf(text, sizeof text, "%gs", t);
      label(cr, x - 8, H - 10, text);
    }
  }
  cairo_destroy(cr);
  const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS)
    throw vhost::HostError("cannot write " + path + ": " + cairo_status_to_string(status));
}

} // namespace vrender
