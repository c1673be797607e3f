#include "dsp/peak_eq.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace {

double gainDb(PeakEQ& eq, double hz, double rate) {
  const int n = 16384;
  std::vector<double> h(n, 0.0);
  h[0] = 1.0;
  eq.process(h.data(), n);
  std::complex<double> sum = 0.0;
  const double w = 2.0 * M_PI * hz / rate;
  for (int i = 0; i < n; ++i) sum += h[i] * std::polar(1.0, -w * i);
  return 20.0 * std::log10(std::abs(sum));
}

PeakEQ band(double rate, double centre, double gain) {
  PeakEQ eq;
  eq.setSampleRate(float(rate));
  eq.setCenter(centre);
  eq.setGain(gain);
  return eq;
}

TEST(PeakEQ, FullGainBoostsTheCentreBy15DbAndLeavesFarFrequencies) {
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    for (int k = 0; k < 7; ++k) {
      const double centre = 125.0 * std::pow(2.0, k);
      PeakEQ eq = band(rate, centre, 15.0);
      EXPECT_NEAR(gainDb(eq, centre, rate), 15.0, 0.05) << rate << " Hz, band " << k;
      // Half a boost (7.5 dB) half an octave off centre marks the one-octave width.
      PeakEQ edge = band(rate, centre, 15.0);
      if (centre * std::sqrt(2.0) < rate / 2.0) {
        EXPECT_NEAR(gainDb(edge, centre * std::sqrt(2.0), rate), 7.9, 1.5) << rate << " " << k;
      }
      const double far = k < 4 ? centre * 16.0 : centre / 16.0;
      PeakEQ eqFar = band(rate, centre, 15.0);
      EXPECT_LT(std::fabs(gainDb(eqFar, far, rate)), 0.5) << rate << " Hz, band " << k;
    }
  }
}

TEST(PeakEQ, ZeroGainIsFlatAndConstructionIsAFlat1kBand) {
  PeakEQ flat = band(44100.0, 2000.0, 0.0);
  for (double f : {50.0, 2000.0, 15000.0}) EXPECT_NEAR(gainDb(flat, f, 44100.0), 0.0, 1e-6);
  PeakEQ fresh;
  EXPECT_NEAR(gainDb(fresh, 1000.0, 44100.0), 0.0, 1e-6);
  fresh.setGain(6.0);
  EXPECT_NEAR(gainDb(fresh, 1000.0, 44100.0), 6.0, 0.05);
}

TEST(PeakEQ, SilenceStaysCleanAndDegenerateCentresAreFinite) {
  PeakEQ eq = band(44100.0, 125.0, 15.0);
  std::vector<double> buf(44100, 0.0);
  buf[0] = 1.0;
  for (int s = 0; s < 30; ++s) {
    eq.process(buf.data(), int(buf.size()));
    std::fill(buf.begin(), buf.end(), 0.0);
  }
  eq.process(buf.data(), int(buf.size()));
  for (double v : buf) {
    ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL);
    ASSERT_LT(std::fabs(v), 1e-9);
  }
  for (double centre : {0.0, 22050.0, 30000.0}) {
    PeakEQ odd = band(44100.0, centre, 15.0);
    EXPECT_TRUE(std::isfinite(gainDb(odd, 1000.0, 44100.0))) << centre;
  }
}

} // namespace
