#include "dsp/resonator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

namespace {

std::vector<double> impulseResponse(Resonator& r, int n) {
  std::vector<double> in(n, 0.0), out(n, 0.0);
  in[0] = 1.0;
  r.process(in.data(), out.data(), n);
  return out;
}

double gainAt(const std::vector<double>& h, double hz, double rate) {
  const std::complex<double> step = std::polar(1.0, -2.0 * M_PI * hz / rate);
  std::complex<double> sum = 0.0, phasor = 1.0;
  for (double v : h) {
    sum += v * phasor;
    phasor *= step;
  }
  return std::abs(sum);
}

// Frequency of the largest response between lo and hi: a coarse grid, then a fine one.
double peakFrequency(const std::vector<double>& h, double rate, double lo, double hi) {
  double best = lo, bestGain = 0.0;
  for (int pass = 0; pass < 3; ++pass) {
    const double step = (hi - lo) / 200.0;
    for (double f = lo; f <= hi; f += step) {
      const double g = gainAt(h, f, rate);
      if (g > bestGain) bestGain = g, best = f;
    }
    lo = std::max(1.0, best - 2.0 * step);
    hi = best + 2.0 * step;
  }
  return best;
}

// A resonator at knob k, band output only, with its modulation settled at m.
Resonator settled(double rate, double knob, double m) {
  Resonator r;
  r.setSampleRate(rate);
  r.setFrequency(knob);
  r.setIntensity(1.0);
  for (int i = 0; i < 300; ++i) r.update(m);
  return r;
}

struct CentreCase {
  double rate, knob, modulation, centre, tolerance;
};

TEST(Resonator, MeasuredCentreFollowsTheKnobAndModulation) {
  const CentreCase cases[] = {
      {44100.0, 0.0, 0.25, 118.75, 0.2},
      {44100.0, 0.2, 0.25, 486.78, 0.5},
      {48000.0, 0.2, 0.25, 486.78, 0.5},
      {96000.0, 0.0, 0.25, 118.75, 0.3},
      {44100.0, 0.5, 0.0, 700.0, 1.0},
      {44100.0, 0.5, 1.0, 10000.0, 10.0},
      {44100.0, 0.75, 0.25, 10000.0, 10.0},
      {22050.0, 1.0, 1.0, 10000.0, 10.0},
      // Control exactly 0 (knob 0, modulation 0 from the start): the band still sits at 80 Hz.
      {44100.0, 0.0, 0.0, 80.0, 0.3},
      // Below 20 kHz the top of the range is held below half the rate.
      {16000.0, 1.0, 1.0, 0.475 * 16000.0, 10.0},
  };
  for (const CentreCase& c : cases) {
    Resonator r = settled(c.rate, c.knob, c.modulation);
    const std::vector<double> h = impulseResponse(r, 4096);
    const double f = peakFrequency(h, c.rate, 40.0, std::min(12000.0, c.rate * 0.49));
    EXPECT_NEAR(f, c.centre, c.tolerance) << "rate " << c.rate << " knob " << c.knob;
    EXPECT_NEAR(gainAt(h, c.centre, c.rate), 4.0 / 3.0, 0.01) << "rate " << c.rate;
  }
}

TEST(Resonator, BandIsAboutTwoOctavesWideAtHalfPower) {
  // Q 2 at 486.78 Hz: half-power points about 378 and 627 Hz.
  Resonator r = settled(44100.0, 0.2, 0.25);
  const std::vector<double> h = impulseResponse(r, 8192);
  const double peak = gainAt(h, 486.78, 44100.0);
  EXPECT_NEAR(gainAt(h, 378.0, 44100.0) / peak, std::sqrt(0.5), 0.02);
  EXPECT_NEAR(gainAt(h, 627.0, 44100.0) / peak, std::sqrt(0.5), 0.02);
  EXPECT_LT(gainAt(h, 5000.0, 44100.0) / peak, 0.1);
}

TEST(Resonator, ThreeAtZeroIntensityPassTheDrySignal) {
  Resonator rs[3];
  std::vector<double> in(2000), out(2000, 0.0);
  for (size_t i = 0; i < in.size(); ++i) in[i] = std::sin(0.01 * i * i);
  for (int k = 0; k < 3; ++k) {
    rs[k].setSampleRate(44100.0);
    rs[k].setFrequency(0.2 * k);
    for (int i = 0; i < 10; ++i) rs[k].update(0.25);
    rs[k].process(in.data(), out.data(), int(in.size()));
  }
  for (size_t i = 0; i < in.size(); ++i) ASSERT_NEAR(out[i], in[i], 1e-12) << i;
}

TEST(Resonator, SampleRateChangeRestoresConstructionSettings) {
  Resonator r;
  r.setFrequency(0.9);
  r.setIntensity(0.7);
  r.setSampleRate(96000.0);
  EXPECT_DOUBLE_EQ(r.getFrequency(), 0.5);
  EXPECT_DOUBLE_EQ(r.getIntensity(), 0.0);
}

TEST(Resonator, SilenceStaysCleanAndEveryRateIsStable) {
  for (double rate : {1000.0, 8000.0, 16000.0, 19000.0, 20000.0, 22050.0, 44100.0, 48000.0, 96000.0,
                      192000.0, 1000000.0}) {
    for (double knob : {0.0, 0.3, 1.0}) {
      Resonator r;
      r.setSampleRate(rate);
      r.setFrequency(knob);
      r.setIntensity(1.0);
      std::vector<double> in(4096), out(4096);
      for (size_t i = 0; i < in.size(); ++i) in[i] = (i % 7 == 0) ? 1.0 : -0.3;
      for (int block = 0; block < 100; ++block) {
        r.update(block < 50 ? 1.0 : 0.0);
        std::fill(out.begin(), out.end(), 0.0);
        r.process(in.data(), out.data(), int(in.size()));
        if (block == 20) std::fill(in.begin(), in.end(), 0.0); // long silence after a burst
      }
      for (double v : out) {
        ASSERT_TRUE(std::isfinite(v));
        ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL);
        ASSERT_LT(std::fabs(v), 1e-9) << "rate " << rate << " knob " << knob;
      }
    }
  }
}

TEST(Resonator, BrokenModulationDoesNotPoisonTheFilter) {
  Resonator r = settled(44100.0, 0.2, 0.25);
  r.update(std::nan(""));
  r.update(0.25);
  const std::vector<double> h = impulseResponse(r, 512);
  for (double v : h) ASSERT_TRUE(std::isfinite(v));
}

} // namespace
