#include "tests/unit/plugin/engine_fixture.h"
#include "tools/render/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

using namespace enginetest;

namespace {
// Frequency of the strongest partial between lo and hi Hz: the largest bin of a Blackman-Harris
// windowed FFT, refined by searching the maximum of the windowed spectrum between its
// neighbours (the window's side lobes keep the other partials out of the way).
double strongestPartial(const std::vector<double>& x, size_t from, double rate, double lo,
                        double hi) {
  const size_t n = 32768;
  std::vector<double> w(n);
  for (size_t i = 0; i < n; ++i) {
    const double t = 2.0 * M_PI * static_cast<double>(i) / n;
    w[i] =
        (0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t)) *
        x[from + i];
  }
  std::vector<std::complex<double>> a(w.begin(), w.end());
  vrender::fft(a);
  const double binHz = rate / n;
  size_t peak = 0;
  double best = -1.0;
  for (size_t k = static_cast<size_t>(lo / binHz); k < static_cast<size_t>(hi / binHz); ++k) {
    if (std::abs(a[k]) > best) {
      best = std::abs(a[k]);
      peak = k;
    }
  }
  const auto magnitude = [&](double bin) {
    const std::complex<double> step = std::polar(1.0, -2.0 * M_PI * bin / n);
    std::complex<double> rot(1.0), sum(0.0);
    for (size_t i = 0; i < n; ++i) {
      sum += w[i] * rot;
      rot *= step;
      if ((i & 1023) == 1023) rot /= std::abs(rot); // keep the rotation on the unit circle
    }
    return std::abs(sum);
  };
  const double g = (std::sqrt(5.0) - 1.0) / 2.0;
  double a0 = static_cast<double>(peak) - 1.0, b0 = static_cast<double>(peak) + 1.0;
  double c = b0 - g * (b0 - a0), d = a0 + g * (b0 - a0);
  double fc = magnitude(c), fd = magnitude(d);
  for (int it = 0; it < 40; ++it) {
    if (fc > fd) {
      b0 = d;
      d = c;
      fd = fc;
      c = b0 - g * (b0 - a0);
      fc = magnitude(c);
    } else {
      a0 = c;
      c = d;
      fc = fd;
      d = a0 + g * (b0 - a0);
      fd = magnitude(d);
    }
  }
  return 0.5 * (a0 + b0) * binHz;
}

double playA440(double rate, double totalTune) {
  Engine e(rate);
  e.set(kTotTune, totalTune);
  e.send(noteOn(69, 127));
  const size_t settle = static_cast<size_t>(rate * 0.05);
  const Render r = e.render(static_cast<int>(settle) + 32768);
  return strongestPartial(r.left, settle, rate, 30.0, 5000.0);
}
} // namespace

TEST(Sound, KeyA4SoundsAt440Hz) {
  for (double rate : {44100.0, 48000.0}) EXPECT_NEAR(playA440(rate, 0), 440.0, 0.02) << rate;
}

// "Tot.Tune" counts pitch units of 1/128 semitone; within a semitone the pitch conversion
// interpolates linearly in Hertz, which keeps it within a cent of the exponential curve.
TEST(Sound, TotalTuneRaisesByPitchUnits) {
  const double semitone = std::pow(2.0, 1.0 / 12.0);
  const double up = 440.0 * (1.0 + 100.0 / 128.0 * (semitone - 1.0));
  const double down = 440.0 / semitone * (1.0 + 28.0 / 128.0 * (semitone - 1.0));
  const double measuredUp = playA440(44100, 100);
  const double measuredDown = playA440(44100, -100);
  EXPECT_NEAR(measuredUp, up, 0.02);
  EXPECT_NEAR(measuredDown, down, 0.02);
  EXPECT_NEAR(1200.0 * std::log2(measuredUp / 440.0), 100.0 * 100.0 / 128.0, 1.0);
  EXPECT_NEAR(1200.0 * std::log2(measuredDown / 440.0), -100.0 * 100.0 / 128.0, 1.0);
}

// The defaults put the processed signal on both sides equally.
TEST(Sound, DefaultsAreCentred) {
  Engine e;
  e.send(noteOn(60, 127));
  const Render r = e.render(4096);
  EXPECT_GT(rms(r.left), 1e-3);
  EXPECT_EQ(r.left, r.right);
}

// The direct output carries the raw voice sum: no resonators, equaliser, AM or ensemble.
TEST(Sound, DirectOutputIsTheDrySumPannedLeft) {
  auto play = [](double direct, bool sections) {
    Engine e;
    e.set(kFinal, 0);
    e.set(kDirect, direct);
    e.set(kPanDrct, 0);
    if (sections) {
      e.set(kRsInt, 0.8);
      for (int b = kEq8k; b <= kEq125; ++b) e.set(b, 12);
      e.set(kAmInt, 0.7);
      e.set(kMg1Freq, 30);
      e.set(kEnsembl, 1);
    }
    e.send(noteOn(57, 127));
    e.send(noteOn(64, 127));
    return e.render(4096);
  };
  const Render full = play(1.0, true);
  for (double s : full.right) ASSERT_EQ(s, 0.0);
  EXPECT_GT(rms(full.left), 1e-3);

  EXPECT_EQ(full.left, play(1.0, false).left);
  // "Direct" 1 is gain 2: twice what gain 1 gives ("Direct" 0.5), exactly.
  const Render half = play(0.5, false);
  for (size_t i = 0; i < full.left.size(); ++i) ASSERT_EQ(full.left[i], 2.0 * half.left[i]) << i;
}

// "Final" 0.25 and centred pan: each side gets a quarter of the bus times the output VCA.
TEST(Sound, FinalLevelAndPanGains) {
  auto play = [](double final, double pan, double vca) {
    Engine e;
    e.set(kFinal, final);
    e.set(kPanFin, pan);
    e.set(kVca1Vol, vca);
    e.send(noteOn(60, 127));
    return e.render(2048);
  };
  const Render base = play(0.5, 0.5, 1.0); // gain 0.5 on each side
  const Render quarter = play(0.25, 0.5, 1.0);
  const Render hard = play(0.25, 1.0, 2.0);
  for (size_t i = 0; i < base.left.size(); ++i) {
    ASSERT_EQ(quarter.left[i], 0.5 * base.left[i]) << i;
    ASSERT_EQ(hard.left[i], 0.0) << i;
    ASSERT_DOUBLE_EQ(hard.right[i], 2.0 * base.right[i]) << i;
  }
}
