// Gestures on the panel through the toolkit, as a musician makes them: knobs, wheel, double-click,
// switches and the program section, and what the host hears of them.
#include "tests/unit/editor/editor_fixture.h"
#include "tests/unit/plugin/engine_fixture.h"

#include <cmath>
#include <set>

using editortest::Editor;

namespace {

struct KnobDrag {
  const char* what;
  int param;
  double start; // plain
  float dy;     // design pixels, negative upwards
  bool shift;
  double expected; // plain
};

// Dragging up by gearing (4) times the knob's height sweeps the range; Shift is ten times finer.
const KnobDrag kKnobDrags[] = {
    {"big knob up", kCutoff, 0.5, -40.f, false, 0.5 + 40.0 / 80 / 4},
    {"big knob up with Shift", kCutoff, 0.5, -40.f, true, 0.5 + 40.0 / 80 / 40},
    {"knob down", kPeak, 0.2, 32.f, false, 0.2 - 32.0 / 64 / 4},
    {"knob down with Shift", kPeak, 0.2, 32.f, true, 0.2 - 32.0 / 64 / 40},
};

} // namespace

TEST(EditorGestures, KnobDragsWithAndWithoutShift) {
  for (const KnobDrag& k : kKnobDrags) {
    SCOPED_TRACE(k.what);
    Editor ed;
    ed.setPlain(k.param, k.start);
    ed.host.edits.clear();
    IMouseMod mod(true, false, k.shift);
    ed.drag(k.param, k.dy, mod);
    EXPECT_NEAR(ed.plain(k.param), k.expected, 1e-6); // pointer moves are floats
    // One host edit around the whole gesture, ending at the value the engine has.
    ASSERT_GE(ed.host.edits.size(), 3u);
    EXPECT_EQ(ed.host.edits.front().kind, 'b');
    EXPECT_EQ(ed.host.edits.back().kind, 'e');
    int begins = 0;
    for (const auto& e : ed.host.edits) begins += e.kind == 'b';
    EXPECT_EQ(begins, 1);
    EXPECT_NEAR(ed.host.edits[ed.host.edits.size() - 2].value, ed.normalized(k.param), 1e-12);
    EXPECT_FALSE(ed.window.cursorHidden); // shown again on release
    EXPECT_GE(ed.window.cursorHides, 1);
  }
}

TEST(EditorGestures, DragPastTheEndTurnsBackAtOnce) {
  Editor ed;
  ed.setPlain(kCutoff, 0.9);
  ed.press(kCutoff);
  ed.move(kCutoff, -400.f); // far past the top
  EXPECT_EQ(ed.plain(kCutoff), 1.0);
  ed.move(kCutoff, 8.f); // the first pixels back already count
  EXPECT_NEAR(ed.plain(kCutoff), 1.0 - 8.0 / 80 / 4, 1e-6);
  ed.release(kCutoff);
}

TEST(EditorGestures, KbdTrigLandsOnWholePositionsAndSweepsInOneHeight) {
  Editor ed;
  std::set<int> seen;
  ed.press(kKbdTrig);
  for (int i = 0; i < 16; ++i) {
    ed.move(kKbdTrig, -4.f, IMouseMod(true), 1.f);
    const double v = ed.plain(kKbdTrig);
    EXPECT_EQ(v, std::round(v));
    seen.insert(static_cast<int>(v));
  }
  ed.release(kKbdTrig);
  EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3, 4, 5})); // 64 pixels: the whole range
}

TEST(EditorGestures, WheelStepsSteppedParametersAndNudgesOthers) {
  Editor ed;
  ed.wheel(kPbRange, 1.f);
  EXPECT_EQ(ed.plain(kPbRange), 1.0);
  ed.wheel(kPbRange, -1.f);
  ed.wheel(kPbRange, -1.f);
  EXPECT_EQ(ed.plain(kPbRange), -1.0);
  ed.wheel(kTotTune, 1.f); // 0.01 of the range: 2 cents
  EXPECT_NEAR(ed.plain(kTotTune), 2.0, 1e-9);
  ed.setPlain(kCutoff, 0.5);
  ed.wheel(kCutoff, -1.f, IMouseMod(false, false, true)); // Shift: 0.001
  EXPECT_NEAR(ed.plain(kCutoff), 0.499, 1e-9);
}

TEST(EditorGestures, DoubleClickReturnsToTheDefault) {
  Editor ed;
  ed.setPlain(kPeak, 0.7);
  ed.doubleClick(kPeak);
  EXPECT_EQ(ed.plain(kPeak), 0.0);
  ed.setPlain(kSg1Wave, 0.9);
  ed.doubleClick(kSg1Wave);
  EXPECT_EQ(ed.plain(kSg1Wave), 0.25);
}

TEST(EditorGestures, SwitchesToggleOnEveryClick) {
  for (int param : {kFmMod, kK35Lp4, kEqRes, kGegAuto}) {
    Editor ed;
    const double start = ed.plain(param);
    ed.click(param);
    EXPECT_NE(ed.plain(param), start) << param;
    ed.click(param);
    EXPECT_EQ(ed.plain(param), start) << param;
  }
}

TEST(EditorGestures, ProgramButtonsStepBanksAndPrograms) {
  struct Case {
    const char* what;
    int from;
    int id;
    int expected;
  } cases[] = {
      {"next after the last", 63, panel::kIdNextProgram, 0},
      {"previous before the first", 0, panel::kIdPrevProgram, 63},
      {"next", 20, panel::kIdNextProgram, 21},
      {"bank A keeps the program in the bank", 37, panel::kIdBank0, 5},
      {"bank D", 37, panel::kIdBank0 - 3, 53},
      {"program 16 of the bank", 37, panel::kIdProgram0 - 15, 47},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Editor ed(0.5, c.from);
    ed.click(c.id);
    EXPECT_EQ(ed.plug->GetCurrentPresetIdx(), c.expected);
    EXPECT_EQ(ed.plug->bank, c.expected / 16);
    EXPECT_EQ(ed.plug->programInBank, c.expected % 16);
  }
  // Program 37, bank button A: program 5; then program button 16: program 15.
  Editor ed(0.5, 37);
  ed.click(panel::kIdBank0);
  EXPECT_EQ(ed.plug->GetCurrentPresetIdx(), 5);
  ed.click(panel::kIdProgram0 - 15);
  EXPECT_EQ(ed.plug->GetCurrentPresetIdx(), 15);
}

TEST(EditorGestures, RightClickOnAKnobOpensTheHostMenuAndChangesNothing) {
  Editor ed;
  const double before = ed.plain(kCutoff);
  ed.click(kCutoff, IMouseMod(false, true));
  ASSERT_EQ(ed.window.contextMenus.size(), 1u);
  EXPECT_EQ(ed.window.contextMenus[0].paramIdx, kCutoff);
  EXPECT_EQ(ed.plain(kCutoff), before);
}

// The S/H samples white noise on each rise of "Trg1": every new value is one trigger.
TEST(EditorGestures, ManualTriggerGivesExactlyOneRisingEdge) {
  for (bool held : {false, true}) {
    SCOPED_TRACE(held ? "Trg1 controller held on" : "Trg1 controller off");
    enginetest::Engine engine;
    engine.set(kShTrig, 9);   // "Trg1"
    engine.set(kShIn, 9);     // white noise
    engine.set(kTrg1Src, 20); // controller 20
    if (held) engine.send(enginetest::controller(20, 127));
    engine.periods(10);
    engine->editorResourcePath = VARNEL_BUNDLE_RESOURCES;
    std::unique_ptr<IGraphics> g = engine->openEditor();
    OffscreenPlatform window;
    g->SetPlatform(&window);
    const float s = g->GetScale();
    auto press = [&] {
      g->OnMouseDown((1648 + 20) * s, (280 + 20) * s, IMouseMod(true));
      g->OnMouseUp((1648 + 20) * s, (280 + 20) * s, IMouseMod(true));
    };
    auto count = [&](int periods) {
      int changes = 0;
      double last = engine->shValue;
      for (int i = 0; i < periods; ++i) {
        engine.period();
        if (engine->shValue != last) ++changes;
        last = engine->shValue;
      }
      return changes;
    };
    EXPECT_EQ(count(20), 0);
    press();
    EXPECT_EQ(count(50), 1);
    press();
    EXPECT_EQ(count(50), 1);
    g->SetPlatform(nullptr);
    engine->closeEditor(*g);
  }
}
