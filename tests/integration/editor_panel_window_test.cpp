// The real panel of the built bundle in a real X window, opened as a DAW opens it.
#include <gtest/gtest.h>

#include "plugin/panel_layout.h"
#include "plugin/param_ids.h"
#include "tests/integration/bundle_fixture.h"
#include "tests/integration/editor_window_fixture.h"

#include <memory>
#include <string>
#include <vector>

using Gesture = vhost::ComponentHandler::Gesture;

namespace {

constexpr float kScale = 0.5f; // the editor's default size

// Centre of a parameter's knob in window pixels at the default size.
bool knobCentre(int param, int& x, int& y) {
  for (const panel::Entry& e : panel::layout()) {
    if (e.kind != panel::Kind::Knob || e.id != param) continue;
    const panel::BitmapSpec& b = panel::bitmapSpec(e.bitmap);
    x = int((e.place.l + b.frameW / 2.f) * kScale);
    y = int((e.place.t + b.frameH / 2.f) * kScale);
    return true;
  }
  return false;
}

class EditorPanelWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(itest::startXServer(&why)) << why;
    started = std::make_unique<itest::StartedPlugin>();
    host = std::make_unique<vhost::EditorHost>(itest::xServer().display());
  }
  std::unique_ptr<itest::StartedPlugin> started;
  std::unique_ptr<vhost::EditorHost> host;
};

TEST_F(EditorPanelWindowTest, OpensAtItsDefaultSizeDrawsThePanelAndADragReachesTheHost) {
  std::string why;
  ASSERT_TRUE(host->open(started->plugin.controller(), {}, &why)) << why;
  host->pump(200);
  EXPECT_EQ(host->width(), 1256);
  EXPECT_EQ(host->height(), 520);
  ASSERT_TRUE(host->screenshot("editor_panel_window.png"));

  int x = 0, y = 0;
  ASSERT_TRUE(knobCentre(kCutoff, x, y));
  itest::Image before(host->capture());
  const double cutoffBefore = started->plugin.controller()->getParamNormalized(kCutoff);
  started->plugin.handler().takeGestures();
  host->drag(x, y, x, y + 30);
  host->pump(100);
  itest::Image after(host->capture());

  const std::vector<Gesture> g = started->plugin.handler().takeGestures();
  ASSERT_GE(g.size(), 3u);
  EXPECT_EQ(g.front().kind, Gesture::kBegin);
  EXPECT_EQ(g.back().kind, Gesture::kEnd);
  for (const Gesture& e : g) EXPECT_EQ(e.id, Steinberg::Vst::ParamID(kCutoff));
  // Downwards lowers the cutoff from its fully open default, and the knob is drawn anew.
  EXPECT_LT(g[g.size() - 2].value, cutoffBefore);
  EXPECT_GT(itest::changedPixels(before, after,
                                 IRECT{float(x - 20), float(y - 20), float(x + 20), float(y + 20)}),
            0);
}

TEST_F(EditorPanelWindowTest, OpeningAndClosingFiftyTimesKeepsWorking) {
  std::string why;
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(host->open(started->plugin.controller(), {}, &why))
        << "opening " << i << ": " << why;
    host->pump(i % 10 == 0 ? 40 : 0);
    host->close();
  }
  ASSERT_TRUE(host->open(started->plugin.controller(), {}, &why)) << why;
  host->pump(100);
  EXPECT_EQ(host->width(), 1256);
  host->close();
}

} // namespace
