#include "tests/unit/plugin/engine_fixture.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {
void expectAll(const int32_t* buf, int n, int32_t value, const char* what) {
  for (int j = 0; j < n; ++j) ASSERT_EQ(buf[j], value) << what << " at " << j;
}
void expectAll(const double* buf, int n, double value, const char* what) {
  for (int j = 0; j < n; ++j) ASSERT_EQ(buf[j], value) << what << " at " << j;
}
} // namespace

// Nothing patched: pitch carries only the bend, the cutoff no offset, the VCA its level.
TEST(Routing, AllOffLeavesBendAndVolumeOnly) {
  Engine e;
  e.set(kPbRange, 2);
  e.set(kVca1Vol, 1.3);
  e.set(kMg1Freq, 200); // a fast MG1 would show up anywhere it leaks
  e.send(noteOn(60, 100));
  e.send(pitchBend(0x3000)); // +0.5
  e.periods(3);
  const int n = e->controlPeriod;
  expectAll(e->sg1PitchBuf.get(), n, 128, "sg1 pitch");
  expectAll(e->sg2PitchBuf.get(), n, 128, "sg2 pitch");
  expectAll(e->cutoffCtlBuf.get(), n, 0, "cutoff");
  expectAll(e->finalGainBuf.get(), n, 1.3, "output amplitude");
}

TEST(Routing, NegativeBendRangeWithFullBend) {
  Engine e;
  e.set(kPbRange, -12);
  e.send(pitchBend(0x3FFF));
  e.period();
  // -1536 * 8191/8192 = -1535.8125, truncated toward zero.
  expectAll(e->sg1PitchBuf.get(), e->controlPeriod, -1535, "sg1 pitch");
  expectAll(e->sg2PitchBuf.get(), e->controlPeriod, -1535, "sg2 pitch");
}

TEST(Routing, ReversedFrequencyModulationKeepsTheBend) {
  Engine e;
  e.set(kPbRange, 2);
  e.set(kFmMod, 1);
  e.set(kFmRev, 1);
  e.set(kFmTSrc, Varnel::kSrcPlus5V);
  e.set(kFmTExt, 100);
  e.set(kFm2Src, Varnel::kSrcPlus5V);
  e.set(kFm2Ext, 50);
  e.send(pitchBend(0x3000));
  e.period();
  // K = -100, J = -50, bend +128.
  expectAll(e->sg1PitchBuf.get(), e->controlPeriod, 28, "sg1 pitch");
  expectAll(e->sg2PitchBuf.get(), e->controlPeriod, -22, "sg2 pitch");
}

TEST(Routing, OutputAmplitudeSilencedBySource) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, double>> params;
  };
  const Case cases[] = {
      {"VCA1 Src -5V", {{kVca1Src, Varnel::kSrcMinus5V}}},
      {"VCA2 VP1 without VP1 Src", {{kVca2Vp1, 1}, {kVp1A, 1}, {kVp1B, 1}}},
  };
  for (const Case& c : cases) {
    Engine e;
    for (const auto& p : c.params) e.set(p.first, p.second);
    e.send(noteOn(60, 127));
    const Render r = e.render(2048);
    expectAll(e->finalGainBuf.get(), e->controlPeriod, 0.0, c.what);
    EXPECT_EQ(rms(r.left), 0.0) << c.what;
    EXPECT_EQ(rms(r.right), 0.0) << c.what;
    EXPECT_GT(
        rms(std::vector<double>(e->voiceMixBuf.get(), e->voiceMixBuf.get() + e->controlPeriod)),
        0.0)
        << c.what << ": the voices still play";
  }
  Engine on;
  on.set(kVca1Src, Varnel::kSrcPlus5V);
  on.period();
  expectAll(on->finalGainBuf.get(), on->controlPeriod, 1.0, "VCA1 Src +5V");
}

// A and B are the outputs for +5 V and -5 V at the input.
TEST(Routing, VoltageProcessorMapsOntoBToA) {
  struct Case {
    double a, b;
    int wheel; // controller 1, the input through "MW"
    double expected;
  };
  const double w32 = 2.0 * 32 / 127.0 - 1.0;
  const Case cases[] = {
      {1, -1, 127, 1.0},  {1, -1, 0, -1.0},  {1, -1, 32, w32},
      {-1, 1, 127, -1.0}, {-1, 1, 32, -w32}, {0.3, 0.3, 127, 0.3},
      {0.3, 0.3, 0, 0.3}, {0.5, 0, 0, 0.0},  {0.5, 0, 127, 0.5},
  };
  for (const Case& c : cases) {
    Engine e;
    e.set(kVp1Src, Varnel::kSrcMW);
    e.set(kVp1A, c.a);
    e.set(kVp1B, c.b);
    e.set(kVp2Sel, 0); // VP2 reads the input of VP1
    e.set(kVp2A, c.a);
    e.set(kVp2B, c.b);
    e.send(controller(1, c.wheel));
    e.period();
    EXPECT_NEAR(e->vp1Value, c.expected, 1e-12) << c.a << " " << c.b << " " << c.wheel;
    EXPECT_NEAR(e->vp2Value, c.expected, 1e-12) << c.a << " " << c.b << " " << c.wheel;
  }
}

// "S/H Trig" = "Mlt": the held value changes at note-ons only.
TEST(Routing, SampleAndHoldClockedByNoteOns) {
  Engine e;
  e.set(kShTrig, 3);
  e.set(kShIn, Varnel::kSrcMW);
  e.set(kShFreq, 20); // its own clock would sample every 50 periods
  e.send(controller(1, 127));
  e.send(noteOn(60));
  e.period();
  EXPECT_EQ(e->shValue, 1.0);
  e.send(controller(1, 0));
  e.periods(120);
  EXPECT_EQ(e->shValue, 1.0);
  e.send(noteOn(62));
  e.period();
  EXPECT_EQ(e->shValue, -1.0);
}

TEST(Routing, ExternalTriggerNeedsARisingEdgeAtAPeriodStart) {
  Engine e;
  e.set(kTrg1Src, 20);
  e.set(kGegSrc1, 9); // "Trg1"
  e.send(controller(20, 127, 0));
  e.send(controller(20, 0, 10));
  e.period();
  e.period();
  EXPECT_FALSE(e->geg.isOn());

  e.send(controller(20, 127, 0));
  e.period();
  EXPECT_TRUE(e->geg.isOn());
}

TEST(Routing, OneControllerFeedsTriggerAndVoltage) {
  Engine e;
  e.set(kTrg1Src, 20);
  e.set(kVc1Src, 20);
  e.set(kVc3Src, 20);
  e.set(kGegSrc1, 9);
  e.send(controller(20, 127));
  e.period();
  EXPECT_TRUE(e->geg.isOn());
  EXPECT_EQ(e->vcValue[0], 1.0);
  EXPECT_EQ(e->vcValue[2], 1.0);
  EXPECT_EQ(e->vcValue[1], 0.0);
}

TEST(Routing, CutoffModulationAndAdder) {
  Engine e;
  e.set(kFcMod, 1);
  e.set(kFcGeg, 0.5);
  e.set(kFcSrc, Varnel::kSrcAdd);
  e.set(kAddSrc1, Varnel::kSrcPlus5V);
  e.set(kAdd1, 0.5);
  e.set(kAddSrc2, Varnel::kSrcMinus5V);
  e.set(kAdd2, 0.25);
  e.period();
  EXPECT_EQ(e->adderValue, 0.25);
  // The adder is computed before the cutoff within each sample: 0.5 * 0.25 * 10753.
  expectAll(e->cutoffCtlBuf.get(), e->controlPeriod, 1344, "cutoff");
}

// Both clock outputs on one rate fire together, each on its own edge; on different rates each
// keeps its own count.
TEST(Routing, ClockOutputsSharingARateBothTrigger) {
  const struct { int rate1, rate2; } cases[] = {{16, 16}, {20, 20}, {16, 19}};
  for (const auto& c : cases) {
    Engine e(48000);
    e.set(kClk1Src, c.rate1);
    e.set(kClk2Src, c.rate2);
    int fired1 = 0, fired2 = 0, together = 0;
    for (int p = 0; p < 2000; ++p) { // two seconds
      e.period();
      fired1 += e->triggers[Varnel::kTrigClk1];
      fired2 += e->triggers[Varnel::kTrigClk2];
      together += e->triggers[Varnel::kTrigClk1] && e->triggers[Varnel::kTrigClk2];
    }
    // At 120 BPM a 1/16 lasts 0.125 s, a 1/32 0.0625 s, a 1/64 0.03125 s.
    const auto expected = [](int rate) { return rate == 16 ? 16 : rate == 19 ? 32 : 64; };
    EXPECT_NEAR(fired1, expected(c.rate1), 1) << c.rate1 << " " << c.rate2;
    EXPECT_NEAR(fired2, expected(c.rate2), 1) << c.rate1 << " " << c.rate2;
    if (c.rate1 == c.rate2) {
      EXPECT_EQ(together, fired1) << c.rate1;
    }
  }
}
