// The editor in a real X window, opened as a DAW opens it (parent window, frame, run loop),
// under a private Xvfb; input comes through XTest like a user's mouse.
#include <cairo.h>
#include <cstdlib>
#include <dirent.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "framework/gui/graphics.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "tests/integration/editor_window_fixture.h"
#include "tests/integration/editor_window_test_plug.h"

using Steinberg::IPlugView;
using Steinberg::kInvalidArgument;
using Steinberg::kResultFalse;
using Steinberg::kResultOk;
using Steinberg::kResultTrue;
using Steinberg::ViewRect;
using Gesture = vhost::ComponentHandler::Gesture;

namespace {

constexpr unsigned long kShiftKey = 0xffe1; // the X keysym of the left Shift key

class EditorWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(itest::startXServer(&why)) << why;
    host = std::make_unique<vhost::EditorHost>(itest::xServer().display());
  }
  void TearDown() override { host.reset(); }

  void open(const vhost::EditorOptions& options = {}) {
    std::string why;
    ASSERT_TRUE(host->open(plugin.controller(), options, &why)) << why;
    host->pump(60);
    plugin.handler().takeGestures();
  }
  // The window point at the centre of a knob (the editor at scale 1).
  static int knobX(int knob) {
    return static_cast<int>(itest::TinyEditorPlugin::knobRect(knob).MW());
  }
  static int knobY(int knob) {
    return static_cast<int>(itest::TinyEditorPlugin::knobRect(knob).MH());
  }

  itest::TinyEditorPlugin plugin;
  std::unique_ptr<vhost::EditorHost> host;
};

// Begin, performs, end: one well-formed gesture on one parameter.
void expectOneGesture(const std::vector<Gesture>& g, Steinberg::Vst::ParamID id) {
  ASSERT_GE(g.size(), 2u);
  EXPECT_EQ(g.front().kind, Gesture::kBegin);
  EXPECT_EQ(g.back().kind, Gesture::kEnd);
  for (size_t i = 0; i < g.size(); ++i) {
    EXPECT_EQ(g[i].id, id) << "at " << i;
    if (i > 0 && i + 1 < g.size()) {
      EXPECT_EQ(g[i].kind, Gesture::kPerform) << "at " << i;
    }
  }
}

int openFileCount() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

} // namespace

TEST_F(EditorWindowTest, OpensInTheHostWindowWithTheRunLoopAndDrawsThePanel) {
  open();
  EXPECT_EQ(host->width(), itest::TinyEditorPlugin::kDesignW);
  EXPECT_EQ(host->height(), itest::TinyEditorPlugin::kDesignH);
  EXPECT_NE(host->pluginWindow(), 0u);
  EXPECT_EQ(host->runLoop().eventHandlerCount(), 1u);
  EXPECT_EQ(host->runLoop().timerCount(), 1u);

  ASSERT_TRUE(host->screenshot("editor_window_tiny.png"));
  itest::Image shot(host->capture());
  ASSERT_TRUE(shot.valid());
  // The knob face is drawn where the layout put it, the panel around it is not.
  EXPECT_TRUE(itest::near(shot.pixel(knobX(0) - 20, knobY(0) + 20), 200, 200, 190));
  EXPECT_TRUE(itest::near(shot.pixel(55, 55), 48, 52, 60));
}

TEST_F(EditorWindowTest, DragsTurnTheKnobAsOneGestureAtTheHostFinerWithShift) {
  struct Case {
    bool shift;
    double expectedChange; // 40 pixels up
  };
  for (const Case& c : {Case{false, 0.40}, Case{true, 0.04}}) {
    SCOPED_TRACE(c.shift ? "with Shift" : "without Shift");
    open();
    plugin.automate(itest::TinyEditorPlugin::kLevel, 0.5);
    host->pump(50);
    itest::Image before(host->capture());
    if (c.shift) host->keyDown(kShiftKey);
    host->drag(knobX(0), knobY(0), knobX(0), knobY(0) - 40, 8);
    if (c.shift) host->keyUp(kShiftKey);
    host->pump(50);
    expectOneGesture(plugin.handler().takeGestures(), itest::TinyEditorPlugin::kLevel);
    EXPECT_NEAR(plugin.value(itest::TinyEditorPlugin::kLevel), 0.5 + c.expectedChange, 0.011);
    itest::Image after(host->capture());
    EXPECT_GT(itest::changedPixels(before, after, itest::TinyEditorPlugin::knobRect(0)), 0);
    EXPECT_EQ(itest::changedPixels(before, after, itest::TinyEditorPlugin::knobRect(1)), 0);
    host->close();
  }
}

TEST_F(EditorWindowTest, DoubleClickGoesToTheDefaultAndTheWheelSteps) {
  open();
  const int level = itest::TinyEditorPlugin::kLevel;
  plugin.automate(level, 0.8);
  host->pump(50);
  host->moveTo(knobX(0), knobY(0));
  host->pump(5);
  for (int i = 0; i < 2; ++i) {
    host->buttonDown(1);
    host->pump(5);
    host->buttonUp(1);
    host->pump(5);
  }
  host->pump(30);
  EXPECT_DOUBLE_EQ(plugin.value(level), 0.5);
  auto gestures = plugin.handler().takeGestures();
  ASSERT_FALSE(gestures.empty());
  EXPECT_EQ(gestures.back().kind, Gesture::kEnd);

  // Wheel up and down: X buttons 4 and 5, each an edit of its own.
  for (const auto& [button, expected] : {std::pair{4, 0.55}, std::pair{5, 0.5}}) {
    host->buttonDown(button);
    host->buttonUp(button);
    host->pump(30);
    EXPECT_NEAR(plugin.value(level), expected, 1e-9) << "button " << button;
    const auto g = plugin.handler().takeGestures();
    ASSERT_EQ(g.size(), 3u);
    EXPECT_EQ(g[0].kind, Gesture::kBegin);
    EXPECT_EQ(g[1].kind, Gesture::kPerform);
    EXPECT_EQ(g[2].kind, Gesture::kEnd);
  }
}

TEST_F(EditorWindowTest, RightClickOpensTheHostsMenuForThatParameter) {
  open();
  plugin.handler().takeContextMenus();
  host->click(knobX(1), knobY(1), 3);
  host->pump(20);
  const auto menus = plugin.handler().takeContextMenus();
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_TRUE(menus[0].forParam);
  EXPECT_EQ(menus[0].id, static_cast<unsigned>(itest::TinyEditorPlugin::kDrive));
  EXPECT_TRUE(menus[0].poppedUp);
  EXPECT_EQ(menus[0].x, knobX(1));
  EXPECT_EQ(menus[0].y, knobY(1));
  EXPECT_TRUE(plugin.handler().takeGestures().empty());
  // The panel still takes a left drag afterwards.
  host->drag(knobX(0), knobY(0), knobX(0), knobY(0) - 10, 4);
  host->pump(20);
  expectOneGesture(plugin.handler().takeGestures(), itest::TinyEditorPlugin::kLevel);
}

TEST_F(EditorWindowTest, HostAutomationMovesOnlyItsKnob) {
  open();
  itest::Image before(host->capture());
  plugin.automate(itest::TinyEditorPlugin::kDrive, 1.0);
  host->pump(80);
  itest::Image after(host->capture());
  EXPECT_GT(itest::changedPixels(before, after, itest::TinyEditorPlugin::knobRect(1)), 0);
  EXPECT_EQ(itest::changedPixels(before, after, itest::TinyEditorPlugin::knobRect(0)), 0);
  EXPECT_TRUE(plugin.handler().takeGestures().empty());
}

TEST_F(EditorWindowTest, ScaleChangesResizeTheHostWindowThroughTheFrame) {
  open();
  IGraphics* g = itest::TinyEditorPlugin::openEditor();
  ASSERT_NE(g, nullptr);
  g->Resize(g->Width(), g->Height(), 1.5f);
  host->pump(50);
  EXPECT_EQ(host->width(), 600);
  EXPECT_EQ(host->height(), 300);
  EXPECT_EQ(host->resizeRequests(), 1);
  int childW = 0, childH = 0;
  ASSERT_TRUE(host->pluginWindowSize(childW, childH));
  EXPECT_EQ(childW, 600);
  EXPECT_EQ(childH, 300);
  // The whole window is painted at the new size: the knob sits at 1.5 times its place.
  itest::Image shot(host->capture());
  EXPECT_TRUE(itest::near(
      shot.pixel(static_cast<int>(1.5 * (knobX(0) - 25)), static_cast<int>(1.5 * (knobY(0) + 25))),
      200, 200, 190));

  // The user resizes the host's window: the editor takes the largest scale that fits.
  ViewRect asked(0, 0, 300, 400);
  EXPECT_EQ(host->view()->checkSizeConstraint(&asked), kResultTrue);
  EXPECT_EQ(asked.getWidth(), 300);
  EXPECT_EQ(asked.getHeight(), 150);
  ViewRect given(0, 0, 300, 150);
  EXPECT_EQ(host->view()->onSize(&given), kResultOk);
  host->pump(30);
  EXPECT_FLOAT_EQ(g->GetScale(), 0.75f);
  EXPECT_EQ(host->width(), 300);
  // Beyond the limits the nearest limit holds.
  ViewRect huge(0, 0, 8000, 8000);
  EXPECT_EQ(host->view()->checkSizeConstraint(&huge), kResultTrue);
  EXPECT_EQ(huge.getWidth(), 800);
}

TEST_F(EditorWindowTest, HiDpiContentScaleGivesAWindowOfThatManyPixels) {
  vhost::EditorOptions options;
  options.contentScale = 2.0f;
  open(options);
  EXPECT_EQ(host->width(), 800);
  EXPECT_EQ(host->height(), 400);
  // The editor keeps its own scale; the pixels are doubled.
  EXPECT_FLOAT_EQ(itest::TinyEditorPlugin::openEditor()->GetScale(), 1.0f);
  itest::Image shot(host->capture());
  EXPECT_TRUE(itest::near(shot.pixel(2 * (knobX(0) - 20), 2 * (knobY(0) + 20)), 200, 200, 190));
  // Mouse positions are divided back: a drag of 80 pixels is 40 logical ones.
  plugin.automate(itest::TinyEditorPlugin::kLevel, 0.5);
  host->pump(30);
  host->drag(2 * knobX(0), 2 * knobY(0), 2 * knobX(0), 2 * knobY(0) - 80, 8);
  host->pump(30);
  EXPECT_NEAR(plugin.value(itest::TinyEditorPlugin::kLevel), 0.9, 0.011);

  // A change of the factor while open resizes through the frame.
  Steinberg::IPlugViewContentScaleSupport* scaling = nullptr;
  ASSERT_EQ(host->view()->queryInterface(Steinberg::IPlugViewContentScaleSupport::iid,
                                         reinterpret_cast<void**>(&scaling)),
            kResultOk);
  EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultTrue);
  EXPECT_EQ(scaling->setContentScaleFactor(0.0f), kInvalidArgument);
  scaling->release();
  host->pump(30);
  EXPECT_EQ(host->width(), 600);
  EXPECT_EQ(host->height(), 300);
}

TEST_F(EditorWindowTest, OpeningAndClosingFiftyTimesLeavesNothingBehind) {
  // One round first, so lazily made process-wide things (fonts, caches) are not counted.
  open();
  host->close();
  const int filesBefore = openFileCount();
  const int made = itest::TinyEditorPlugin::editorsMade();
  for (int i = 0; i < 50; ++i) {
    open();
    if (i % 10 == 0) host->drag(knobX(0), knobY(0), knobX(0), knobY(0) - 5, 2);
    host->close();
    ASSERT_EQ(host->runLoop().eventHandlerCount(), 0u);
    ASSERT_EQ(host->runLoop().timerCount(), 0u);
  }
  EXPECT_EQ(itest::TinyEditorPlugin::editorsMade() - made, 50);
  EXPECT_EQ(itest::TinyEditorPlugin::editorsMade(), itest::TinyEditorPlugin::editorsClosed());
  EXPECT_EQ(itest::TinyEditorPlugin::openEditor(), nullptr);
  EXPECT_EQ(openFileCount(), filesBefore);
}

TEST_F(EditorWindowTest, ClosingInTheMiddleOfADragEndsTheGestureAndShowsTheCursor) {
  open();
  host->moveTo(knobX(0), knobY(0));
  host->pump(5);
  EXPECT_FALSE(host->cursorInvisible());
  host->buttonDown(1);
  host->pump(10);
  host->moveTo(knobX(0), knobY(0) - 20);
  host->pump(20);
  EXPECT_TRUE(host->cursorInvisible()); // the knob hides it while it is dragged
  host->close();
  EXPECT_FALSE(host->cursorInvisible());
  host->buttonUp(1);
  expectOneGesture(plugin.handler().takeGestures(), itest::TinyEditorPlugin::kLevel);
  // And the next opening works as the first.
  open();
  host->drag(knobX(1), knobY(1), knobX(1), knobY(1) - 10, 4);
  host->pump(20);
  expectOneGesture(plugin.handler().takeGestures(), itest::TinyEditorPlugin::kDrive);
}

TEST_F(EditorWindowTest, OddHostCallsGetTheProperResults) {
  IPlugView* view = plugin.controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(plugin.controller()->createView("something else"), nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported(Steinberg::kPlatformTypeX11EmbedWindowID), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported(Steinberg::kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->removed(), kResultFalse); // never attached
  ViewRect size;
  EXPECT_EQ(view->getSize(&size), kResultOk); // before attached
  EXPECT_EQ(size.getWidth(), itest::TinyEditorPlugin::kDesignW);
  EXPECT_EQ(view->getSize(nullptr), kInvalidArgument);
  EXPECT_EQ(view->onSize(nullptr), kInvalidArgument);
  for (const ViewRect& bad : {ViewRect(0, 0, -10, 20), ViewRect(0, 0, 0, 0),
                              ViewRect(0, 0, 100000, 100000), ViewRect(50, 50, 10, 10)}) {
    ViewRect r = bad;
    EXPECT_EQ(view->onSize(&r), kInvalidArgument);
  }
  EXPECT_EQ(view->attached(nullptr, Steinberg::kPlatformTypeX11EmbedWindowID), kInvalidArgument);
  view->release();

  open();
  void* parent = reinterpret_cast<void*>(host->parentWindow());
  EXPECT_EQ(host->view()->attached(parent, Steinberg::kPlatformTypeX11EmbedWindowID),
            kResultFalse); // attached twice
  EXPECT_EQ(host->view()->attached(parent, Steinberg::kPlatformTypeHWND), kResultFalse);
  host->pump(30);
  EXPECT_EQ(host->runLoop().eventHandlerCount(), 1u); // still the one registration
  ViewRect odd(0, 0, 1, 1);                           // tiny but valid: the smallest scale
  EXPECT_EQ(host->view()->onSize(&odd), kResultOk);
  host->pump(30);
  EXPECT_EQ(host->width(), 100);
  EXPECT_EQ(host->view()->removed(), kResultOk);
  EXPECT_EQ(host->view()->removed(), kResultFalse); // removed twice
}

TEST_F(EditorWindowTest, LateCallsAfterRemovalAndAHostThatDestroysItsWindowFirstAreHarmless) {
  host->runLoop().keepUnregistered(true);
  open();
  host->drag(knobX(0), knobY(0), knobX(0), knobY(0) - 10, 2);
  host->close();
  host->runLoop().callLateHandlers(); // timer and descriptor once more after removed()
  plugin.handler().takeGestures();

  open();
  host->pump(30);
  host->closeWindowFirst(); // our window is gone before removed(): no X error ends the host
  host->runLoop().callLateHandlers();
  open();
  host->drag(knobX(0), knobY(0), knobX(0), knobY(0) - 10, 4);
  expectOneGesture(plugin.handler().takeGestures(), itest::TinyEditorPlugin::kLevel);
}

TEST_F(EditorWindowTest, ATextFieldTakesTheKeyboardAndGivesItBack) {
  open();
  const unsigned long before = host->focusWindow();
  IGraphics* g = itest::TinyEditorPlugin::openEditor();
  std::string typed;
  g->SetKeyHandler([&](float, float, const IKeyPress& key) {
    typed += key.utf8;
    return true;
  });
  // Keys typed while the editor does not hold the keyboard stay the host's.
  host->moveTo(knobX(0), knobY(0));
  host->keyDown('a');
  host->keyUp('a');
  host->pump(30);
  EXPECT_EQ(typed, "");
  g->GetPlatform()->SetKeyboardFocus(true);
  host->pump(10);
  EXPECT_EQ(host->focusWindow(), host->pluginWindow());
  host->keyDown('b');
  host->keyUp('b');
  host->pump(30);
  EXPECT_EQ(typed, "b");
  g->GetPlatform()->SetKeyboardFocus(false);
  host->pump(10);
  EXPECT_EQ(host->focusWindow(), before);
}

TEST_F(EditorWindowTest, WithoutARunLoopTheEditorSaysSoAndNeverBlocks) {
  vhost::EditorOptions options;
  options.offerRunLoop = false;
  testing::internal::CaptureStderr();
  open(options);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("run loop"), std::string::npos) << err;
  EXPECT_EQ(host->runLoop().timerCount(), 0u);
  host->close();
}
