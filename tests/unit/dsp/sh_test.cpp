#include "dsp/sh.h"

#include <gtest/gtest.h>

#include <vector>

#include "dsp/clock.h"

namespace {

// Steps at which the sample-and-hold reports its clock, feeding `input` at every step.
std::vector<int> triggerSteps(SH& sh, int steps, double input) {
  std::vector<int> at;
  for (int i = 0; i < steps; ++i) {
    sh.sample(input);
    if (sh.isTrigger()) at.push_back(i);
  }
  return at;
}

TEST(SH, TakesTheInputOncePerCycleRightAfterItsClockTriggers) {
  // The clock reports the new cycle after the step that starts it; the next step samples.
  SH sh(nullptr);
  sh.setPeriod(10);
  int takes = 0;
  bool triggeredBefore = false;
  double last = sh.getOutput();
  for (int i = 0; i < 100; ++i) {
    sh.sample(i + 1);
    if (sh.getOutput() != last) {
      ++takes;
      EXPECT_TRUE(triggeredBefore) << "sampled at step " << i << " without a clock";
      EXPECT_DOUBLE_EQ(sh.getOutput(), i + 1);
      last = sh.getOutput();
    }
    triggeredBefore = sh.isTrigger();
  }
  EXPECT_EQ(takes, 10);
}

struct SynchroCase {
  double input;
  int nextCycle;
};

TEST(SH, SynchroStretchesTheNextCycleByTheSampledValue) {
  const SynchroCase cases[] = {{1.0, 150}, {-1.0, 50}, {0.0, 100}, {7.0, 150}, {-9.0, 50}};
  for (const SynchroCase& c : cases) {
    SH sh(nullptr);
    sh.setPeriod(100);
    sh.setSynchro(true);
    const std::vector<int> at = triggerSteps(sh, 600, c.input);
    ASSERT_GE(at.size(), 4u);
    for (size_t i = 2; i < at.size(); ++i)
      EXPECT_EQ(at[i] - at[i - 1], c.nextCycle) << "input " << c.input;
  }
}

TEST(SH, SynchroOffReturnsToTheSetPeriod) {
  SH sh(nullptr);
  sh.setPeriod(100);
  sh.setSynchro(true);
  triggerSteps(sh, 400, 1.0);
  EXPECT_EQ(sh.getPeriod(), 150);
  sh.setSynchro(false);
  EXPECT_EQ(sh.getPeriod(), 100);
  EXPECT_EQ(sh.getCounter(), 100);
  const std::vector<int> at = triggerSteps(sh, 400, 1.0);
  for (size_t i = 1; i < at.size(); ++i) EXPECT_EQ(at[i] - at[i - 1], 100);
}

TEST(SH, SyncedToTheClockIgnoresSynchroAndPeriod) {
  Clock clock;
  clock.setSampleRate(44100.0);
  ITimeInfo t;
  t.tempo = 120.0;
  clock.synchronize(t);
  SH sh(&clock);
  sh.setSynchro(true);
  sh.setSyncRate(20);
  sh.setPeriod(7);
  EXPECT_EQ(sh.getBasePeriod(), 7);
  for (int i = 0; i < 3000; ++i) {
    clock.tick();
    sh.sample(1.0);
  }
  EXPECT_EQ(sh.getPeriod(), 1378);
  EXPECT_EQ(sh.getCounter(), clock.getCounter(20));
}

TEST(SH, PeriodChangeFromZeroAndLongPeriodsAreSafe) {
  SH sh(nullptr);
  sh.setPeriod(0);
  triggerSteps(sh, 5, 0.3);
  sh.setPeriod(100000);
  EXPECT_EQ(sh.getCounter(), 0);
  triggerSteps(sh, 3, 0.3);
  sh.setPeriod(2000000000);
  EXPECT_GE(sh.getCounter(), 0);
  EXPECT_LT(sh.getCounter(), 2000000000);
}

} // namespace
