#include "dsp/lowpass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace {

double gainDb(LowPass& lp, double hz, double rate) {
  const int n = 4096;
  std::vector<double> h(n, 0.0);
  h[0] = 1.0;
  lp.process(h.data(), n);
  const std::complex<double> step = std::polar(1.0, -2.0 * M_PI * hz / rate);
  std::complex<double> sum = 0.0, phasor = 1.0;
  for (double v : h) {
    sum += v * phasor;
    phasor *= step;
  }
  return 20.0 * std::log10(std::abs(sum));
}

TEST(LowPass, ButterworthCornerAt7kHzAtEveryRate) {
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    LowPass lp;
    lp.setSampleRate(float(rate));
    EXPECT_NEAR(gainDb(lp, 7000.0, rate), -3.01, 0.05) << rate;
    lp.setSampleRate(float(rate));
    EXPECT_NEAR(gainDb(lp, 100.0, rate), 0.0, 0.01) << rate;
    lp.setSampleRate(float(rate));
    EXPECT_LT(gainDb(lp, std::min(20000.0, rate * 0.45), rate), -6.0) << rate;
  }
}

TEST(LowPass, ConstructionIs7kHzAtCdRateAndCutOffMoves) {
  LowPass lp;
  EXPECT_NEAR(gainDb(lp, 7000.0, 44100.0), -3.01, 0.05);
  lp.setCutOff(1000.0);
  EXPECT_NEAR(gainDb(lp, 1000.0, 44100.0), -3.01, 0.05);
}

TEST(LowPass, SilenceDecaysToTheOffsetOnlyWithoutSubnormals) {
  LowPass lp;
  lp.setSampleRate(48000.0f);
  lp.process(1.0);
  for (int i = 0; i < 48000 * 20; ++i) lp.process(0.0);
  for (int i = 0; i < 1000; ++i) {
    const double y = lp.process(0.0);
    ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL);
    ASSERT_LT(std::fabs(y), 1e-12);
  }
}

} // namespace
