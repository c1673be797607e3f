#include "framework/gui/popup_menu.h"
#include "framework/gui/popup_menu_draw.h"
#include "framework/gui/popup_menu_font.h"
#include "framework/gui/popup_menu_session.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Key = PopupMenuSession::EKey;
using State = PopupMenuSession::EState;

// Fixed text widths keep the layout independent of the installed fonts.
float FixedWidth(const std::string& text, float fontSize) {
  return 0.5f * fontSize * static_cast<float>(text.size());
}

const PopupRect kScreen{0, 0, 800, 600};
const char* const kRoboto =
    "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";

// "A", separator, "B" (disabled), "Sub" > {"x", "y" (checked), "Deeper" > {"z"}}, "C".
struct SampleMenu {
  IPopupMenu root;
  IPopupMenu* sub = nullptr;
  IPopupMenu* deeper = nullptr;
  SampleMenu() {
    root.AddItem("A");
    root.AddSeparator();
    root.AddItem("B", IPopupMenu::kDisabled);
    sub = root.AddSubmenu("Sub");
    sub->AddItem("x");
    sub->AddItem("y", IPopupMenu::kChecked);
    deeper = sub->AddSubmenu("Deeper");
    deeper->AddItem("z");
    root.AddItem("C");
  }
};

std::unique_ptr<PopupMenuSession> Open(IPopupMenu& menu, PopupRect anchor = {100, 100, 160, 120},
                                       PopupRect screen = kScreen) {
  return std::make_unique<PopupMenuSession>(menu, anchor, screen, PopupMenuStyle{}, FixedWidth);
}

// Moves to an item's centre, presses and releases there, as a mouse click does.
void Click(PopupMenuSession& s, const IPopupMenu* menu, int position) {
  float x = 0, y = 0;
  ASSERT_TRUE(s.FindItem(menu, position, x, y)) << "item " << position << " is not shown";
  s.OnMouseMove(x, y);
  s.OnMouseDown(x, y);
  s.OnMouseUp(x, y);
}

void Hover(PopupMenuSession& s, const IPopupMenu* menu, int position) {
  float x = 0, y = 0;
  ASSERT_TRUE(s.FindItem(menu, position, x, y));
  s.OnMouseMove(x, y);
}

bool Inside(const PopupRect& inner, const PopupRect& outer) {
  return inner.L >= outer.L && inner.T >= outer.T && inner.R <= outer.R && inner.B <= outer.B;
}

} // namespace

TEST(PopupMenu, SubmenusKnowTheirParentAndPosition) {
  SampleMenu m;
  EXPECT_EQ(m.sub->GetParent(), &m.root);
  EXPECT_EQ(&m.deeper->GetRoot(), &m.root);
  EXPECT_EQ(m.root.PositionOfSubmenu(m.sub), 3);
  EXPECT_EQ(m.sub->PositionOfSubmenu(m.deeper), 2);
  EXPECT_EQ(m.root.PositionOfSubmenu(m.deeper), -1);
  EXPECT_EQ(m.sub->GetTitle(), "Sub");
  EXPECT_TRUE(m.root.GetItem(1)->GetIsSeparator());
  EXPECT_FALSE(m.root.GetItem(2)->IsSelectable());
  EXPECT_EQ(m.root.GetItem(9), nullptr);

  m.sub->CheckItemAlone(0);
  EXPECT_TRUE(m.sub->GetItem(0)->GetChecked());
  EXPECT_FALSE(m.sub->GetItem(1)->GetChecked());
  m.root.SetChosenItemIdx(3);
  m.root.Clear();
  EXPECT_EQ(m.root.NItems(), 0);
  EXPECT_EQ(m.root.GetChosenItemIdx(), -1);
}

TEST(PopupMenuSession, MouseOpensSubmenusOnHoverAndReportsTheSubmenuAndPosition) {
  SampleMenu m;
  auto s = Open(m.root);
  EXPECT_EQ(s->NLevels(), 1);
  Hover(*s, &m.root, 3);
  ASSERT_EQ(s->NLevels(), 2);
  Hover(*s, m.sub, 2);
  ASSERT_EQ(s->NLevels(), 3);
  Click(*s, m.deeper, 0);
  EXPECT_EQ(s->State(), State::kChosen);
  EXPECT_EQ(s->Result().menu, m.deeper);
  EXPECT_EQ(s->Result().position, 0);
  EXPECT_EQ(m.deeper->GetChosenItemIdx(), 0);

  // Hovering a plain item closes the submenus of its panel.
  auto t = Open(m.root);
  Hover(*t, &m.root, 3);
  Hover(*t, &m.root, 0);
  EXPECT_EQ(t->NLevels(), 1);
  Click(*t, &m.root, 4);
  EXPECT_EQ(t->Result().menu, &m.root);
  EXPECT_EQ(t->Result().position, 4);
}

TEST(PopupMenuSession, DisabledItemsSeparatorsAndSubmenuTitlesAreNotChosen) {
  SampleMenu m;
  auto s = Open(m.root);
  Click(*s, &m.root, 2); // disabled
  Click(*s, &m.root, 1); // separator
  Click(*s, &m.root, 3); // opens the submenu, chooses nothing
  EXPECT_TRUE(s->IsOpen());
  EXPECT_EQ(s->NLevels(), 2);
  EXPECT_FALSE(s->Result().Chosen());
}

TEST(PopupMenuSession, TheReleaseOfTheOpeningClickChoosesNothing) {
  IPopupMenu menu;
  menu.AddItem("50%");
  menu.AddItem("75%");
  // A context menu opens at the pointer: its first item lies under the pointer.
  auto s = Open(menu, {300, 200, 300, 200});
  float x = 0, y = 0;
  ASSERT_TRUE(s->FindItem(&menu, 0, x, y));
  s->OnMouseUp(301, 201);
  EXPECT_TRUE(s->IsOpen());
  // Once the pointer moved, a release over an item chooses it.
  s->OnMouseMove(x, y);
  s->OnMouseUp(x, y);
  EXPECT_EQ(s->Result().position, 0);
}

TEST(PopupMenuSession, KeyboardWalksSelectableItemsAndOpensSubmenus) {
  SampleMenu m;
  auto s = Open(m.root);
  const struct {
    Key key;
    int levels;
    int highlighted; // in the deepest panel
  } steps[] = {
      {Key::kDown, 1, 0}, {Key::kDown, 1, 3}, // skips the separator and the disabled item
      {Key::kDown, 1, 4}, {Key::kDown, 1, 0}, // wraps around
      {Key::kUp, 1, 4},   {Key::kUp, 1, 3},     {Key::kRight, 2, 0}, // first item of the submenu
      {Key::kDown, 2, 1}, {Key::kDown, 2, 2},   {Key::kEnter, 3, 0}, // Enter opens, too
      {Key::kLeft, 2, 2}, {Key::kEscape, 1, 3},                      // Escape closes one panel
  };
  for (const auto& step : steps) {
    s->OnKey(step.key);
    ASSERT_EQ(s->NLevels(), step.levels);
    EXPECT_EQ(s->GetLevel(s->NLevels() - 1).highlighted, step.highlighted);
  }
  s->OnKey(Key::kRight);
  s->OnKey(Key::kDown);
  s->OnKey(Key::kEnter);
  EXPECT_EQ(s->Result().menu, m.sub);
  EXPECT_EQ(s->Result().position, 1);
}

TEST(PopupMenuSession, EscapeOnTheTopLevelOrAClickElsewhereDismisses) {
  SampleMenu m;
  auto s = Open(m.root);
  s->OnKey(Key::kEscape);
  EXPECT_EQ(s->State(), State::kDismissed);
  EXPECT_FALSE(s->Result().Chosen());
  EXPECT_FALSE(s->OnKey(Key::kDown)); // a finished session ignores input

  auto t = Open(m.root);
  Hover(*t, &m.root, 3);
  t->OnMouseDown(790, 590);
  EXPECT_EQ(t->State(), State::kDismissed);
  EXPECT_EQ(m.root.GetChosenItemIdx(), -1);
}

TEST(PopupMenuSession, PanelsStayOnTheScreenNearEveryEdge) {
  SampleMenu m;
  const PopupRect anchors[] = {{0, 0, 20, 20},
                               {780, 0, 800, 20},
                               {0, 580, 20, 600},
                               {780, 580, 800, 600},
                               {400, 300, 400, 300}};
  for (const PopupRect& anchor : anchors) {
    auto s = Open(m.root, anchor);
    Hover(*s, &m.root, 3);
    Hover(*s, m.sub, 2);
    ASSERT_EQ(s->NLevels(), 3);
    for (int i = 0; i < s->NLevels(); ++i)
      EXPECT_TRUE(Inside(s->GetLevel(i).bounds, kScreen)) << anchor.L << "," << anchor.T;
    // Below the anchor where there is room, above it otherwise.
    const PopupRect& top = s->GetLevel(0).bounds;
    if (anchor.B + top.H() <= kScreen.B) {
      EXPECT_EQ(top.T, anchor.B);
    } else {
      EXPECT_EQ(top.B, anchor.T);
    }
    // A submenu that has no room on the right opens on the left of its parent.
    const PopupRect& sub = s->GetLevel(1).bounds;
    if (top.R + sub.W() > kScreen.R) {
      EXPECT_LT(sub.L, top.L);
    }
  }
}

TEST(PopupMenuDraw, DrawsPanelsHighlightAndBrokenTextWithoutError) {
  IPopupMenu menu;
  menu.AddItem("plain");
  menu.AddItem("broken \xC3\x28 text \xFF", IPopupMenu::kChecked);
  menu.AddSeparator();
  menu.AddSubmenu("more")->AddItem("deep");
  PopupMenuStyle style;
  style.font = PopupFontFace(kRoboto);
  ASSERT_NE(style.font, nullptr);
  PopupMenuSession s(menu, {10, 10, 50, 30}, {0, 0, 300, 200}, style);
  Hover(s, &menu, 0);

  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 300, 200);
  cairo_t* cr = cairo_create(surface);
  DrawPopupSession(cr, s);
  EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);
  cairo_surface_flush(surface);
  // The highlighted first item is filled with the highlight colour.
  float x = 0, y = 0;
  ASSERT_TRUE(s.FindItem(&menu, 0, x, y));
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const auto* px = reinterpret_cast<const uint32_t*>(data + static_cast<int>(y) * stride) +
                   static_cast<int>(s.GetLevel(0).items[0].R - 3);
  EXPECT_EQ(*px & 0xFFFFFF, 0x456BA1u);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
