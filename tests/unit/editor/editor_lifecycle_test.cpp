// The editor's life cycle: what opens, the size choices, the lamps, the resonator and
// equaliser groups, the program section and requests from the audio thread.
#include "tests/unit/editor/editor_fixture.h"

#include "plugin/varnel_controls_menus.h"

using editortest::Editor;

namespace {

std::vector<int> visibleLamps(const IControl* const* lamps, int n) {
  std::vector<int> lit;
  for (int k = 0; k < n; ++k)
    if (lamps[k] && !lamps[k]->IsHidden()) lit.push_back(k);
  return lit;
}

} // namespace

TEST(EditorLifeCycle, Program37LightsBankLamp2AndProgramLamp5Only) {
  Editor ed(0.5, 37);
  EXPECT_EQ(visibleLamps(ed.plug->ui.bankLamps, 4), std::vector<int>{2});
  EXPECT_EQ(visibleLamps(ed.plug->ui.programLamps, 16), std::vector<int>{5});
  EXPECT_EQ(ed.plug->ui.presetName->ShownText(), "");
  cairo_surface_destroy(RenderToImage(*ed.g));
  EXPECT_EQ(ed.plug->ui.presetName->ShownText(), ed.plug->GetPresetName(37).substr(0, 32));
  // Switching to program 19 moves both lamps.
  ed.plug->changePreset(19);
  EXPECT_EQ(visibleLamps(ed.plug->ui.bankLamps, 4), std::vector<int>{1});
  EXPECT_EQ(visibleLamps(ed.plug->ui.programLamps, 16), std::vector<int>{3});
}

TEST(EditorLifeCycle, OpensWithTheGroupThatEqResChooses) {
  for (bool res : {false, true}) {
    Editor ed(0.5, 0, res);
    auto& ui = ed.plug->ui;
    EXPECT_EQ(ui.resBack->IsHidden(), !res);
    EXPECT_EQ(ui.eqBack->IsHidden(), res);
    for (IControl* c : ui.resControls) EXPECT_EQ(c->IsHidden(), !res);
    for (IControl* c : ui.eqKnobs) EXPECT_EQ(c->IsHidden(), res);
  }
}

TEST(EditorLifeCycle, AutomationOfEqResSwapsTheGroupsOnTheNextIdle) {
  Editor ed;
  {
    // The dispatch runs on the audio thread: it only leaves a request.
    const PluginBase::AudioThreadScope audio;
    ed.plug->GetParam(kEqRes)->SetValue(1);
    ed.plug->OnParamChange(kEqRes);
  }
  EXPECT_FALSE(ed.plug->ui.eqBack->IsHidden());
  ed.g->OnTimer();
  EXPECT_TRUE(ed.plug->ui.eqBack->IsHidden());
  EXPECT_FALSE(ed.plug->ui.resBack->IsHidden());
  // With the editor closed nothing is touched; the next opening shows the right group.
  ed.close();
  ed.plug->showResonators(false);
  ed.plug->GetParam(kEqRes)->SetValue(0);
  ed.plug->OnIdle();
  ed.open();
  EXPECT_FALSE(ed.plug->ui.eqBack->IsHidden());
}

TEST(EditorLifeCycle, SizeChoicesGiveTheirExactWindows) {
  struct Case {
    Varnel::GUISize size;
    int w, h;
  } cases[] = {{Varnel::kSize50, 628, 260},    {Varnel::kSize75, 942, 390},
               {Varnel::kSize100, 1256, 520},  {Varnel::kSize200, 1776, 735},
               {Varnel::kSize400, 2512, 1040}, {Varnel::kSize800, 5024, 2080}};
  Editor ed;
  for (const Case& c : cases) {
    ed.plug->resizeUI(c.size);
    EXPECT_EQ(ed.g->WindowWidth(), c.w);
    EXPECT_EQ(ed.g->WindowHeight(), c.h);
    EXPECT_EQ(ed.window.windowW, c.w);
  }
  // Closed: only the scale is kept, and the next opening uses it.
  ed.close();
  ed.plug->resizeUI(Varnel::kSize200);
  EXPECT_FLOAT_EQ(static_cast<float>(ed.plug->editorScale), 0.70710677f);
  ed.open();
  EXPECT_EQ(ed.g->WindowWidth(), 1776);
  ed.plug->resizeUI(0.f); // nothing
  EXPECT_EQ(ed.g->WindowWidth(), 1776);
}

TEST(EditorLifeCycle, AStoredScaleOutsideTheLimitsOpensAtTheNearestLimit) {
  for (double stored : {0.01, 7.5}) {
    Editor ed(stored);
    EXPECT_FLOAT_EQ(ed.g->GetScale(), stored < 1 ? 0.25f : 2.0f);
  }
}

TEST(EditorLifeCycle, ActivityLampsFollowTheirGeneratorsAndStartDark) {
  Editor ed;
  // Right after the layout, before any idle refresh.
  ed.close();
  ed.g = ed.plug->openEditor();
  ed.g->SetPlatform(&ed.window);
  for (IControl* lamp : ed.plug->ui.activityLamps) EXPECT_TRUE(lamp->IsHidden());
  // MG1 at a period of 100 control periods: lit while the countdown is 50..99.
  ed.plug->SetSampleRate(44100);
  ed.plug->OnReset();
  ed.plug->mg1.setPeriod(100);
  int lit = 0, dark = 0;
  for (int step = 0; step < 100; ++step) {
    ed.plug->mg1.update();
    ed.g->OnTimer();
    const bool shown = !ed.plug->ui.activityLamps[1]->IsHidden();
    EXPECT_EQ(shown, 2 * ed.plug->mg1.getCounter() >= 100);
    (shown ? lit : dark)++;
  }
  EXPECT_EQ(lit, 50);
  EXPECT_EQ(dark, 50);
}

TEST(EditorLifeCycle, AnIdleEditorRedrawsNothingAndAKnobOnlyItself) {
  Editor ed;
  ed.g->TakeDirtyRect();
  ed.plug->mg1.setPeriod(1 << 30); // keep the lamps still
  ed.plug->mg2.setPeriod(1 << 30);
  ed.g->OnTimer();
  ed.g->TakeDirtyRect();
  ed.g->OnTimer();
  EXPECT_TRUE(ed.g->TakeDirtyRect().Empty());
  ed.setPlain(kPeak, 0.6);
  const IRECT dirty = ed.g->TakeDirtyRect();
  const IRECT knob = ed.control(kPeak)->GetRECT().Scaled(0.5f);
  EXPECT_LE(dirty.W(), knob.W() + 2);
  EXPECT_LE(dirty.H(), knob.H() + 2);
}

TEST(EditorLifeCycle, LearnButtonGoesOffWhenTheAudioThreadAsks) {
  Editor ed;
  ed.click(panel::kIdMidiLearn);
  EXPECT_EQ(ed.plug->ui.learnButton->GetValue(), 1.0);
  ed.plug->learnButtonOffRequest.store(true);
  ed.g->OnTimer();
  EXPECT_EQ(ed.plug->ui.learnButton->GetValue(), 0.0);
}

TEST(EditorLifeCycle, ClosingForgetsEveryControl) {
  Editor ed;
  ed.close();
  EXPECT_EQ(ed.plug->getEditor(), nullptr);
  EXPECT_EQ(ed.plug->ui.presetName, nullptr);
  ed.plug->changePreset(19); // no editor: only the bank and program numbers move
  EXPECT_EQ(ed.plug->bank, 1);
  ed.plug->showResonators(true);
  ed.plug->OnIdle();
}
