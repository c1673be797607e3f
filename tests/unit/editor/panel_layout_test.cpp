// The panel's layout table: order, bindings, identifiers and frames that never collide.
#include "plugin/panel_layout.h"
#include "plugin/varnel.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

using namespace panel;

namespace {

bool isGroupPair(const Entry& a, const Entry& b) {
  auto res = [](const Entry& e) { return e.role == Role::ResControl || e.role == Role::ResBack; };
  auto eq = [](const Entry& e) { return e.role == Role::EqKnob || e.role == Role::EqBack; };
  return (res(a) && eq(b)) || (eq(a) && res(b));
}

bool insideUnion(const Rect& r, const std::vector<Rect>& parts) {
  // Every corner and the centre of r lie in some part.
  const float pts[5][2] = {{r.l + 1, r.t + 1},
                           {r.r - 1, r.t + 1},
                           {r.l + 1, r.b - 1},
                           {r.r - 1, r.b - 1},
                           {r.cx(), r.cy()}};
  for (const auto& p : pts) {
    bool in = false;
    for (const Rect& q : parts) in |= p[0] >= q.l && p[0] <= q.r && p[1] >= q.t && p[1] <= q.b;
    if (!in) return false;
  }
  return true;
}

} // namespace

TEST(PanelLayout, EveryNumberOnceInAttachOrderAndEveryParameterOnce) {
  std::set<int> params;
  int expected = 0;
  for (const Entry& e : layout()) {
    EXPECT_EQ(e.number, expected++) << "entry " << e.number;
    if (e.id >= 0) {
      EXPECT_TRUE(params.insert(e.id).second) << "parameter " << e.id;
    }
  }
  EXPECT_EQ(expected, 183);
  EXPECT_EQ(params.size(), static_cast<size_t>(kNumParams));
}

TEST(PanelLayout, LabelsAreTheNamesTheHostShows) {
  auto plug = std::make_unique<Varnel>();
  for (const Entry& e : layout()) {
    if (e.id < 0 || !e.label) continue;
    EXPECT_STREQ(e.label, plug->GetParam(e.id)->GetName()) << "entry " << e.number;
  }
}

TEST(PanelLayout, ProgramSectionIdentifiersAndLampRoles) {
  std::set<int> banks, programs, bankLamps, programLamps;
  for (const Entry& e : layout()) {
    if (e.kind == Kind::Kick && e.id <= kIdBank0 && e.id > kIdBank0 - 4) banks.insert(e.id);
    if (e.kind == Kind::Kick && e.id <= kIdProgram0 && e.id > kIdProgram0 - 16)
      programs.insert(e.id);
    if (e.role == Role::BankLamp) bankLamps.insert(e.roleIndex);
    if (e.role == Role::ProgramLamp) programLamps.insert(e.roleIndex);
  }
  EXPECT_EQ(banks.size(), 4u);
  EXPECT_EQ(programs.size(), 16u);
  EXPECT_EQ(bankLamps.size(), 4u);
  EXPECT_EQ(programLamps.size(), 16u);
  // Program 5 of the second row sits at x = 2020 + 56 * 5, y = 488 and is identifier -153.
  for (const Entry& e : layout())
    if (e.id == kIdProgram0 - 13) {
      EXPECT_EQ(e.place.l, 2020.f + 56 * 5);
      EXPECT_EQ(e.place.t, 488.f);
    }
}

TEST(PanelLayout, SectionFramesNeverCollideAndHoldTheirControls) {
  const int n = static_cast<int>(Section::Count);
  for (int a = 1; a < n; ++a) {
    auto sa = static_cast<Section>(a);
    std::vector<Rect> pa = sectionParts(sa);
    ASSERT_FALSE(pa.empty()) << sectionTitle(sa);
    Rect title = sectionTitleRect(sa);
    EXPECT_GE(title.l, pa[0].l + 6) << sectionTitle(sa);
    EXPECT_LE(title.r, pa[0].r - 6) << sectionTitle(sa);
    for (int b = 1; b < n; ++b) {
      if (a == b) continue;
      for (const Rect& x : pa)
        for (const Rect& y : sectionParts(static_cast<Section>(b)))
          EXPECT_FALSE(x.overlaps(y)) << sectionTitle(sa) << " / " << sectionTitle(Section(b));
      for (const Rect& y : sectionParts(static_cast<Section>(b)))
        EXPECT_FALSE(title.overlaps(y))
            << sectionTitle(sa) << " title on " << sectionTitle(Section(b));
    }
  }
  for (const Entry& e : layout()) {
    if (e.section == Section::None || e.kind == Kind::Picture) continue;
    EXPECT_TRUE(insideUnion(printRect(e), sectionParts(e.section))) << "entry " << e.number;
  }
}

TEST(PanelLayout, LabelsNeverCoverAnotherControlOrLabel) {
  const auto& t = layout();
  for (size_t i = 0; i < t.size(); ++i)
    for (size_t j = 0; j < t.size(); ++j) {
      const Entry &a = t[i], &b = t[j];
      if (i == j || isGroupPair(a, b) || b.kind == Kind::Picture || b.kind == Kind::SizeContext ||
          b.kind == Kind::CornerResizer)
        continue;
      Rect la = labelRect(a);
      if (la.empty()) continue;
      EXPECT_FALSE(la.overlaps(controlRect(b))) << a.label << " over entry " << b.number;
      if (j > i) {
        EXPECT_FALSE(la.overlaps(labelRect(b))) << a.label << " / " << b.label;
      }
    }
}

TEST(PanelLayout, ControlRectanglesFollowTheirBitmaps) {
  for (const Entry& e : layout()) {
    if (e.place.r > e.place.l || e.bitmap == Bitmap::None) continue;
    const BitmapSpec& bs = bitmapSpec(e.bitmap);
    Rect r = controlRect(e);
    EXPECT_EQ(r.w(), static_cast<float>(bs.frameW)) << "entry " << e.number;
    EXPECT_EQ(r.h(), static_cast<float>(bs.frameH + (e.kind == Kind::KnobText ? 16 : 0)))
        << "entry " << e.number;
    EXPECT_LE(r.r, kWidth);
    EXPECT_LE(r.b, kHeight);
  }
}
