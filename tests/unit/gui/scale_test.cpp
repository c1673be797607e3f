// The editor's scale stays within its limits, and the corner handle scales the editor.
#include "framework/gui/graphics.h"
#include "framework/gui/offscreen.h"
#include "tests/unit/gui/gui_test_plug.h"
#include "tests/unit/gui/probe_control.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Scale, IsClampedToTheLimitsAndGivesTheWindowSize) {
  struct Case {
    float scale;
    float expected;
    int w, h;
  } cases[] = {
      {0.5f, 0.5f, 1256, 520},    {0.25f, 0.25f, 628, 260},
      {0.375f, 0.375f, 942, 390}, {0.70710677f, 0.70710677f, 1776, 735},
      {1.f, 1.f, 2512, 1040},     {2.f, 2.f, 5024, 2080},
      {0.1f, 0.25f, 628, 260},    {3.f, 2.f, 5024, 2080},
      {-1.f, 0.25f, 628, 260},    {NAN, 1.f, 2512, 1040}, // no number: keeps the scale
  };
  for (const Case& c : cases) {
    GuiTestPlug plug;
    OffscreenPlatform platform;
    IGraphics g(plug, 2512, 1040, 1.f);
    g.SetPlatform(&platform);
    g.Resize(2512, 1040, c.scale);
    EXPECT_FLOAT_EQ(g.GetScale(), c.expected) << c.scale;
    EXPECT_EQ(g.WindowWidth(), c.w) << c.scale;
    EXPECT_EQ(g.WindowHeight(), c.h) << c.scale;
    EXPECT_EQ(platform.windowW, c.w);
    EXPECT_EQ(platform.windowH, c.h);
    IGraphics opened(plug, 2512, 1040, c.scale); // a stored scale at opening, likewise
    EXPECT_FLOAT_EQ(opened.GetScale(), std::isnan(c.scale) ? 1.f : c.expected);
  }
}

class CornerResizer : public ::testing::Test {
protected:
  CornerResizer() : g(plug, 2512, 1040, 0.5f) {
    g.SetPlatform(&platform);
    g.EnableMouseOver(true);
    whole = static_cast<ProbeControl*>(
        g.AttachControl(new ProbeControl(IRECT(0, 0, 2512, 1040), GuiTestPlug::kGain)));
    resizer = new ICornerResizerControl(g.GetBounds(), 20.f);
    g.AttachCornerResizer(resizer);
  }
  GuiTestPlug plug;
  OffscreenPlatform platform;
  IGraphics g;
  ProbeControl* whole;
  ICornerResizerControl* resizer;
};

TEST_F(CornerResizer, TakesTheMouseBeforeEveryControlAndKeepsTwentyWindowPixels) {
  EXPECT_EQ(resizer->GetRECT(), IRECT(2493, 1021, 2511, 1039));
  // At scale 0.5 the handle covers the last 20 window pixels: design 2472..2512.
  EXPECT_EQ(resizer->GetTargetRECT(), IRECT(2472, 1000, 2512, 1040));
  g.OnMouseDown(1250.f, 515.f, IMouseMod(true));
  EXPECT_TRUE(resizer->IsResizing());
  EXPECT_TRUE(whole->calls.empty());
  g.OnMouseUp(1250.f, 515.f, IMouseMod(true));
  g.OnMouseDown(1230.f, 515.f, IMouseMod(true)); // just outside
  EXPECT_EQ(whole->calls, (std::vector<std::string>{"down"}));
}

TEST_F(CornerResizer, DragScalesTheEditorWithinTheLimits) {
  g.OnMouseDown(1250.f, 515.f, IMouseMod(true));
  g.OnMouseDrag(2512.f, 1040.f, 1262.f, 525.f, IMouseMod(true));
  EXPECT_NEAR(g.GetScale(), 1.f, 1e-6);
  EXPECT_EQ(platform.windowW, 2512);
  EXPECT_EQ(platform.windowH, 1040);
  EXPECT_NEAR(resizer->GetTargetRECT().L, 2492.f, 1e-3); // still 20 window pixels
  g.OnMouseDrag(9000.f, 9000.f, 0.f, 0.f, IMouseMod(true));
  EXPECT_FLOAT_EQ(g.GetScale(), 2.f);
  g.OnMouseDrag(10.f, 10.f, 0.f, 0.f, IMouseMod(true));
  EXPECT_FLOAT_EQ(g.GetScale(), 0.25f);
  g.OnMouseUp(10.f, 10.f, IMouseMod(true));
  EXPECT_FALSE(resizer->IsResizing());
  EXPECT_TRUE(plug.host.log.empty()); // scaling is no parameter edit
}

TEST_F(CornerResizer, DoubleClickGivesTheDesignSizeAtScaleOne) {
  g.OnMouseDblClick(1250.f, 515.f, IMouseMod(true));
  EXPECT_FLOAT_EQ(g.GetScale(), 1.f);
  EXPECT_EQ(platform.windowW, 2512);
  EXPECT_EQ(platform.windowH, 1040);
}

TEST_F(CornerResizer, ShowsTheResizeCursorWhileTheMouseIsOverIt) {
  g.SetCursor(ECursor::kHand);
  g.OnMouseOver(1250.f, 515.f, IMouseMod());
  EXPECT_EQ(platform.cursor, ECursor::kSizeNWSE);
  EXPECT_TRUE(resizer->IsMouseOver());
  g.OnMouseOver(600.f, 300.f, IMouseMod());
  EXPECT_EQ(platform.cursor, ECursor::kHand); // the cursor from before
  EXPECT_FALSE(resizer->IsMouseOver());
}

} // namespace
