#include "framework/gui/graphics.h"
#include "framework/gui/popup_menu_font.h"
#include "framework/gui/popup_menu_host.h"
#include "framework/gui/popup_menu_offscreen.h"
#include "framework/gui/text_entry_control.h"
#include "tests/unit/gui/gui_test_plug.h"
#include "tests/unit/gui/probe_control.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

const char* const kRoboto =
    "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";

// A control that opens a two-level menu on a click and keeps the answer.
class MenuButton : public IControl {
public:
  explicit MenuButton(const IRECT& r) : IControl(r) {
    menu.AddItem("one");
    IPopupMenu* sub = menu.AddSubmenu("more");
    sub->AddItem("two");
    sub->AddItem("three", IPopupMenu::kDisabled);
  }
  void Draw(IGraphics& g) override { g.FillRect(IColor(255, 40, 40, 40), mRECT); }
  void OnMouseDown(float, float, const IMouseMod&) override {
    shown = ShowPopupMenu(*this, menu, mRECT, PopupFontFace(kRoboto),
                          [this](IPopupMenu* m, int position) {
                            ++answers;
                            chosenMenu = m;
                            chosenPosition = position;
                          });
  }
  IPopupMenu menu;
  bool shown = false;
  int answers = 0;
  IPopupMenu* chosenMenu = nullptr;
  int chosenPosition = -2;
};

class OffscreenMenuTest : public ::testing::Test {
protected:
  OffscreenMenuTest() : g(plug, 400, 300, 1.5f), platform(g) { g.SetPlatform(&platform); }
  ~OffscreenMenuTest() override { g.SetPlatform(nullptr); }
  GuiTestPlug plug;
  IGraphics g;
  OffscreenMenuPlatform platform;
};

IKeyPress Key(uint32_t sym, const char* text = "") {
  IKeyPress k;
  k.keysym = sym;
  std::strncpy(k.utf8, text, sizeof k.utf8 - 1);
  return k;
}

} // namespace

TEST_F(OffscreenMenuTest, AControlOpensItsMenuUnderItselfAndHearsTheChoice) {
  auto* button = static_cast<MenuButton*>(g.AttachControl(new MenuButton({20, 20, 60, 40})));
  g.OnMouseDown(45, 45, IMouseMod(true));
  g.OnMouseUp(45, 45, IMouseMod(true));
  ASSERT_TRUE(button->shown);
  ASSERT_TRUE(platform.IsPopupMenuOpen());
  // The anchor is the control's rectangle in window pixels.
  EXPECT_EQ(platform.lastAnchor, IRECT(30, 30, 90, 60));
  EXPECT_EQ(platform.Session()->GetLevel(0).bounds.T, 60.f);

  EXPECT_FALSE(platform.ChooseText("three")); // disabled: the menu stays open
  EXPECT_TRUE(platform.IsPopupMenuOpen());
  EXPECT_TRUE(platform.ChooseText("two"));
  EXPECT_FALSE(platform.IsPopupMenuOpen());
  EXPECT_EQ(button->answers, 1);
  EXPECT_EQ(button->chosenMenu, button->menu.GetItem(1)->GetSubmenu());
  EXPECT_EQ(button->chosenPosition, 0);

  // Dismissed: the answer is none.
  g.OnMouseDown(45, 45, IMouseMod(true));
  platform.Click(5, 290);
  EXPECT_EQ(button->answers, 2);
  EXPECT_EQ(button->chosenMenu, nullptr);
  EXPECT_EQ(button->chosenPosition, -1);

  // A menu closed by the window (the editor closing) gives no answer at all.
  g.OnMouseDown(45, 45, IMouseMod(true));
  platform.ClosePopupMenu();
  EXPECT_EQ(button->answers, 2);
}

TEST_F(OffscreenMenuTest, PictureShowsTheOpenMenuOverTheEditor) {
  auto* button = static_cast<MenuButton*>(g.AttachControl(new MenuButton({20, 20, 60, 40})));
  g.OnMouseDown(45, 45, IMouseMod(true));
  ASSERT_TRUE(platform.Reveal(button->menu.GetItem(1)->GetSubmenu()));
  EXPECT_EQ(platform.Session()->NLevels(), 2);
  cairo_surface_t* plain = RenderToImage(g);
  cairo_surface_t* withMenu = RenderToImageWithMenu(g, platform);
  ASSERT_NE(withMenu, nullptr);
  const auto& b = platform.Session()->GetLevel(1).bounds;
  const int x = static_cast<int>(b.MidX()), y = static_cast<int>(b.B - 3);
  auto pixel = [x, y](cairo_surface_t* s) {
    cairo_surface_flush(s);
    return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) +
                                             y * cairo_image_surface_get_stride(s))[x];
  };
  EXPECT_NE(pixel(plain), pixel(withMenu));
  cairo_surface_destroy(plain);
  cairo_surface_destroy(withMenu);
}

TEST_F(OffscreenMenuTest, TextFieldTakesTheKeyboardUntilEnterOrEscape) {
  auto* probe =
      static_cast<ProbeControl*>(g.AttachControl(new ProbeControl({10, 10, 200, 40}, -1)));
  std::vector<std::string> answers;
  int cancels = 0;
  auto done = [&](const std::string* text) {
    if (text)
      answers.push_back(*text);
    else
      ++cancels;
  };
  ASSERT_TRUE(
      ShowTextEntry(*probe, probe->GetRECT(), "Old", 20.f, 253, PopupFontFace(kRoboto), done));
  EXPECT_TRUE(platform.keyboardFocus);
  EXPECT_TRUE(g.OnKeyDown(0, 0, Key('N', "N")));
  g.OnKeyDown(0, 0, Key('e', "e"));
  g.OnKeyDown(0, 0, Key('w', "w"));
  cairo_surface_destroy(RenderToImage(g)); // draws the field
  g.OnKeyDown(0, 0, Key(XK_Return));
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0], "New");
  EXPECT_FALSE(platform.keyboardFocus);
  EXPECT_FALSE(g.OnKeyDown(0, 0, Key('x', "x"))); // nobody takes keys now
  // The field no longer takes clicks: they reach the control below again.
  g.OnMouseDown(50, 30, IMouseMod(true));
  g.OnMouseUp(50, 30, IMouseMod(true));
  EXPECT_FALSE(probe->calls.empty());

  ShowTextEntry(*probe, probe->GetRECT(), "Keep", 20.f, 253, nullptr, done);
  g.OnKeyDown(0, 0, Key('z', "z"));
  g.OnKeyDown(0, 0, Key(XK_Escape));
  EXPECT_EQ(cancels, 1);

  // A click elsewhere completes the field, and only the field sees it.
  ShowTextEntry(*probe, probe->GetRECT(), "Elsewhere", 20.f, 253, nullptr, done);
  const size_t callsBefore = probe->calls.size();
  g.OnMouseDown(350, 250, IMouseMod(true));
  g.OnMouseUp(350, 250, IMouseMod(true));
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[1], "Elsewhere");
  EXPECT_EQ(probe->calls.size(), callsBefore);
}
