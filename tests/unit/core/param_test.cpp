#include "framework/core/param.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {
std::string display(const IParam& p, double value) {
  std::string text;
  p.GetDisplay(value, false, text);
  return text;
}
} // namespace

TEST(Param, MaxIsAtLeastOneStepAboveMin) {
  IParam p;
  p.InitDouble("x", 0, 0, 0, 0.1);
  EXPECT_DOUBLE_EQ(p.GetMax(), 0.1);
}

TEST(Param, SteppedValuesRoundHalfAwayFromZeroThenClamp) {
  IParam p;
  p.InitInt("i", 0, -10, 10);
  p.SetValue(2.5);
  EXPECT_EQ(p.GetValue(), 3.0);
  p.SetValue(-2.5);
  EXPECT_EQ(p.GetValue(), -3.0);
  p.SetValue(99);
  EXPECT_EQ(p.GetValue(), 10.0);
}

TEST(Param, EnumRangeFollowsItsTexts) {
  IParam p;
  std::vector<const char*> texts(23, "t");
  p.InitEnum("e", 0, texts);
  EXPECT_EQ(p.GetMax(), 22.0);
  p.SetValue(30);
  EXPECT_EQ(p.GetValue(), 22.0);
  EXPECT_EQ(p.Type(), IParam::kTypeEnum);
  EXPECT_TRUE(p.GetStepped());
}

TEST(Param, NaNBecomesTheDefault) {
  IParam p;
  p.InitDouble("x", 0.25, 0, 1, 0.01);
  p.SetValue(std::nan(""));
  EXPECT_EQ(p.GetValue(), 0.25);
}

TEST(Param, DisplayPrecisionFollowsStep) {
  struct Case {
    double step, value;
    const char* text;
  } cases[] = {{0.01, 0.5, "0.50"}, {1, -3.6, "-4"}, {0.1, 6145, "6145.0"}, {0.001, 1, "1.000"}};
  for (const Case& c : cases) {
    IParam p;
    p.InitDouble("x", 0, -10000, 10000, c.step);
    EXPECT_EQ(display(p, c.value), c.text) << "step " << c.step;
  }
}

TEST(Param, PowerShapeMapsBothWays) {
  IParam p;
  p.InitDouble("Final", 0.25, 0, 1, 0.01, "", 0, "", ShapePowCurve(2.0));
  EXPECT_DOUBLE_EQ(p.GetDefault(true), 0.5);
  EXPECT_DOUBLE_EQ(p.ValueFromNormalized(0.5), 0.25);
  EXPECT_EQ(p.NormalizeValue(7.0), 1.0); // clamped
  p.SetFromNormalized(0.3);
  EXPECT_DOUBLE_EQ(p.GetValue(), 0.09);
}

TEST(Param, TextsAndLabels) {
  IParam filter;
  filter.InitEnum("K35/LP4", 0, {"Korg 35", "4-Pole Ladder"});
  EXPECT_EQ(filter.StringToValue("Korg 35"), 0.0);
  EXPECT_EQ(filter.StringToValue("4-Pole Ladder"), 1.0);
  EXPECT_EQ(filter.StringToValue("1"), 0.0); // not a display text of an enum
  EXPECT_EQ(display(filter, 1), "4-Pole Ladder");

  IParam level;
  level.InitDouble("Level", 0, 0, 100, 0.1, "%");
  EXPECT_EQ(level.StringToValue("150"), 100.0);
  EXPECT_EQ(level.StringToValue("abc"), 0.0);
  EXPECT_STREQ(level.GetLabel(), "%");
  std::string text;
  level.SetValue(12.34);
  level.GetDisplayWithLabel(text);
  EXPECT_EQ(text, "12.3 %");

  IParam sw;
  sw.InitBool("Sw", false, "dB");
  EXPECT_STREQ(sw.GetLabel(), ""); // "off" hides the label
  std::string onText;
  sw.GetDisplay(1.0, true, onText);
  EXPECT_EQ(onText, "on");
}

TEST(Param, DisplayFunctionReplacesAllOtherDisplay) {
  IParam p;
  p.InitDouble("x", 0, 0, 1, 0.01, "", 0, "", ShapeLinear(), IParam::kUnitCustom,
               [](double v, std::string& t) { t = v > 0.5 ? "high" : "low"; });
  p.SetDisplayText(0, "zero");
  EXPECT_EQ(display(p, 0), "low");
  EXPECT_EQ(display(p, 0.75), "high");
}
