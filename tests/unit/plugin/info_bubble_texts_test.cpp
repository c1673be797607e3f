#include "plugin/info_bubble_texts.h"

#include "plugin/param_ids.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string joined(const InfoBubbleLines& l) {
  return std::string(l.target) + " | " + l.input + " | " + l.source + " | " + l.output;
}
} // namespace

TEST(InfoBubbleTexts, EveryPatchPointNamesItsInputAndSource) {
  const struct {
    int param;
    int value;
    const char* lines;
  } cases[] = {
      {kScl1Src, 0, "SG1 Scale | Input: 0 to 5 Volt | off | Output: 0 Volt"},
      {kPwm1Src, 1, "SG1 Pulse Width | Input: -5 to 5 Volt | Constant Voltage | Output: 5 Volt"},
      {kFm2Src, 2, "SG2 Frequency | Input: -5 to 5 Volt | Constant Voltage | Output: -5 Volt"},
      {kScl2Src, 3,
       "SG2 Scale | Input: 0 to 5 Volt | General Envelope (negative) | Output: 0 to 5 Volt"},
      {kPwm2Src, 4,
       "SG2 Pulse Width | Input: -5 to 5 Volt | General Envelope (positive) | "
       "Output: -5 to 0 Volt"},
      {kFmTSrc, 5,
       "SG Total Frequency | Input: -5 to 5 Volt | General Envelope (positive) | "
       "Output: 0 to 5 Volt"},
      {kFcSrc, 6,
       "LP Frequency | Input: -5 to 5 Volt | Modulated S/H or MG1 | Output: -5 to 5 Volt"},
      {kEmASrc, 7,
       "EM Attack Time | Input: -5 to 5 Volt | Modulation Generator 1 | Output: -5 to 5 Volt"},
      {kEmRSrc, 1, "EM Release Trigger | Input: Trigger | Keyboard Trigger | Output: Trigger"},
      {kVca1Src, 14,
       "VCA1 Amplitude | Input: 0 to 5 Volt | Channel Aftertouch | Output: 0 to 5 Volt"},
      {kModMSrc, 9,
       "S/H or MG1 Amplitude | Input: -5 to 5 Volt | Sample & Hold | Output: -5 to 5 Volt"},
      {kShTrig, 6, "S/H Clock Input | Input: Trigger | Sample & Hold Clock | Output: Trigger"},
      {kShIn, 9, "S/H Input | Input: -5 to 5 Volt | White Noise | Output: -5 to 5 Volt"},
      {kShIn, 8, "S/H Input | Input: -5 to 5 Volt | Modulation Generator 2 | Output: -5 to 5 Volt"},
      {kMg1FSrc, 16,
       "MG1 Frequency | Input: -5 to 5 Volt | Pitch Bend (positive) | Output: 0 to 5 Volt"},
      {kGegSrc1, 10, "GEG Trigger 1 | Input: Trigger | External Trigger 2 | Output: Trigger"},
      {kGegSrc2, 0, "GEG Trigger 2 | Input: Trigger | off | Output: Trigger"},
      {kVp1Src, 10, "VP1 Input | Input: -5 to 5 Volt | Voltage Processor 1 | Output: -5 to 5 Volt"},
      {kVp2Src, 18,
       "VP2 Input | Input: -5 to 5 Volt | Modulation Wheel (positive) | Output: 0 to 5 Volt"},
      {kAddSrc1, 12, "Adder Input 1 | Input: -5 to 5 Volt | Adder | Output: -5 to 5 Volt"},
      {kAddSrc2, 13,
       "Adder Input 2 | Input: -5 to 5 Volt | Last Pressed Key | Output: -5 to 5 Volt"},
      {kRfcSrc, 22,
       "Resonator Peak Frequencies | Input: -5 to 5 Volt | External Control Voltage 4 | "
       "Output: -5 to 5 Volt"},
      // Out-of-range values take the nearest end of the table.
      {kRfcSrc, 99,
       "Resonator Peak Frequencies | Input: -5 to 5 Volt | External Control Voltage 4 | "
       "Output: -5 to 5 Volt"},
  };
  for (const auto& c : cases) {
    InfoBubbleLines lines;
    ASSERT_TRUE(infoBubbleLines(c.param, c.value, 10, 10, lines)) << c.lines;
    EXPECT_EQ(joined(lines), c.lines);
  }
}

TEST(InfoBubbleTexts, ExternalClocksWithoutARateAreInactive) {
  const struct {
    int value, clk1, clk2;
    const char* source;
    const char* output;
  } cases[] = {
      {7, 0, 5, "External Clock 1", "Output: inactive"},
      {7, 10, 0, "External Clock 1", "Output: Trigger"},
      {8, 10, 0, "External Clock 2", "Output: inactive"},
      {8, 0, 3, "External Clock 2", "Output: Trigger"},
      {9, 0, 0, "External Trigger 1", "Output: Trigger"},
  };
  for (const auto& c : cases) {
    InfoBubbleLines lines;
    ASSERT_TRUE(infoBubbleLines(kEmRSrc, c.value, c.clk1, c.clk2, lines));
    EXPECT_STREQ(lines.target, "EM Release Trigger");
    EXPECT_STREQ(lines.input, "Input: Trigger");
    EXPECT_STREQ(lines.source, c.source);
    EXPECT_STREQ(lines.output, c.output);
  }
}

TEST(InfoBubbleTexts, OtherParametersHaveNoLines) {
  InfoBubbleLines lines;
  EXPECT_FALSE(infoBubbleLines(kClk1Src, 3, 0, 0, lines));
  EXPECT_FALSE(infoBubbleLines(kTrg1Src, 74, 0, 0, lines));
  EXPECT_FALSE(infoBubbleLines(kCutoff, 0, 0, 0, lines));
  EXPECT_STREQ(lines.target, "");
}
