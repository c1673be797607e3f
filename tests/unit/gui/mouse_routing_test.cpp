// Mouse events reach the right control, and gestures on bound controls reach the host as edits.
#include "framework/gui/graphics.h"
#include "framework/gui/offscreen.h"
#include "tests/unit/gui/gui_test_plug.h"
#include "tests/unit/gui/probe_control.h"

#include <gtest/gtest.h>

namespace {

using Log = std::vector<std::string>;

// A 400 x 200 design space at scale 0.5: window pixels are half the design coordinates.
class MouseRouting : public ::testing::Test {
protected:
  MouseRouting() : g(plug, 400, 200, 0.5f) {
    g.SetPlatform(&platform);
    panel = Attach(IRECT(0, 0, 400, 200), -130); // catches what nobody else takes
    lower = Attach(IRECT(100, 50, 200, 150), GuiTestPlug::kGain);
    upper = Attach(IRECT(150, 50, 250, 150), GuiTestPlug::kMode);
    plug.host.log.clear();
  }
  ProbeControl* Attach(const IRECT& r, int param) {
    return static_cast<ProbeControl*>(g.AttachControl(new ProbeControl(r, param)));
  }
  // Design coordinates to window pixels.
  void Down(float x, float y, IMouseMod m = IMouseMod(true)) { g.OnMouseDown(x / 2, y / 2, m); }
  void Up(float x, float y) { g.OnMouseUp(x / 2, y / 2, IMouseMod(true)); }

  GuiTestPlug plug;
  OffscreenPlatform platform;
  IGraphics g;
  ProbeControl *panel, *lower, *upper;
};

TEST_F(MouseRouting, LastAttachedVisibleControlUnderThePointerTakesTheClick) {
  struct Case {
    float x, y;
    bool hideUpper;
    int expected; // 0 panel, 1 lower, 2 upper
  } cases[] = {
      {175, 100, false, 2}, // overlap: the later control
      {120, 100, false, 1},
      {175, 100, true, 1}, // hidden controls take no mouse
      {350, 20, false, 0},
  };
  for (const Case& c : cases) {
    for (ProbeControl* p : {panel, lower, upper}) p->calls.clear();
    upper->Hide(c.hideUpper);
    Click(g, c.x / 2, c.y / 2);
    ProbeControl* all[] = {panel, lower, upper};
    for (int i = 0; i < 3; ++i) {
      const Log expected = i == c.expected ? Log{"down", "up"} : Log{};
      EXPECT_EQ(all[i]->calls, expected) << "click at " << c.x << "," << c.y;
    }
  }
}

TEST_F(MouseRouting, ClickPositionsArriveInDesignCoordinates) {
  g.OnMouseDown(60.f, 40.f, IMouseMod(true));
  EXPECT_FLOAT_EQ(lower->lastX, 120.f);
  EXPECT_FLOAT_EQ(lower->lastY, 80.f);
}

TEST_F(MouseRouting, DragAndReleaseStayWithTheControlThatTookThePress) {
  Down(120, 100);
  g.OnMouseDrag(300.f, 10.f, 180.f, -40.f, IMouseMod(true)); // far outside the control
  g.OnMouseUp(300.f, 10.f, IMouseMod(true));
  EXPECT_EQ(lower->calls, (Log{"down", "drag", "up"}));
  EXPECT_TRUE(panel->calls.empty());
}

TEST_F(MouseRouting, GestureOnBoundControlIsOneHostEditWithoutNestedEdits) {
  Drag(g, 60.f, 50.f, 0.f, -10.f, IMouseMod(true), 2);
  EXPECT_EQ(plug.host.log, (Log{"begin 0", "perform 0", "perform 0", "end 0"}));
  // Two drags of 10 design units up on a 100-high control from 0.25.
  EXPECT_NEAR(plug.GetParam(GuiTestPlug::kGain)->GetValue(), 0.45, 1e-6);
}

TEST_F(MouseRouting, PressAfterALostReleaseFinishesTheOldGestureFirst) {
  Down(120, 100);
  Down(175, 100); // the window never reported the release
  Up(175, 100);
  EXPECT_EQ(lower->calls, (Log{"down", "up"}));
  EXPECT_EQ(upper->calls, (Log{"down", "up"}));
  EXPECT_EQ(plug.host.log, (Log{"begin 0", "end 0", "begin 1", "end 1"}));
}

TEST_F(MouseRouting, ClickOnUnboundControlSendsNothingToTheHost) {
  Down(350, 20);
  Up(350, 20);
  EXPECT_TRUE(plug.host.log.empty());
}

TEST_F(MouseRouting, WheelIsOneBracketedEdit) {
  g.OnMouseWheel(60.f, 50.f, IMouseMod(), 1.f);
  EXPECT_EQ(plug.host.log, (Log{"begin 0", "perform 0", "end 0"}));
  EXPECT_NEAR(plug.GetParam(GuiTestPlug::kGain)->GetValue(), 0.26, 1e-9);
}

TEST_F(MouseRouting, ClosingTheWindowMidGestureEndsTheHostEdit) {
  Down(120, 100);
  g.SetPlatform(nullptr);
  EXPECT_EQ(plug.host.log, (Log{"begin 0", "end 0"}));
  g.OnMouseUp(60.f, 50.f, IMouseMod(true)); // a late release changes nothing
  EXPECT_EQ(plug.host.log.size(), 2u);
}

TEST(MouseRoutingLifetime, DestroyingTheEditorMidGestureEndsTheHostEdit) {
  GuiTestPlug plug;
  {
    IGraphics g(plug, 100, 100, 1.f);
    g.AttachControl(new ProbeControl(IRECT(0, 0, 100, 100), GuiTestPlug::kGain));
    g.OnMouseDown(50.f, 50.f, IMouseMod(true));
  }
  EXPECT_EQ(plug.host.log, (Log{"begin 0", "end 0"}));
}

TEST_F(MouseRouting, RightClickOnBoundControlOpensHostMenuInstead) {
  Down(175, 100, IMouseMod(false, true));
  g.OnMouseUp(87.5f, 50.f, IMouseMod(false, true));
  ASSERT_EQ(platform.contextMenus.size(), 1u);
  EXPECT_EQ(platform.contextMenus[0].paramIdx, GuiTestPlug::kMode);
  EXPECT_FLOAT_EQ(platform.contextMenus[0].x, 87.5f);
  EXPECT_FLOAT_EQ(platform.contextMenus[0].y, 50.f);
  EXPECT_TRUE(upper->calls.empty());
  EXPECT_TRUE(plug.host.log.empty());
}

TEST_F(MouseRouting, RightClickOnUnboundControlReachesIt) {
  Down(350, 20, IMouseMod(false, true));
  EXPECT_EQ(panel->calls, (Log{"down-right"}));
  EXPECT_TRUE(platform.contextMenus.empty());
}

TEST_F(MouseRouting, DoubleClickResetsBoundControlToDefault) {
  plug.HostSets(GuiTestPlug::kGain, 0.9);
  g.OnTimer();
  plug.host.log.clear();
  Down(120, 100);
  Up(120, 100);
  g.OnMouseDblClick(60.f, 50.f, IMouseMod(true));
  Up(120, 100);
  EXPECT_DOUBLE_EQ(plug.GetParam(GuiTestPlug::kGain)->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(lower->GetValue(), 0.25);
  EXPECT_EQ(plug.host.log, (Log{"begin 0", "end 0", "begin 0", "perform 0", "end 0"}));
  EXPECT_EQ(lower->calls, (Log{"down", "up"}));
}

TEST_F(MouseRouting, DoubleClickCountsAsClickWhenTheControlSaysSo) {
  upper->SetDblAsSingleClick(true);
  plug.HostSets(GuiTestPlug::kMode, 4);
  g.OnTimer();
  Down(175, 100);
  Up(175, 100);
  g.OnMouseDblClick(87.5f, 50.f, IMouseMod(true));
  Up(175, 100);
  EXPECT_EQ(upper->calls, (Log{"down", "up", "down", "up"}));
  EXPECT_DOUBLE_EQ(plug.GetParam(GuiTestPlug::kMode)->GetValue(), 4.0);
}

TEST_F(MouseRouting, DoubleClickOnUnboundControlIsItsOwnAndItGetsTheRelease) {
  g.OnMouseDblClick(175.f, 10.f, IMouseMod(true));
  Up(350, 20);
  EXPECT_EQ(panel->calls, (Log{"dblclick", "up"}));
}

TEST_F(MouseRouting, CursorHiddenDuringDragIsShownAgainOnRelease) {
  lower->hideCursorOnDrag = true;
  Down(120, 100);
  EXPECT_TRUE(platform.cursorHidden);
  Up(120, 100);
  EXPECT_FALSE(platform.cursorHidden);
}

TEST_F(MouseRouting, MouseOverTracksEnterMoveAndLeaveOnlyWhenEnabled) {
  g.OnMouseOver(60.f, 50.f, IMouseMod());
  EXPECT_TRUE(lower->calls.empty());
  g.EnableMouseOver(true);
  g.OnMouseOver(60.f, 50.f, IMouseMod());
  g.OnMouseOver(61.f, 50.f, IMouseMod());
  g.OnMouseOver(87.5f, 50.f, IMouseMod()); // onto the upper control
  g.OnMouseOut();
  EXPECT_EQ(lower->calls, (Log{"over", "over", "out"}));
  EXPECT_EQ(upper->calls, (Log{"over", "out"}));
  EXPECT_EQ(g.GetMouseOverControl(), nullptr);
}

TEST_F(MouseRouting, ControlsShowTheEditControllersValueAndEditsKeepItCurrent) {
  plug.SetControllerValue(GuiTestPlug::kGain, 0.6); // the host's controller call only
  g.OnTimer();
  EXPECT_DOUBLE_EQ(lower->GetValue(), 0.6);
  EXPECT_DOUBLE_EQ(plug.GetParam(GuiTestPlug::kGain)->GetValue(), 0.25);
  Drag(g, 60.f, 50.f, 0.f, -5.f); // a gesture: +0.1
  g.OnTimer();
  EXPECT_NEAR(plug.GetControllerValue(GuiTestPlug::kGain), 0.7, 1e-6);
  EXPECT_NEAR(lower->GetValue(), 0.7, 1e-6);
  g.OnMouseWheel(60.f, 50.f, IMouseMod(), 1.f); // a single edit: +0.01
  g.OnTimer();
  EXPECT_NEAR(plug.GetControllerValue(GuiTestPlug::kGain), 0.71, 1e-6);
  EXPECT_NEAR(lower->GetValue(), 0.71, 1e-6);
}

TEST_F(MouseRouting, TimerRunsIdleAndControlsFollowTheParameterExceptTheOneHeld) {
  plug.HostSets(GuiTestPlug::kGain, 0.75);
  plug.HostSets(GuiTestPlug::kMode, 5);
  Down(120, 100); // the user holds "Gain"
  g.OnTimer();
  EXPECT_EQ(plug.idleCalls, 1);
  EXPECT_DOUBLE_EQ(lower->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(upper->GetValue(), 1.0);
  Up(120, 100);
  g.OnTimer();
  EXPECT_DOUBLE_EQ(lower->GetValue(), 0.75);
}

} // namespace
