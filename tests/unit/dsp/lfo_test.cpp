#include "dsp/lfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(LFO, TriangleCycleOfFourPhaseUnitsWithTheSecondPhaseAhead) {
  LFO lfo;
  lfo.setRate(0.1); // 0.00801 units per step: 499.4 steps per cycle
  lfo.setPhase2(120.0);
  EXPECT_DOUBLE_EQ(lfo.getRate(), 0.00801);
  std::vector<double> t1, t2;
  for (int i = 0; i < 3000; ++i) {
    lfo.update();
    t1.push_back(lfo.getTri1());
    t2.push_back(lfo.getTri2());
    ASSERT_GE(lfo.getTri1(), -1.0);
    ASSERT_LE(lfo.getTri1(), 1.0);
    ASSERT_GE(lfo.getUni2(), 0.0);
    ASSERT_LE(lfo.getUni2(), 1.0);
    ASSERT_DOUBLE_EQ(lfo.getUni1(), (lfo.getTri1() + 1.0) * 0.5);
  }
  // Rising zero crossings of tri1 are one cycle apart.
  std::vector<int> ups;
  for (size_t i = 1; i < t1.size(); ++i)
    if (t1[i - 1] < 0.0 && t1[i] >= 0.0) ups.push_back(int(i));
  ASSERT_GE(ups.size(), 4u);
  for (size_t i = 1; i < ups.size(); ++i) EXPECT_NEAR(ups[i] - ups[i - 1], 499.4, 1.0);
  // 120 degrees ahead: tri2 now is tri1 a third of a cycle later.
  const int third = int(std::lround(4.0 / 3.0 / 0.00801));
  for (int i = 10; i < 2000; i += 97) EXPECT_NEAR(t2[i], t1[i + third], 0.02) << i;
}

TEST(LFO, PhaseOffsetWrapsToOneCycle) {
  LFO a, b;
  a.setPhase2(120.0);
  b.setPhase2(480.0 + 360.0);
  a.setRate(0.23);
  b.setRate(0.23);
  for (int i = 0; i < 1000; ++i) {
    a.update();
    b.update();
    ASSERT_NEAR(a.getTri2(), b.getTri2(), 1e-9);
  }
}

} // namespace
