// Cost of the editor toolkit: an idle timer tick of a full panel, and the redraw after one knob
// moved (only its rectangle), beside a full-window redraw and the opening of an editor. Panel of
// 124 bound knobs (65-frame strips) and 56 hidden lamps on a 2512 x 1040 background, scale 0.5,
// with the bundle's own artwork when the build has made it.
#include <benchmark/benchmark.h>

#include "framework/core/plugin_base.h"
#include "framework/gui/basic_controls.h"
#include "framework/gui/graphics.h"
#include "framework/gui/offscreen.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kParams = 124;

class BenchPlug : public PluginBase {
public:
  BenchPlug() : PluginBase(MakeConfig()) {
    for (int i = 0; i < kParams; ++i)
      GetParam(i)->InitDouble(("P" + std::to_string(i)).c_str(), 0.5, 0.0, 1.0, 0.001);
    SyncControllerValues();
  }
  void ProcessBlock(double**, double**, int) override {}

private:
  static Config MakeConfig() {
    Config c;
    c.nParams = kParams;
    return c;
  }
};

// Artwork stand-ins with the sizes and detail of the real panel.
struct TempDir {
  std::string path;
  ~TempDir() {
    if (!path.empty()) std::filesystem::remove_all(path);
  }
};

bool Exists(const std::string& path) {
  return std::filesystem::exists(path);
}

#ifdef VARNEL_RESOURCES
const std::string kBundleResources = VARNEL_RESOURCES;
#else
const std::string kBundleResources;
#endif

bool UseBundleArtwork() {
  return !kBundleResources.empty() && Exists(kBundleResources + "/back.jpg") &&
         Exists(kBundleResources + "/knob.png");
}

const char* BackgroundFile() {
  return UseBundleArtwork() ? "back.jpg" : "back.png";
}

std::string MakeResources() {
  if (UseBundleArtwork()) return kBundleResources;
  static TempDir temp;
  std::string& dir = temp.path;
  if (!dir.empty()) return dir;
  char tmpl[] = "/tmp/bench_gui_XXXXXX";
  dir = mkdtemp(tmpl);
  cairo_surface_t* back = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 2512, 1040);
  cairo_t* cr = cairo_create(back);
  cairo_pattern_t* grad = cairo_pattern_create_linear(0, 0, 0, 1040);
  cairo_pattern_add_color_stop_rgb(grad, 0, 0.22, 0.22, 0.24);
  cairo_pattern_add_color_stop_rgb(grad, 1, 0.12, 0.12, 0.13);
  cairo_set_source(cr, grad);
  cairo_paint(cr);
  cairo_pattern_destroy(grad);
  cairo_set_source_rgb(cr, 0.8, 0.7, 0.4);
  for (int i = 0; i < 400; ++i) {
    cairo_rectangle(cr, (i * 97) % 2512, (i * 53) % 1040, 60, 2);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  cairo_surface_write_to_png(back, (dir + "/back.png").c_str());
  cairo_surface_destroy(back);

  cairo_surface_t* knob = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 96, 96 * 65);
  cr = cairo_create(knob);
  for (int f = 0; f < 65; ++f) {
    const double a = (-150.0 + 300.0 * f / 64.0) * M_PI / 180.0;
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_arc(cr, 48, 48 + 96 * f, 40, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
    cairo_set_line_width(cr, 5);
    cairo_move_to(cr, 48, 48 + 96 * f);
    cairo_line_to(cr, 48 + 36 * std::sin(a), 48 + 96 * f - 36 * std::cos(a));
    cairo_stroke(cr);
  }
  cairo_destroy(cr);
  cairo_surface_write_to_png(knob, (dir + "/knob.png").c_str());
  cairo_surface_destroy(knob);
  return dir;
}

struct Panel {
  BenchPlug plug;
  OffscreenPlatform platform;
  IGraphics g{plug, 2512, 1040, 0.5f};
  cairo_surface_t* window = nullptr;
  cairo_t* cr = nullptr;

  Panel() {
    g.SetResourcePath(MakeResources());
    g.AttachBackground(BackgroundFile());
    const IBitmap knob = g.LoadBitmap("knob.png", 65);
    for (int i = 0; i < kParams; ++i)
      g.AttachControl(
          new IBitmapControl(40.f + 120.f * (i % 20), 40.f + 150.f * (i / 20), knob, i));
    for (int i = 0; i < 56; ++i)
      g.AttachControl(new IBitmapControl(10.f * i, 1000.f, knob))->Hide(true);
    g.SetPlatform(&platform);
    window = cairo_image_surface_create(CAIRO_FORMAT_RGB24, g.WindowWidth(), g.WindowHeight());
    cr = cairo_create(window);
    g.Draw(cr, g.TakeDirtyRect()); // the first paint builds the scaled background
  }
  ~Panel() {
    cairo_destroy(cr);
    cairo_surface_destroy(window);
  }
};

void BM_IdleTimerTick(benchmark::State& state) {
  Panel p;
  for (auto _ : state) {
    p.g.OnTimer();
    benchmark::DoNotOptimize(p.g.TakeDirtyRect());
  }
  state.counters["invalidations"] = p.platform.invalidations;
}
BENCHMARK(BM_IdleTimerTick);

void BM_OneKnobRedraw(benchmark::State& state) {
  Panel p;
  double v = 0.0;
  IRECT dirty;
  for (auto _ : state) {
    v = v >= 1.0 ? 0.0 : v + 1.0 / 64.0;
    p.plug.SetControllerValue(37, v); // host automation of one knob
    p.g.OnTimer();
    dirty = p.g.TakeDirtyRect();
    p.g.Draw(p.cr, dirty);
  }
  state.counters["dirty_px"] = dirty.W() * dirty.H();
  state.counters["window_px"] = double(p.g.WindowWidth()) * p.g.WindowHeight();
}
BENCHMARK(BM_OneKnobRedraw)->Unit(benchmark::kMicrosecond);

// Opening: decoding the pictures and the first paint of the whole window.
void BM_OpenEditor(benchmark::State& state) {
  MakeResources();
  for (auto _ : state) {
    Panel p;
    benchmark::DoNotOptimize(p.window);
  }
  state.SetLabel(UseBundleArtwork() ? "bundle artwork" : "stand-in artwork");
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond);

void BM_FullWindowRedraw(benchmark::State& state) {
  Panel p;
  for (auto _ : state) {
    p.g.SetAllDirty();
    p.g.Draw(p.cr, p.g.TakeDirtyRect());
  }
}
BENCHMARK(BM_FullWindowRedraw)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
