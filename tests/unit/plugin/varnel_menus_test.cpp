#include "plugin/varnel_menus.h"

#include "framework/gui/text_entry_utf8.h"
#include "plugin/file_commands.h"
#include "tests/unit/plugin/config_fixture.h"

#include <string>

using configtest::ConfigTest;

namespace {

class MenusTest : public ConfigTest {
protected:
  void SetUp() override {
    ConfigTest::SetUp();
    plug = makePlug();
  }
  IParam& param(int index) { return *plug->GetParam(index); }
  std::unique_ptr<Varnel> plug;
};

// The item of menu whose text is text, searched through the top level and its submenus.
struct Found {
  IPopupMenu* menu = nullptr;
  int position = -1;
};
Found find(IPopupMenu& menu, const std::string& text) {
  for (int i = 0; i < menu.NItems(); ++i) {
    IPopupMenu::Item* item = menu.GetItem(i);
    if (item->GetText() == text && !item->GetSubmenu()) return {&menu, i};
    if (item->GetSubmenu()) {
      Found f = find(*item->GetSubmenu(), text);
      if (f.menu) return f;
    }
  }
  return {};
}

std::string titles(const IPopupMenu& menu) {
  std::string s;
  for (int i = 0; i < menu.NItems(); ++i) {
    const IPopupMenu::Item* item = menu.GetItem(i);
    if (!s.empty()) s += "|";
    s += item->GetIsSeparator() ? "-" : item->GetText();
    if (item->GetSubmenu()) s += ">" + std::to_string(item->GetSubmenu()->NItems());
  }
  return s;
}

} // namespace

TEST_F(MenusTest, SelectorTreesOfTheFourTypes) {
  IPopupMenu menu;
  buildSelectorMenu(menu, param(kFcSrc), kMenuModSource);
  EXPECT_EQ(titles(menu), "off|+5V|-5V|Intern>10|Extern>6|MIDI>4");
  EXPECT_EQ(titles(*menu.GetItem(3)->GetSubmenu()), "GE1|GE2|GE3|Mod|MG1|MG2|S/H|VP1|VP2|Add");
  buildSelectorMenu(menu, param(kShIn), kMenuModSource);
  EXPECT_EQ(menu.GetItem(3)->GetSubmenu()->GetItem(6)->GetText(), "Rnd");
  buildSelectorMenu(menu, param(kShTrig), kMenuTrigger);
  EXPECT_EQ(titles(menu), "off|Intern>6|Extern>4");
  EXPECT_EQ(titles(*menu.GetItem(2)->GetSubmenu()), "Clk1|Clk2|Trg1|Trg2");
  buildSelectorMenu(menu, param(kClk1Src), kMenuSyncRate);
  EXPECT_EQ(titles(menu), "off|4/1 - 1/4>10|1/8. - 1/64>10");
  buildSelectorMenu(menu, param(kTrg1Src), kMenuCC);
  EXPECT_EQ(titles(menu), "000 - 029>30|030 - 059>30|060 - 089>30|090 - 119>30");
}

TEST_F(MenusTest, ChoicesSetTheValueOfTheirPositionInTheWholeList) {
  const struct {
    int param;
    int type;
    const char* text;
    int value;
  } cases[] = {
      {kFcSrc, kMenuModSource, "VC2", 20},
      {kFcSrc, kMenuModSource, "-5V", 2},
      {kFcSrc, kMenuModSource, "GE1", 3},
      {kFcSrc, kMenuModSource, "Key", 13},
      {kClk1Src, kMenuSyncRate, "1/16", 16},
      {kClk1Src, kMenuSyncRate, "1/4", 10},
      {kClk1Src, kMenuSyncRate, "1/8.", 11},
      {kShTrig, kMenuTrigger, "Clk1", 7},
      {kShTrig, kMenuTrigger, "S/H", 6},
      {kShTrig, kMenuTrigger, "off", 0},
      {kTrg1Src, kMenuCC, "074    Sound Controller 5", 74},
      {kTrg1Src, kMenuCC, "119    Undefined", 119},
  };
  for (const auto& c : cases) {
    IPopupMenu menu;
    buildSelectorMenu(menu, param(c.param), c.type);
    const Found f = find(menu, c.text);
    ASSERT_NE(f.menu, nullptr) << c.text;
    EXPECT_EQ(selectorChoice(f.menu, f.position, c.type), c.value) << c.text;
  }
  IPopupMenu menu;
  buildSelectorMenu(menu, param(kFcSrc), kMenuModSource);
  EXPECT_EQ(selectorChoice(nullptr, 0, kMenuModSource), -1); // dismissed
  EXPECT_EQ(selectorChoice(&menu, 4, kMenuModSource), -1);   // a submenu title
  EXPECT_EQ(selectorChoice(&menu, 99, kMenuModSource), -1);  // no such item
}

TEST_F(MenusTest, TheCurrentValueIsCheckedAndShown) {
  param(kTrg1Src).SetValue(74);
  IPopupMenu menu;
  buildSelectorMenu(menu, param(kTrg1Src), kMenuCC);
  IPopupMenu* sub = menu.GetItem(2)->GetSubmenu();
  ASSERT_EQ(sub->GetTitle(), "060 - 089");
  EXPECT_TRUE(sub->GetItem(14)->GetChecked());
  int checked = 0;
  for (int s = 0; s < menu.NItems(); ++s)
    for (int i = 0; i < menu.GetItem(s)->GetSubmenu()->NItems(); ++i)
      checked += menu.GetItem(s)->GetSubmenu()->GetItem(i)->GetChecked();
  EXPECT_EQ(checked, 1);
  EXPECT_EQ(selectorDisplayText(param(kTrg1Src), kMenuCC), "74");

  param(kFcSrc).SetValue(Varnel::kSrcMG1);
  EXPECT_EQ(selectorDisplayText(param(kFcSrc), kMenuModSource), "MG1");
  param(kFcSrc).SetValue(0);
  EXPECT_EQ(selectorDisplayText(param(kFcSrc), kMenuModSource), "off");
}

TEST_F(MenusTest, MainOptionMenuItemsFlagsAndSubmenus) {
  IPopupMenu menu;
  buildMainOptionMenu(menu, *plug);
  EXPECT_EQ(titles(menu),
            "Copy Program|Paste Program|Init Program|-|Load Program|Save Program|Load Bank|"
            "Save Bank|-|Select Startup Bank|Load Startup Bank|Unselect Startup Bank|-|"
            "Default Path for Program Files|Global MIDI Settings...>2|Reload Configuration|"
            "Save Configuration|-|Window Size>6|Save Window Size|-|Go Online...>2");
  EXPECT_EQ(titles(*menu.GetItem(18)->GetSubmenu()), "50%|75%|100%|200%|400%|800%");
  // Nothing copied, no startup bank: those items are greyed.
  EXPECT_FALSE(menu.GetItem(File::kPasteProgram)->GetEnabled());
  EXPECT_FALSE(menu.GetItem(File::kLoadStartupBank)->GetEnabled());
  EXPECT_FALSE(menu.GetItem(File::kUnselectStartupBank)->GetEnabled());
  EXPECT_FALSE(menu.GetItem(14)->GetSubmenu()->GetItem(0)->GetChecked());

  File::runCommand(*plug, File::kCopyProgram);
  plug->startupBank = "/tmp/some.fxb";
  plug->midiThru = true;
  buildMainOptionMenu(menu, *plug);
  EXPECT_TRUE(menu.GetItem(File::kPasteProgram)->GetEnabled());
  EXPECT_TRUE(menu.GetItem(File::kLoadStartupBank)->GetEnabled());
  EXPECT_TRUE(menu.GetItem(File::kUnselectStartupBank)->GetEnabled());
  EXPECT_TRUE(menu.GetItem(14)->GetSubmenu()->GetItem(0)->GetChecked());
  EXPECT_FALSE(menu.GetItem(14)->GetSubmenu()->GetItem(1)->GetChecked());
}

TEST_F(MenusTest, MainOptionMenuChoicesNameTheirCommand) {
  IPopupMenu menu;
  buildMainOptionMenu(menu, *plug);
  IPopupMenu* midi = menu.GetItem(14)->GetSubmenu();
  IPopupMenu* sizes = menu.GetItem(18)->GetSubmenu();
  IPopupMenu* online = menu.GetItem(21)->GetSubmenu();
  const struct {
    IPopupMenu* menu;
    int position;
    MenuAction::Kind kind;
    int value;
    bool refresh;
  } cases[] = {
      {&menu, 0, MenuAction::kCommand, File::kCopyProgram, true},
      {&menu, 5, MenuAction::kCommand, File::kSaveProgram, true},
      {&menu, 19, MenuAction::kCommand, File::kSaveWindowSize, true},
      {&menu, 3, MenuAction::kNone, -1, false}, // separator
      {midi, 0, MenuAction::kCommand, File::kMidiThru, true},
      {midi, 1, MenuAction::kCommand, File::kIgnoreProgramChange, true},
      {online, 0, MenuAction::kCommand, File::kCheckOnlineForUpdate, true},
      {online, 1, MenuAction::kVisitWebsite, File::kVisitWebsite, true},
      {sizes, 3, MenuAction::kResize, 3, false}, // no refresh after a resize
      {nullptr, 0, MenuAction::kNone, -1, false},
  };
  for (const auto& c : cases) {
    const MenuAction a = mainOptionMenuAction(c.menu, c.position);
    EXPECT_EQ(a.kind, c.kind) << c.position;
    EXPECT_EQ(a.value, c.value) << c.position;
    EXPECT_EQ(a.refresh, c.refresh) << c.position;
  }
}

TEST_F(MenusTest, TuningMenuChecksThePresetTheTableEquals) {
  IPopupMenu menu;
  plug->setMicroTuning(0, 1);
  buildTuningMenu(menu, plug->getMicroTuning(0));
  EXPECT_EQ(menu.NItems(), 17);
  EXPECT_EQ(menu.GetItem(1)->GetText(), "Just");
  EXPECT_TRUE(menu.GetItem(1)->GetChecked());
  EXPECT_FALSE(menu.GetItem(14)->GetEnabled());
  EXPECT_EQ(titles(*menu.GetItem(16)->GetSubmenu()), "Load Tuning|Save Tuning");

  // A knob turn leaves every preset: the mark moves to "(custom)".
  plug->GetParam(Varnel::tuningParam(0, 5))->SetValue(3.0);
  buildTuningMenu(menu, plug->getMicroTuning(0));
  EXPECT_FALSE(menu.GetItem(1)->GetChecked());
  EXPECT_EQ(menu.GetItem(14)->GetText(), "(custom)");
  EXPECT_TRUE(menu.GetItem(14)->GetChecked());
  // Table 2 still equals "Equal".
  buildTuningMenu(menu, plug->getMicroTuning(1));
  EXPECT_TRUE(menu.GetItem(0)->GetChecked());

  IPopupMenu* file = menu.GetItem(16)->GetSubmenu();
  EXPECT_EQ(tuningMenuAction(&menu, 13).kind, MenuAction::kSetTuning);
  EXPECT_EQ(tuningMenuAction(&menu, 13).value, 13);
  EXPECT_EQ(tuningMenuAction(file, 0).kind, MenuAction::kLoadTuning);
  EXPECT_EQ(tuningMenuAction(file, 1).kind, MenuAction::kSaveTuning);
  EXPECT_EQ(tuningMenuAction(&menu, 15).kind, MenuAction::kNone);
}

TEST_F(MenusTest, ProgramMenuCutsNamesAndMarksTheCurrentProgram) {
  plug->changePreset(20);
  plug->ModifyCurrentPreset("A very long program name that goes on and on");
  IPopupMenu menu;
  buildProgramMenu(menu, *plug);
  EXPECT_EQ(titles(menu), "00 - 15>16|16 - 31>16|32 - 47>16|48 - 63>16");
  IPopupMenu* second = menu.GetItem(1)->GetSubmenu();
  EXPECT_EQ(second->GetItem(4)->GetText(), "20: A very long program name tha");
  EXPECT_EQ(utf8::Length(second->GetItem(4)->GetText()), 32u);
  EXPECT_TRUE(second->GetItem(4)->GetChecked());
  EXPECT_FALSE(second->GetItem(5)->GetChecked());
  EXPECT_EQ(programMenuChoice(second, 4), 20);
  EXPECT_EQ(programMenuChoice(menu.GetItem(3)->GetSubmenu(), 15), 63);
  EXPECT_EQ(programMenuChoice(menu.GetItem(0)->GetSubmenu(), 0), 0);
  EXPECT_EQ(programMenuChoice(&menu, 1), -1);
  // Names are cut by characters, never inside one.
  EXPECT_EQ(programMenuText(7, "\xC3\xA9tude " + std::string(40, 'x')),
            "07: \xC3\xA9tude " + std::string(22, 'x'));
}

TEST_F(MenusTest, SizeContextMenu) {
  IPopupMenu menu;
  buildSizeContextMenu(menu);
  EXPECT_EQ(titles(menu), "Set Windows Size to 50%|Set Windows Size to 75%|"
                          "Set Windows Size to 100%|Set Windows Size to 200%|"
                          "Set Windows Size to 400%|Set Windows Size to 800%|-|Save Window Size");
  EXPECT_EQ(sizeContextMenuAction(&menu, 3).kind, MenuAction::kResize);
  EXPECT_EQ(sizeContextMenuAction(&menu, 3).value, 3);
  EXPECT_EQ(sizeContextMenuAction(&menu, 7).kind, MenuAction::kSaveWindowSize);
  EXPECT_EQ(sizeContextMenuAction(&menu, 6).kind, MenuAction::kNone);
  EXPECT_EQ(sizeContextMenuAction(nullptr, 0).kind, MenuAction::kNone);
}

TEST(ProgramNames, TypedNamesAreCleanedOrCutNeverStoredBroken) {
  const std::string e = "\xC3\xA9"; // é
  const struct {
    std::string in;
    std::string out;
  } cases[] = {
      {"Warm Pad", "Warm Pad"},
      {"Tab\there\nand\rthere", "Tab here and there"},
      {std::string("Bell\x01\x1B\x7F", 7) + "s", "Bells"},
      {"Bad \xC3\x28 byte", "Bad \xEF\xBF\xBD( byte"},
      {"cut \xE2\x82", "cut \xEF\xBF\xBD"},
      {"\xC2\x85"
       "C1 control",
       "C1 control"},
      {std::string(300, 'a'), std::string(253, 'a')},
      // Two-byte characters: the program record's 255 bytes hold 127 of them.
      {[&] {
         std::string s;
         for (int i = 0; i < 200; ++i) s += e;
         return s;
       }(),
       [&] {
         std::string s;
         for (int i = 0; i < 127; ++i) s += e;
         return s;
       }()},
  };
  for (const auto& c : cases) EXPECT_EQ(cleanProgramName(c.in), c.out) << c.in;
  EXPECT_EQ(programNameDisplayText(std::string(40, 'n')), std::string(32, 'n'));
}

TEST_F(MenusTest, RenamingToAnEmptyTextKeepsTheNameAndStoresTheLiveSound) {
  plug->ModifyCurrentPreset("Old Name");
  plug->GetParam(kCutoff)->SetValue(0.3);
  plug->ModifyCurrentPreset(cleanProgramName("").c_str());
  EXPECT_EQ(plug->GetPresetName(plug->GetCurrentPresetIdx()), "Old Name");
  plug->GetParam(kCutoff)->SetValue(0.8);
  plug->RestorePreset(plug->GetCurrentPresetIdx());
  EXPECT_DOUBLE_EQ(plug->GetParam(kCutoff)->GetValue(), 0.3);
}
