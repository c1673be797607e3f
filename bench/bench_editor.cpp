// What an open editor costs: CPU of the host process (with the plug-in in it) and of the X
// server while the editor sits idle, and the area the X server reports drawn when one knob
// turns (XDamage on the plug-in's window). Run, not asserted: it prints one line per figure.
//
//   bench_editor [BUNDLE] [--seconds N]
//
// It starts its own Xvfb. The bundle's editor is measured when it has one; the small two-knob
// editor of the window tests always is.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/integration/editor_window_test_plug.h"
#include "tools/host/bundle.h"
#include "tools/host/editor/editor_host.h"
#include "tools/host/editor/xvfb_server.h"
#include "tools/host/host_error.h"
#include "tools/host/plugin_instance.h"

namespace {

// User plus system CPU time of a process, in seconds.
double cpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto close = text.rfind(')');
  if (close == std::string::npos) return 0.0;
  std::istringstream fields(text.substr(close + 2));
  std::string f;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i) {
    if (i == 14) utime = std::stoull(f);
    if (i == 15) stime = std::stoull(f);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Damage {
  int rects = 0;
  long long pixels = 0; // summed areas (overlaps counted twice)
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  void add(const XRectangle& r) {
    ++rects;
    pixels += static_cast<long long>(r.width) * r.height;
    x0 = std::min(x0, static_cast<int>(r.x));
    y0 = std::min(y0, static_cast<int>(r.y));
    x1 = std::max(x1, r.x + r.width);
    y1 = std::max(y1, r.y + r.height);
  }
  std::string describe() const {
    if (!rects) return "none";
    char s[96];
    std::snprintf(s, sizeof s, "%dx%d+%d+%d", x1 - x0, y1 - y0, x0, y0);
    return s;
  }
};

// Collects what the X server reports drawn on one window, on a connection of its own.
class DamageWatch {
public:
  explicit DamageWatch(unsigned long window) : display_(XOpenDisplay(nullptr)) {
    int error = 0;
    if (!display_ || !XDamageQueryExtension(display_, &eventBase_, &error)) return;
    damage_ = XDamageCreate(display_, window, XDamageReportRawRectangles);
    XSync(display_, False);
  }
  ~DamageWatch() {
    if (damage_) XDamageDestroy(display_, damage_);
    if (display_) XCloseDisplay(display_);
  }
  bool ok() const { return damage_ != 0; }
  Damage take() {
    Damage d;
    XSync(display_, False);
    while (XPending(display_)) {
      XEvent e;
      XNextEvent(display_, &e);
      if (e.type == eventBase_ + XDamageNotify)
        d.add(reinterpret_cast<XDamageNotifyEvent&>(e).area);
    }
    return d;
  }

private:
  Display* display_;
  int eventBase_ = 0;
  ::Damage damage_ = 0;
};

// Pumps the host for `seconds` without touching anything; prints the CPU of both processes.
void measureIdle(const char* name, vhost::EditorHost& host, pid_t xserver, double seconds) {
  host.pump(500); // settle: first paint done
  const double h0 = cpuSeconds(getpid()), x0 = cpuSeconds(xserver);
  host.pump(static_cast<int>(seconds * 1000));
  const double h1 = cpuSeconds(getpid()), x1 = cpuSeconds(xserver);
  const double hostPct = 100.0 * (h1 - h0) / seconds, xPct = 100.0 * (x1 - x0) / seconds;
  std::printf("editor_idle case=%s seconds=%.1f window=%dx%d host_cpu_pct=%.2f "
              "xserver_cpu_pct=%.2f total_cpu_pct=%.2f\n",
              name, seconds, host.width(), host.height(), hostPct, xPct, hostPct + xPct);
}

// Turns one knob (by the host's automation, and for the small editor also by a mouse drag) and
// prints what the X server saw drawn, against the size of the whole window.
template <typename Turn>
void measureKnob(const char* name, const char* how, vhost::EditorHost& host, Turn turn) {
  DamageWatch watch(host.pluginWindow());
  if (!watch.ok()) {
    std::printf("editor_knob case=%s error=no-xdamage\n", name);
    return;
  }
  host.pump(200);
  watch.take();
  turn();
  host.pump(200);
  const Damage d = watch.take();
  const long long window = static_cast<long long>(host.width()) * host.height();
  std::printf("editor_knob case=%s by=%s damage_rects=%d damaged_area=%s damaged_pixels=%lld "
              "window_pixels=%lld fraction_pct=%.3f\n",
              name, how, d.rects, d.describe().c_str(), d.pixels, window,
              window ? 100.0 * static_cast<double>(d.pixels) / static_cast<double>(window) : 0.0);
}

} // namespace

int main(int argc, char** argv) {
  std::string bundlePath = VARNEL_BUNDLE;
  double seconds = 5.0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
      seconds = std::atof(argv[++i]);
    else if (argv[i][0] != '-')
      bundlePath = argv[i];
  }
  try {
    vhost::XvfbServer server;
    setenv("DISPLAY", server.display().c_str(), 1);
    vhost::EditorHost host(server.display());

    {
      itest::TinyEditorPlugin tiny;
      std::string why;
      if (!host.open(tiny.controller(), {}, &why)) throw vhost::HostError(why);
      measureIdle("tiny", host, server.pid(), seconds);
      measureKnob("tiny", "automation", host,
                  [&] { tiny.automate(itest::TinyEditorPlugin::kLevel, 0.9); });
      const IRECT k = itest::TinyEditorPlugin::knobRect(0);
      std::printf("editor_knob case=tiny knob_rect=%dx%d+%d+%d (plus 1 pixel of antialiasing)\n",
                  static_cast<int>(k.W()), static_cast<int>(k.H()), static_cast<int>(k.L),
                  static_cast<int>(k.T));
      measureKnob("tiny", "mouse", host, [&] {
        host.drag(static_cast<int>(k.MW()), static_cast<int>(k.MH()), static_cast<int>(k.MW()),
                  static_cast<int>(k.MH()) - 30, 6);
      });
      host.close();
    }

    const auto bundle = vhost::Bundle::load(bundlePath);
    vhost::PluginInstance plugin(*bundle, "bench_editor");
    plugin.start(vhost::ProcessConfig{});
    std::string why;
    if (!host.open(plugin.controller(), {}, &why)) {
      std::printf("editor_idle case=bundle error=\"%s\"\n", why.c_str());
      return 0;
    }
    measureIdle("bundle", host, server.pid(), seconds);
    const vhost::ParamInfo* cutoff = plugin.findParameter("Cutoff");
    const Steinberg::Vst::ParamID id = cutoff ? cutoff->id : 0;
    measureKnob("bundle", "automation", host, [&] {
      // As a DAW automates: the controller is told and the next block carries the change.
      const double v = plugin.controller()->getParamNormalized(id);
      plugin.setParameter(id, v < 0.5 ? 0.9 : 0.1);
      plugin.process(0);
    });
    host.close();
  } catch (const vhost::HostError& e) {
    std::fprintf(stderr, "bench_editor: %s\n", e.what());
    return 1;
  }
  return 0;
}
