#include "plugin/varnel_menus_controls.h"

#include "framework/gui/graphics.h"
#include "framework/gui/popup_menu_offscreen.h"
#include "plugin/panel_layout.h"
#include "plugin/varnel_menus.h"
#include "store/fxp_file.h"
#include "tests/unit/plugin/config_fixture.h"

#include <X11/keysym.h>

#include <cstring>

using configtest::ConfigTest;
using Kind = ScriptedDialogs::Kind;

namespace {

class EditLog : public IHostCallbacks {
public:
  void BeginEdit(int) override {}
  void PerformEdit(int id, double) override { edits.push_back(id); }
  void EndEdit(int) override {}
  void ParamValuesChanged() override {}
  std::vector<int> edits;
};

// A control that does nothing by itself; the tests call the menu behaviour on it.
class Spot : public IControl {
public:
  using IControl::IControl;
  void Draw(IGraphics&) override {}
};

class MenuControlsTest : public ConfigTest {
protected:
  void SetUp() override {
    ConfigTest::SetUp();
    plug = makePlug();
    plug->SetHostCallbacks(&host);
    g = std::make_unique<IGraphics>(*plug, 2512, 1040, 0.5f);
    // The menus' font, as the bundle carries it.
    g->SetResourcePath("/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF");
    platform = std::make_unique<OffscreenMenuPlatform>(*g);
    g->SetPlatform(platform.get());
  }
  void TearDown() override {
    g->SetPlatform(nullptr);
    ConfigTest::TearDown();
  }
  Spot* spot(int paramIdx, IRECT r = {100, 100, 180, 140}) {
    auto* c = static_cast<Spot*>(g->AttachControl(new Spot(r, paramIdx)));
    g->SyncControlsToParams();
    return c;
  }
  std::vector<int> editsOf(int param) const {
    std::vector<int> out;
    for (int id : host.edits)
      if (id == param) out.push_back(id);
    return out;
  }
  void type(const char* text) {
    for (const char* p = text; *p; ++p) {
      IKeyPress k;
      k.keysym = static_cast<unsigned char>(*p);
      k.utf8[0] = *p;
      g->OnKeyDown(0, 0, k);
    }
  }
  void key(uint32_t sym) {
    IKeyPress k;
    k.keysym = sym;
    g->OnKeyDown(0, 0, k);
  }

  EditLog host;
  std::unique_ptr<Varnel> plug;
  std::unique_ptr<IGraphics> g;
  std::unique_ptr<OffscreenMenuPlatform> platform;
  IPopupMenu menu;
};

} // namespace

TEST_F(MenuControlsTest, SelectorChoiceSetsTheParameterOnceAndTheCheckedEntrySendsNothing) {
  Spot* fc = spot(kFcSrc);
  ASSERT_TRUE(openSelectorMenu(*fc, menu, kMenuModSource));
  ASSERT_TRUE(platform->ChooseText("VC2"));
  EXPECT_EQ(plug->GetParam(kFcSrc)->GetValue(), 20.0);
  EXPECT_EQ(editsOf(kFcSrc).size(), 1u);

  openSelectorMenu(*fc, menu, kMenuModSource);
  EXPECT_TRUE(menu.GetItem(5)->GetSubmenu()->GetItem(1)->GetChecked());
  ASSERT_TRUE(platform->ChooseText("VC2"));
  EXPECT_EQ(editsOf(kFcSrc).size(), 1u);
  // A dismissed menu changes nothing.
  openSelectorMenu(*fc, menu, kMenuModSource);
  platform->Dismiss();
  EXPECT_EQ(plug->GetParam(kFcSrc)->GetValue(), 20.0);

  Spot* clock = spot(kClk1Src, {300, 100, 360, 140});
  openSelectorMenu(*clock, menu, kMenuSyncRate);
  ASSERT_TRUE(platform->ChooseText("1/16"));
  EXPECT_EQ(plug->GetParam(kClk1Src)->GetValue(), 16.0);
}

TEST_F(MenuControlsTest, SelectorInfoFollowsTheClockSources) {
  Spot* release = spot(kEmRSrc);
  Spot* rate = spot(kClk1Src, {300, 100, 360, 140});
  plug->GetParam(kEmRSrc)->SetValue(7);
  plug->GetParam(kClk1Src)->SetValue(0);
  InfoBubbleLines lines;
  ASSERT_TRUE(selectorInfo(*release, kMenuTrigger, lines));
  EXPECT_STREQ(lines.source, "External Clock 1");
  EXPECT_STREQ(lines.output, "Output: inactive");
  plug->GetParam(kClk1Src)->SetValue(10); // 1/4
  selectorInfo(*release, kMenuTrigger, lines);
  EXPECT_STREQ(lines.output, "Output: Trigger");
  EXPECT_FALSE(selectorInfo(*rate, kMenuSyncRate, lines));
}

TEST_F(MenuControlsTest, OptionMenuPastesOnlyAfterACopyAndRefreshesTheControls) {
  Spot* options = spot(kOptionMenuId);
  Spot* cutoff = spot(kCutoff, {500, 100, 560, 160});
  ASSERT_TRUE(openOptionMenu(*options, menu));
  EXPECT_FALSE(platform->ChooseText("Paste Program")); // greyed
  platform->Dismiss();
  openOptionMenu(*options, menu);
  ASSERT_TRUE(platform->ChooseText("Copy Program"));

  plug->GetParam(kCutoff)->SetValue(0.123);
  dialogs.QueueAnswer(true);
  openOptionMenu(*options, menu);
  ASSERT_TRUE(platform->ChooseText("Paste Program"));
  // The controls show the pasted program without sending it back.
  EXPECT_DOUBLE_EQ(cutoff->GetValue(), plug->GetParam(kCutoff)->GetNormalized());
  EXPECT_NE(plug->GetParam(kCutoff)->GetValue(), 0.123);
}

TEST_F(MenuControlsTest, SaveProgramWritesAFileThatLoadsBackAndAFailedLoadChangesNothing) {
  Spot* options = spot(kOptionMenuId);
  plug->GetParam(kCutoff)->SetValue(0.25);
  const std::string path = temp.dir + "/lead.fxp";
  dialogs.QueuePath(path);
  openOptionMenu(*options, menu);
  ASSERT_TRUE(platform->ChooseText("Save Program"));
  ASSERT_TRUE(std::filesystem::exists(path));

  plug->GetParam(kCutoff)->SetValue(0.75);
  dialogs.QueuePath(temp.dir + "/missing.fxp");
  openOptionMenu(*options, menu);
  ASSERT_TRUE(platform->ChooseText("Load Program"));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text, "Cannot load file!");
  EXPECT_DOUBLE_EQ(plug->GetParam(kCutoff)->GetValue(), 0.75);

  dialogs.QueuePath(path);
  openOptionMenu(*options, menu);
  ASSERT_TRUE(platform->ChooseText("Load Program"));
  EXPECT_DOUBLE_EQ(plug->GetParam(kCutoff)->GetValue(), 0.25);
}

TEST_F(MenuControlsTest, WindowSizeAndWebSiteItems) {
  Spot* options = spot(kOptionMenuId);
  openOptionMenu(*options, menu);
  ASSERT_TRUE(platform->ChooseText("200%"));
  EXPECT_NEAR(plug->editorScale, 0.7071, 1e-4);
  openOptionMenu(*options, menu);
  ASSERT_TRUE(platform->ChooseText(kMakerWebsiteItem));
  ASSERT_EQ(dialogs.CallsOf(Kind::Url).size(), 1u);
  EXPECT_EQ(dialogs.CallsOf(Kind::Url)[0].text, plug->GetConfig().mfrURL);
}

TEST_F(MenuControlsTest, TuningMenuSetsAPresetAndChecksIt) {
  Spot* tuning = spot(kTuningMenu1Id);
  openOptionMenu(*tuning, menu);
  EXPECT_TRUE(menu.GetItem(0)->GetChecked()); // a fresh table is "Equal"
  ASSERT_TRUE(platform->ChooseText("Just"));
  EXPECT_EQ(plug->getMicroTuning(0), 1);
  EXPECT_EQ(plug->getMicroTuning(1), 0);
  openOptionMenu(*tuning, menu);
  EXPECT_TRUE(menu.GetItem(1)->GetChecked());
  platform->Dismiss();
  plug->GetParam(Varnel::tuningParam(0, 3))->SetValue(-20.0);
  openOptionMenu(*tuning, menu);
  EXPECT_TRUE(menu.GetItem(14)->GetChecked());
}

TEST_F(MenuControlsTest, ProgramMenuSwitchesPrograms) {
  Spot* list = spot(-1);
  ASSERT_TRUE(openProgramMenu(*list, menu));
  IPopupMenu* second = menu.GetItem(1)->GetSubmenu();
  ASSERT_TRUE(platform->Choose(second, 4));
  EXPECT_EQ(plug->GetCurrentPresetIdx(), 20);
}

TEST_F(MenuControlsTest, ProgramNameIsTypedAndStoredAndAnEmptyNameKeepsTheOldOne) {
  Spot* name = spot(-1, {2104, 616, 2464, 644});
  plug->ModifyCurrentPreset("Old");
  ASSERT_TRUE(openProgramNameEntry(*name));
  type("Brass");
  key(XK_Return);
  EXPECT_EQ(plug->GetPresetName(plug->GetCurrentPresetIdx()), "Brass");

  plug->GetParam(kCutoff)->SetValue(0.4);
  openProgramNameEntry(*name);
  key(XK_BackSpace); // the whole name was selected
  key(XK_Return);
  EXPECT_EQ(plug->GetPresetName(plug->GetCurrentPresetIdx()), "Brass");
  plug->GetParam(kCutoff)->SetValue(0.9);
  plug->RestorePreset(plug->GetCurrentPresetIdx());
  EXPECT_DOUBLE_EQ(plug->GetParam(kCutoff)->GetValue(), 0.4);

  openProgramNameEntry(*name);
  type("Nope");
  key(XK_Escape);
  EXPECT_EQ(plug->GetPresetName(plug->GetCurrentPresetIdx()), "Brass");
}

TEST_F(MenuControlsTest, LearnButtonSwitchesModeOnlyWhileOff) {
  Spot* learn = spot(-129);
  bool learnMode = true;
  EXPECT_TRUE(learnButtonMouseDown(*learn, learnMode, IMouseMod(false, true)));
  EXPECT_FALSE(learnMode);
  EXPECT_FALSE(learnButtonMouseDown(*learn, learnMode, IMouseMod(true)));
  EXPECT_EQ(learn->GetValue(), 1.0);
  EXPECT_TRUE(plug->midiLearnActive.active());
  EXPECT_TRUE(plug->isMidiUnlearn());
  // While on, the right button does nothing.
  EXPECT_FALSE(learnButtonMouseDown(*learn, learnMode, IMouseMod(false, true)));
  EXPECT_FALSE(learnMode);
  learnButtonMouseDown(*learn, learnMode, IMouseMod(true));
  EXPECT_EQ(learn->GetValue(), 0.0);
  EXPECT_FALSE(plug->midiLearnActive.active());
}

TEST_F(MenuControlsTest, SizeMenuOpensAtThePointerOnARightClickOnly) {
  Spot* panel = spot(-130, {0, 0, 2512, 1040});
  EXPECT_FALSE(openSizeContextMenu(*panel, menu, 400, 300, IMouseMod(true)));
  EXPECT_FALSE(platform->IsPopupMenuOpen());
  ASSERT_TRUE(openSizeContextMenu(*panel, menu, 400, 300, IMouseMod(false, true)));
  EXPECT_EQ(platform->lastAnchor, IRECT(200, 150, 200, 150));
  ASSERT_TRUE(platform->ChooseText("Set Windows Size to 200%"));
  EXPECT_NEAR(plug->editorScale, 0.7071, 1e-4);
  openSizeContextMenu(*panel, menu, 400, 300, IMouseMod(false, true));
  ASSERT_TRUE(platform->ChooseText("Save Window Size"));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].caption, "Save Window Size");
  EXPECT_NE(messages()[0].text.find(temp.iniPath()), std::string::npos);
}
