#include "dsp/ensemble.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/lowpass.h"

namespace {

TEST(Ensemble, DoesNothingUntilPrepared) {
  Ensemble e;
  e.setWet(0.5);
  std::vector<double> buf = {0.1, -0.2, 0.3};
  e.update();
  e.process(buf.data(), 3);
  EXPECT_EQ(buf, (std::vector<double>{0.1, -0.2, 0.3}));
}

TEST(Ensemble, LineHoldsTheLongestDelayAtEveryRate) {
  const std::pair<double, int> cases[] = {
      {22050.0, 353}, {44100.0, 706}, {48000.0, 769}, {96000.0, 1537}, {192000.0, 3073}};
  for (const auto& c : cases) {
    Ensemble e;
    e.setSampleRate(c.first);
    e.setPlayingDefaults();
    EXPECT_EQ(e.getLineLength(), c.second);
    const double longest = c.first * 0.016; // 0.014 s base + 2 ms
    EXPECT_LT(longest, c.second);           // both taps (delay and delay - 1) lie in the line
  }
}

// Runs `periods` chunks of one control period of silence so that the delays settle.
void settle(Ensemble& e, double rate, int periods) {
  const int n = int(rate) / 1000;
  std::vector<double> buf(n, 0.0);
  for (int i = 0; i < periods; ++i) {
    e.update();
    e.process(buf.data(), n);
  }
}

TEST(Ensemble, HalfWetIsHalfLowPassedDryPlusHalfBothTaps) {
  // Without modulation both delays settle at 705.6 samples: taps of the signal 704.6 back.
  const double rate = 44100.0;
  Ensemble e;
  e.setSampleRate(rate);
  e.setPlayingDefaults();
  e.setDepths(0.0, 0.0, 0.0, 0.0);
  e.setWet(0.5);
  settle(e, rate, 300);
  EXPECT_NEAR(e.getDelay1(), 705.6, 1e-9);
  EXPECT_NEAR(e.getDelay2(), 705.6, 1e-9);

  const int n = 2000;
  std::vector<double> in(n), buf(n), s(n);
  for (int i = 0; i < n; ++i) in[i] = std::sin(0.05 * i) + (i == 100 ? 1.0 : 0.0);
  buf = in;
  LowPass ref;
  ref.setSampleRate(float(rate));
  for (int i = 0; i < n; ++i) s[i] = ref.process(in[i]);
  const int chunk = 44;
  for (int start = 0; start < n; start += chunk) {
    e.update();
    e.process(buf.data() + start, std::min(chunk, n - start));
  }
  for (int i = 705; i < n; ++i) {
    const double tap = 0.4 * s[i - 704] + 0.6 * s[i - 705];
    ASSERT_NEAR(buf[i], 0.5 * s[i] + 0.5 * (tap + tap), 1e-9) << i;
  }
}

TEST(Ensemble, DelaysGlideUpFromZeroAndThenStayInTheirBand) {
  const double rate = 48000.0;
  Ensemble e;
  e.setSampleRate(rate);
  e.setPlayingDefaults();
  e.setWet(0.5);
  std::vector<double> buf(48, 0.0);
  e.update();
  e.process(buf.data(), 24);
  const double half = e.getDelay1();
  e.process(buf.data(), 24);
  EXPECT_NEAR(e.getDelay1(), 2.0 * half, 1e-9); // linear glide
  EXPECT_GT(e.getDelay1(), 700.0);
  double lo = 1e9, hi = 0.0;
  for (int i = 0; i < 3000; ++i) {
    e.update();
    e.process(buf.data(), 48);
    if (i > 10) {
      lo = std::min({lo, e.getDelay1(), e.getDelay2()});
      hi = std::max({hi, e.getDelay1(), e.getDelay2()});
    }
  }
  // a and b stay within 0.964..1: about 15.5 to 16 ms.
  EXPECT_GE(lo, rate * (0.014 * 0.964 + 0.002) - 0.5);
  EXPECT_LE(hi, rate * 0.016 + 1e-9);
  EXPECT_GT(hi - lo, rate * 0.014 * 0.02); // it does move
}

TEST(Ensemble, OverlongChunksAndDelaysStayInsideTheLine) {
  Ensemble e;
  e.setSampleRate(44100.0);
  e.setPlayingDefaults();
  e.setBaseDelays(1.0, 2.0); // far beyond the 16 ms line
  e.setWet(0.5);
  std::vector<double> buf(10000, 0.25);
  for (int i = 0; i < 5; ++i) {
    e.update();
    e.process(buf.data(), int(buf.size()));
  }
  EXPECT_LT(e.getDelay1(), e.getLineLength());
  EXPECT_GE(e.getDelay2(), 0.0);
  for (double v : buf) ASSERT_TRUE(std::isfinite(v));
}

TEST(Ensemble, SilenceStaysCleanAtEveryRate) {
  // Below 14 kHz the 7 kHz low-pass is held below half the rate.
  for (double rate :
       {1000.0, 8000.0, 11025.0, 13000.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    Ensemble e;
    e.setSampleRate(rate);
    e.setPlayingDefaults();
    e.setWet(0.5);
    const int n = int(rate) / 1000;
    std::vector<double> buf(n, 1.0);
    for (int p = 0; p < 20000; ++p) {
      e.update();
      e.process(buf.data(), n);
      if (p == 0) std::fill(buf.begin(), buf.end(), 0.0);
      for (double v : buf) {
        ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL) << rate;
        ASSERT_TRUE(std::isfinite(v));
      }
      std::fill(buf.begin(), buf.end(), 0.0);
    }
    for (double v : buf) ASSERT_EQ(v, 0.0);
    e.process(buf.data(), n);
    for (double v : buf) ASSERT_LT(std::fabs(v), 1e-12) << rate;
  }
}

TEST(Ensemble, SampleRateChangeClearsTheLinesAndCleanUpUnprepares) {
  Ensemble e;
  e.setSampleRate(44100.0);
  e.setPlayingDefaults();
  e.setWet(0.5);
  settle(e, 44100.0, 100);
  std::vector<double> buf(44, 1.0);
  for (int i = 0; i < 30; ++i) {
    e.update();
    e.process(buf.data(), 44);
    std::fill(buf.begin(), buf.end(), 1.0);
  }
  e.setSampleRate(48000.0);
  EXPECT_EQ(e.getDelay1(), 0.0);
  settle(e, 48000.0, 50);
  std::vector<double> zeros(48, 0.0);
  e.update();
  e.process(zeros.data(), 48);
  for (double v : zeros) EXPECT_LT(std::fabs(v), 1e-12);
  e.cleanUp();
  std::vector<double> keep = {0.7};
  e.process(keep.data(), 1);
  EXPECT_EQ(keep[0], 0.7);
}

} // namespace
