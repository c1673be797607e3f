#include "plugin/selector_lists.h"
#include "plugin/varnel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

namespace {
class ParamTable : public ::testing::Test {
protected:
  std::unique_ptr<Varnel> plug = std::make_unique<Varnel>();

  std::string show(int index, double value) {
    std::string text;
    plug->GetParam(index)->GetDisplay(value, false, text);
    return text;
  }
};
} // namespace

TEST_F(ParamTable, EveryIndexCarriesItsName) {
  const char* names[kNumParams] = {
      "Final",    "Direct",   "Pan Fin",  "Pan Drct", "Tot.Tune", "KBD Bal",  "PB Range",
      "SG1 Wave", "SG1 Scl",  "Scl1 Src", "PWM1 Src", "SG2 Wave", "SQ2 Fine", "SG2 Scl",
      "FM2 Ext",  "FM2 Src",  "Scl2 Src", "PWM2 Src", "PWM Freq", "PWM Int",  "FM Mod",
      "FM rev",   "FM SH/MG", "FM T Ext", "FM T Src", "Cutoff",   "Peak",     "fC Bal",
      "Expand",   "fC Mod",   "fC MG1",   "fC GEG",   "fC Src",   "EM Atk",   "EM Dcy",
      "EM Sus",   "EM Rel",   "EM A Src", "EM R Src", "EQ 8kHz",  "EQ 4kHz",  "EQ 2kHz",
      "EQ 1kHz",  "EQ 500",   "EQ 250",   "EQ 125",   "AM Int",   "Ensembl",  "VCA1 Vol",
      "VCA1 Src", "VCA2 VP1", "SH/MG1",   "MOD MSrc", "S/H Freq", "S/H Sync", "S/H Host",
      "S/H Trig", "S/H In",   "MG1 Wave", "MG1 Freq", "MG1 Host", "MG1 FSrc", "MG2 Freq",
      "MG2 Host", "GEG Dly",  "GEG Atk",  "GEG Rel",  "GEG Auto", "GEG Src1", "GEG Src2",
      "VP1 A",    "VP1 B",    "VP1 Src",  "VP2 A",    "VP2 B",    "VP2 Sel",  "VP2 Src",
      "Add 1",    "Add 2",    "Add Src1", "Add Src2", "Tune1 C",  "Tune1 C#", "Tune1 D",
      "Tune1 D#", "Tune1 E",  "Tune1 F",  "Tune1 F#", "Tune1 G",  "Tune1 G#", "Tune1 A",
      "Tune1 A#", "Tune1 B",  "Tune2 C",  "Tune2 C#", "Tune2 D",  "Tune2 D#", "Tune2 E",
      "Tune2 F",  "Tune2 F#", "Tune2 G",  "Tune2 G#", "Tune2 A",  "Tune2 A#", "Tune2 B",
      "Clk1 Src", "Clk2 Src", "Trg1 Src", "Trg2 Src", "VC1 Src",  "VC2 Src",  "VC3 Src",
      "VC4 Src",  "Kbd Trig", "Velo LP",  "Velo VCA", "K35/LP4",  "EQ / RES", "RS Int",
      "RS Freq1", "RS Freq2", "RS Freq3", "RS Mod",   "RfC Src"};
  ASSERT_EQ(plug->NParams(), kNumParams);
  for (int i = 0; i < kNumParams; ++i) EXPECT_STREQ(plug->GetParam(i)->GetName(), names[i]) << i;
}

TEST_F(ParamTable, NormalisedDefaultsFollowTheShapes) {
  EXPECT_DOUBLE_EQ(plug->GetParam(kFinal)->GetDefault(true), 0.5);
  EXPECT_NEAR(plug->GetParam(kMg1Freq)->GetDefault(true), 0.2154, 1e-4);
  EXPECT_DOUBLE_EQ(plug->GetParam(kVp2Sel)->GetDefault(true), 1.0);
  EXPECT_EQ(plug->GetParam(kPbRange)->GetDefault(), 0.0);
  EXPECT_EQ(plug->GetParam(kPbRange)->GetMin(), -24.0);
  EXPECT_EQ(plug->GetParam(kPbRange)->GetMax(), 24.0);
}

TEST_F(ParamTable, WaveAndScaleDisplays) {
  struct Case {
    int index;
    double value;
    const char* text;
  } cases[] = {
      {kSg1Wave, 0.25, "Sawtooth"},
      {kSg1Wave, 0.05, "Triangle"},
      {kSg1Wave, 0.6, "PW"},
      {kSg1Wave, 0.5, "PW"},
      {kSg2Wave, 1.0, "Off"},
      {kSg2Wave, 0.99, "PW"},
      {kSg1Scl, 0.325, "8'"},
      {kSg2Scl, 0.0, "16'"},
      {kSg1Scl, 1.0, "2'"},
      {kSg1Scl, 0.5, "4'"},
      {kMg1Wave, 0.075, "Triangle"},
      {kMg1Wave, 0.95, "White Noise"},
      {kTotTune, -100, "-100"},
      {kFm2Ext, 12.3, "12.3"},
      {kEq125, 7, "7.0"},
      {kFcMod, 1, "on"},
      {kK35Lp4, 1, "4-Pole Ladder"},
      {kVp2Sel, 0, "VP1 Input"},
      {kShIn, 9, "Rnd"},
      {kScl1Src, 9, "S/H"},
      {kShHost, 20, "1/64"},
      {kEmRSrc, 10, "Trg2"},
      {kKbdTrig, 0, "Off"},
      {kPwmFreq, 0.2, "0.2"},
  };
  for (const Case& c : cases) EXPECT_EQ(show(c.index, c.value), c.text) << c.index;
}

TEST_F(ParamTable, ControllerListNamesEveryNumber) {
  const auto& cc = labelCC();
  ASSERT_EQ(cc.size(), 120u);
  EXPECT_STREQ(cc[0], "000    Bank Select");
  EXPECT_STREQ(cc[64], "064    Sustain Pedal On/Off");
  EXPECT_STREQ(cc[19], "019    GP Controller 4");
  EXPECT_STREQ(cc[63], "063    LSB for Control 31");
  EXPECT_STREQ(cc[79], "079    Sound Controller 10");
  EXPECT_STREQ(cc[83], "083    GP Controller 8");
  EXPECT_STREQ(cc[91], "091    Effects 1 Depth ");
  EXPECT_STREQ(cc[101], "101    RPN - MSB");
  EXPECT_STREQ(cc[119], "119    Undefined");
  EXPECT_STREQ(show(kTrg1Src, 7).c_str(), "007    Channel Volume");
}

TEST_F(ParamTable, ResetSetsControlPeriodAndKeepsBuffersAtTheSameRate) {
  struct Case {
    double rate;
    int period;
  } cases[] = {{44100, 44}, {22050, 22}, {48000, 48}, {96000, 96}, {500, 1}};
  for (const Case& c : cases) {
    plug->SetSampleRate(c.rate);
    plug->OnReset();
    EXPECT_EQ(plug->controlPeriod, c.period);
    EXPECT_EQ(plug->bufferLength, c.period);
  }
  plug->SetSampleRate(44100);
  plug->OnReset();
  const double* section = plug->sectionBuf.get();
  const int32_t* pitch = plug->sg1PitchBuf.get();
  plug->OnReset();
  EXPECT_EQ(plug->sectionBuf.get(), section);
  EXPECT_EQ(plug->sg1PitchBuf.get(), pitch);
}
