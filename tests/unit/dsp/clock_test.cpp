#include "dsp/clock.h"

#include <gtest/gtest.h>

#include <cmath>

#include "dsp/mg.h"

namespace {

ITimeInfo transport(double tempo, double ppq, double samplePos = 0.0) {
  ITimeInfo t;
  t.tempo = tempo;
  t.ppqPos = ppq;
  t.samplePos = samplePos;
  t.transportIsRunning = true;
  return t;
}

Clock syncedClock(double rate, double tempo, double ppq) {
  Clock c;
  c.setSampleRate(rate);
  c.synchronize(transport(tempo, ppq));
  return c;
}

struct RateCase {
  int rate;
  double length;
  int period;
};

TEST(Clock, NoteValueLengthsAtTempo120) {
  const RateCase cases[] = {{1, 352800.0, 352800}, {5, 88200.0, 88200}, {10, 22050.0, 22050},
                            {12, 14700.0, 14700},  {15, 7350.0, 7350},  {16, 5512.5, 5513},
                            {20, 1378.125, 1378}};
  const Clock c = syncedClock(44100.0, 120.0, 0.0);
  for (const RateCase& rc : cases) {
    EXPECT_DOUBLE_EQ(c.getLength(rc.rate), rc.length) << "rate " << rc.rate;
    EXPECT_EQ(c.getPeriod(rc.rate), rc.period) << "rate " << rc.rate;
  }
}

TEST(Clock, TempoIsRoundedAndZeroTempoFallsBackToHalfSecondBeats) {
  EXPECT_DOUBLE_EQ(roundTempo(120.0004), 120.0);
  EXPECT_DOUBLE_EQ(roundTempo(99.9996), 100.0);
  EXPECT_DOUBLE_EQ(syncedClock(48000.0, 0.0, 0.0).getSamplesPerBeat(), 24000.0);
  EXPECT_DOUBLE_EQ(syncedClock(48000.0, 120.0004, 0.0).getSamplesPerBeat(), 24000.0);
}

TEST(Clock, CycleStartsOnTheBeatGrid) {
  // Quarter note and a half past beat 1: the next quarter starts 0.5 beats (11025 samples) later.
  Clock c = syncedClock(44100.0, 120.0, 1.5);
  EXPECT_DOUBLE_EQ(c.getPosition(), 33075.0);
  EXPECT_DOUBLE_EQ(c.getMarker(10), 44100.0);
  EXPECT_DOUBLE_EQ(c.getMarker(5), 88200.0);
  EXPECT_DOUBLE_EQ(c.getMarker(13), 33075.0); // exactly on an eighth: that cycle starts now
  int firstTrigger = -1;
  for (int i = 1; i <= 30000 && firstTrigger < 0; ++i) {
    c.tick();
    if (c.isTrigger(10)) firstTrigger = i;
  }
  EXPECT_EQ(firstTrigger, 11025);
  EXPECT_EQ(c.getCounter(10), 22050);
}

TEST(Clock, TriggersOncePerCycleOnTheRisingEdge) {
  Clock c = syncedClock(44100.0, 120.0, 0.0);
  int triggers = 0, last = -1, gaps = 0;
  for (int i = 1; i <= 44100; ++i) {
    c.tick();
    if (c.isTrigger(20)) {
      if (last >= 0 && (i - last == 1378 || i - last == 1379)) ++gaps;
      last = i;
      ++triggers;
    }
    EXPECT_FALSE(c.isTrigger(0));
  }
  // Cycles start at ticks 1 + k·1378.125 up to tick 44100 itself: 33 in one second.
  EXPECT_EQ(triggers, 33);
  EXPECT_EQ(gaps, 32);
}

TEST(Clock, NegativeSamplePositionStopsTheClockAndASyncedGeneratorHolds) {
  Clock c = syncedClock(44100.0, 120.0, 0.0);
  for (int i = 0; i < 1000; ++i) c.tick();
  c.synchronize(transport(120.0, 0.5, -256.0));
  EXPECT_DOUBLE_EQ(c.getPosition(), -256.0);
  MG mg(&c);
  mg.setSyncRate(16);
  mg.update(); // takes over the clock's phase
  mg.update();
  const int counter = c.getCounter(16);
  const double out = mg.getOutput();
  for (int i = 0; i < 5000; ++i) {
    c.tick();
    mg.update();
  }
  EXPECT_DOUBLE_EQ(c.getPosition(), -256.0);
  EXPECT_EQ(c.getCounter(16), counter);
  EXPECT_EQ(mg.getCounter(), counter);
  EXPECT_DOUBLE_EQ(mg.getOutput(), out);
}

TEST(Clock, JumpBackRestartsEveryCycleAtTheNextTick) {
  Clock c = syncedClock(44100.0, 120.0, 3.3);
  for (int i = 0; i < 777; ++i) c.tick();
  c.synchronize(transport(120.0, 1.0));
  EXPECT_DOUBLE_EQ(c.getPosition(), 0.0);
  for (int r = 1; r < Clock::kNumRates; ++r) {
    EXPECT_EQ(c.getCounter(r), c.getPeriod(r));
    EXPECT_DOUBLE_EQ(c.getMarker(r), 0.0);
  }
  c.tick();
  for (int r = 1; r < Clock::kNumRates; ++r) {
    EXPECT_DOUBLE_EQ(c.getMarker(r), c.getLength(r)) << r;
    EXPECT_EQ(c.getCounter(r), c.getPeriod(r)) << r;
  }
}

TEST(Clock, SameHostPositionKeepsTheRunningMarkers) {
  Clock c = syncedClock(44100.0, 120.0, 2.0);
  for (int i = 0; i < 100; ++i) c.tick();
  const double marker = c.getMarker(7);
  c.synchronize(transport(120.0, 2.0));
  EXPECT_DOUBLE_EQ(c.getMarker(7), marker);
}

TEST(Clock, ResetFillsEveryCounterAndRewinds) {
  Clock c = syncedClock(96000.0, 133.0, 7.25);
  c.reset();
  EXPECT_DOUBLE_EQ(c.getPosition(), 0.0);
  for (int r = 1; r < Clock::kNumRates; ++r) EXPECT_EQ(c.getCounter(r), c.getPeriod(r));
}

TEST(Clock, AbsurdTransportValuesNeitherOverflowNorPoison) {
  Clock c = syncedClock(192000.0, 0.001, 1.0);
  for (int r = 1; r < Clock::kNumRates; ++r) {
    EXPECT_GE(c.getPeriod(r), 0);
    EXPECT_LE(c.getPeriod(r), Clock::kMaxPeriod);
  }
  for (int i = 0; i < 100; ++i) c.tick();
  EXPECT_FALSE(c.isTrigger(-3));
  c.isTrigger(99); // clamped to the last rate

  c.synchronize(transport(120.0, std::nan(""), 0.0));
  EXPECT_LT(c.getPosition(), 0.0); // stopped until a usable position arrives
  c.synchronize(transport(120.0, 4.0, 0.0));
  EXPECT_DOUBLE_EQ(c.getPosition(), 96000.0 * 4.0); // 0.5 s per beat at 192 kHz
}

} // namespace
