// Only what changed is redrawn, and an idle editor asks for nothing.
#include "framework/gui/graphics.h"
#include "framework/gui/offscreen.h"
#include "tests/unit/gui/gui_test_plug.h"
#include "tests/unit/gui/probe_control.h"

#include <gtest/gtest.h>

namespace {

class DirtyRects : public ::testing::Test {
protected:
  DirtyRects() : g(plug, 400, 200, 0.5f) {
    g.SetPlatform(&platform);
    knob = static_cast<ProbeControl*>(
        g.AttachControl(new ProbeControl(IRECT(101, 51, 151, 101), GuiTestPlug::kGain)));
    other = static_cast<ProbeControl*>(
        g.AttachControl(new ProbeControl(IRECT(300, 100, 350, 150), GuiTestPlug::kMode)));
    EXPECT_EQ(g.TakeDirtyRect(), IRECT(0, 0, 200, 100)); // a new editor paints everything
    platform.invalidations = 0;
  }

  GuiTestPlug plug;
  OffscreenPlatform platform;
  IGraphics g;
  ProbeControl *knob, *other;
};

TEST_F(DirtyRects, IdleTimerWithNothingChangedAsksForNoPaint) {
  for (int i = 0; i < 10; ++i) g.OnTimer();
  EXPECT_EQ(platform.invalidations, 0);
  EXPECT_TRUE(g.TakeDirtyRect().Empty());
}

TEST_F(DirtyRects, ParameterChangedElsewhereRedrawsOnlyItsControlInWholeWindowPixels) {
  plug.HostSets(GuiTestPlug::kGain, 0.5);
  g.OnTimer();
  EXPECT_EQ(platform.invalidations, 1);
  // (101, 51, 151, 101) at scale 0.5 covers (50.5, 25.5, 75.5, 50.5): whole pixels plus one.
  EXPECT_EQ(g.TakeDirtyRect(), IRECT(49, 24, 77, 52));
  EXPECT_TRUE(g.TakeDirtyRect().Empty());
}

TEST_F(DirtyRects, DirtyRectIsTheUnionOfDirtyControls) {
  knob->SetDirty(false);
  other->SetDirty(false);
  EXPECT_EQ(g.TakeDirtyRect(), IRECT(49, 24, 176, 76));
}

TEST_F(DirtyRects, HidingAndShowingRedrawsTheAreaOnlyWhenItChanges) {
  other->Hide(false);
  EXPECT_TRUE(g.TakeDirtyRect().Empty());
  other->Hide(true);
  EXPECT_EQ(g.TakeDirtyRect(), IRECT(149, 49, 176, 76));
}

TEST_F(DirtyRects, DrawingADirtyRegionDrawsOnlyControlsThatTouchIt) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 200, 100);
  cairo_t* cr = cairo_create(s);
  knob->draws = other->draws = 0;
  plug.HostSets(GuiTestPlug::kGain, 0.9);
  g.OnTimer();
  g.Draw(cr, g.TakeDirtyRect());
  EXPECT_EQ(knob->draws, 1);
  EXPECT_EQ(other->draws, 0);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
}

TEST_F(DirtyRects, ResizeRedrawsTheWholeNewWindow) {
  g.Resize(400, 200, 1.f);
  EXPECT_EQ(g.TakeDirtyRect(), IRECT(0, 0, 400, 200));
}

} // namespace
