#include "dsp/filter_tables.h"
#include "dsp/k35.h"
#include "dsp/ladder.h"
#include "dsp/pitch.h"
#include "tests/unit/dsp/voice_test_signal.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

using voice_test::kPi;

// Cutoff pitch of a frequency, in 1/128 semitones.
int pitchOf(double hz) {
  return static_cast<int>(std::lround(128 * (69 + 12 * std::log2(hz / 440))));
}

struct Rig {
  explicit Rig(double rate = 44100.0) : rate(rate) {
    tables->setSampleRate(rate);
    mod.assign(static_cast<size_t>(rate) / 1000, 0);
  }
  double rate;
  std::unique_ptr<FilterTables> tables = std::make_unique<FilterTables>();
  std::vector<int> mod;

  template <class F> void prepare(F& f, double peak, int cutoff) {
    f.setSampleRate(*tables);
    f.setCutoffMod(mod.data());
    f.setPeak(peak);
    f.update(cutoff);
  }

  // Runs a signal through the filter in control periods like the engine.
  template <class F> std::vector<double> run(F& f, std::vector<double> signal) {
    const int period = static_cast<int>(mod.size());
    for (size_t pos = 0; pos < signal.size(); pos += period) {
      const int n = static_cast<int>(std::min<size_t>(period, signal.size() - pos));
      f.process(signal.data() + pos, n, 0);
    }
    return signal;
  }

  template <class F> double gainDb(double peak, int cutoff, double hz, double amplitude = 0.05) {
    F f;
    prepare(f, peak, cutoff);
    const int n = static_cast<int>(rate * 0.4);
    std::vector<double> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) s[i] = amplitude * std::sin(2 * kPi * hz * i / rate);
    const auto out = run(f, s);
    const size_t settle = static_cast<size_t>(n / 2);
    return 20 * std::log10(voice_test::rms(out, settle) / (amplitude / std::sqrt(2.0)));
  }
};

template <class F> class VoiceFilter : public ::testing::Test {};
using FilterTypes = ::testing::Types<Korg35, Ladder>;
TYPED_TEST_SUITE(VoiceFilter, FilterTypes);

TYPED_TEST(VoiceFilter, SweepShowsLowPassResponse) {
  Rig rig;
  const int cutoff = pitchOf(1000.0);
  const double slope = std::is_same_v<TypeParam, Ladder> ? 24.0 : 12.0; // dB per octave
  EXPECT_NEAR((rig.gainDb<TypeParam>(0.0, cutoff, 100.0)), 0.0, 1.0);
  double previous = 1e9;
  for (double hz : {2000.0, 4000.0, 8000.0, 16000.0}) {
    const double g = rig.gainDb<TypeParam>(0.0, cutoff, hz);
    EXPECT_LT(g, previous - 0.6 * slope) << hz;
    previous = g;
  }
  EXPECT_LT((rig.gainDb<TypeParam>(0.0, cutoff, 8000.0)), -2.5 * slope);
}

TYPED_TEST(VoiceFilter, ResonancePeakRisesWithPeak) {
  Rig rig;
  const int cutoff = pitchOf(1000.0);
  double previous = -1e9;
  for (double peak : {0.0, 0.4, 0.7, 0.9}) {
    double best = -1e9;
    for (double hz = 600.0; hz <= 1600.0; hz *= 1.05)
      best = std::max(best, rig.gainDb<TypeParam>(peak, cutoff, hz, 0.01));
    EXPECT_GT(best, previous + 1.0) << peak;
    previous = best;
  }
  EXPECT_GT(previous, 6.0);
}

TYPED_TEST(VoiceFilter, CutoffIndexIsClampedToTheTable) {
  Rig rig;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> noise(-0.5, 0.5);
  std::vector<double> in(2000);
  for (double& v : in) v = noise(rng);
  for (auto [outside, edge] : {std::pair{-500, 0}, std::pair{30000, FilterTables::kMaxIndex}}) {
    TypeParam a, b;
    rig.prepare(a, 0.5, outside);
    rig.prepare(b, 0.5, edge);
    EXPECT_EQ(rig.run(a, in), rig.run(b, in));
  }
}

TYPED_TEST(VoiceFilter, CutoffModulationIsReadFromTheChunkPosition) {
  Rig rig;
  std::vector<double> in(20, 0.3);
  TypeParam a, b;
  rig.prepare(a, 0.3, 5000);
  rig.prepare(b, 0.3, 5000);
  for (int j = 0; j < 44; ++j) rig.mod[j] = j < 24 ? 0 : 3000;
  auto x = in, y = in;
  a.process(x.data(), 20, 24);
  std::fill(rig.mod.begin(), rig.mod.end(), 3000);
  b.process(y.data(), 20, 0);
  EXPECT_EQ(x, y);
}

TYPED_TEST(VoiceFilter, SilenceDecaysWithoutSubnormals) {
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    Rig rig(rate);
    TypeParam f;
    rig.prepare(f, 0.7, 6000);
    std::vector<double> burst(2000, 0.0);
    for (size_t i = 0; i < burst.size(); ++i) burst[i] = std::sin(0.05 * i);
    rig.run(f, burst);
    const auto tail = rig.run(f, std::vector<double>(static_cast<size_t>(rate * 3), 0.0));
    EXPECT_FALSE(voice_test::hasSubnormalOrNan(tail)) << rate;
    for (size_t i = tail.size() - 100; i < tail.size(); ++i) ASSERT_LT(std::abs(tail[i]), 1e-11);
  }
}

TYPED_TEST(VoiceFilter, StableAtEveryRateWithFullModulation) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  std::uniform_int_distribution<int> jump(-3000, 20000);
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    for (double peak : {0.0, 1.0}) {
      Rig rig(rate);
      TypeParam f;
      rig.prepare(f, peak, 0);
      std::vector<double> s(static_cast<size_t>(rate / 2));
      for (double& v : s) v = noise(rng);
      const int period = static_cast<int>(rig.mod.size());
      for (size_t pos = 0; pos < s.size(); pos += period) {
        for (int& m : rig.mod) m = jump(rng);
        f.update(jump(rng));
        f.process(s.data() + pos, static_cast<int>(std::min<size_t>(period, s.size() - pos)), 0);
      }
      for (double v : s) ASSERT_TRUE(std::isfinite(v) && std::abs(v) < 50.0) << rate << " " << v;
    }
  }
}

TEST(FilterTables, LimitCutoffBelowHalfTheSampleRate) {
  FilterTables t;
  t.setSampleRate(44100.0);
  EXPECT_DOUBLE_EQ(t.tanW()[FilterTables::kMaxIndex], std::tan(kPi * 19912.127 / 44100.0));
  EXPECT_DOUBLE_EQ(t.rad()[0], 2 * kPi * 8.176 / 44100.0);
  EXPECT_DOUBLE_EQ(t.tanW()[pitchOf(1000.0)], std::tan(kPi * convert2Hz(pitchOf(1000.0)) / 44100));
  t.setSampleRate(22050.0);
  const double limit = std::tan(kPi * 0.49);
  EXPECT_NEAR(t.tanW()[FilterTables::kMaxIndex], limit, 1e-9);
  for (int i = 1; i < FilterTables::kSize; ++i) {
    ASSERT_GT(t.tanW()[i], 0.0);
    ASSERT_LE(t.tanW()[i], limit + 1e-9);
    ASSERT_GE(t.tanW()[i], t.tanW()[i - 1]);
  }
}

TEST(Korg35, FeedbackFromPeak) {
  Korg35 f;
  EXPECT_DOUBLE_EQ(f.getK(), 0.01);
  f.setPeak(1.0);
  f.update(100);
  EXPECT_DOUBLE_EQ(f.getK(), 1.71);
  EXPECT_EQ(f.getBase(), 100);
  f.setPeak(0.0);
  f.update(0);
  EXPECT_DOUBLE_EQ(f.getK(), 0.01);
}

TEST(Ladder, FeedbackAndGainCompensationFromPeak) {
  Ladder f;
  for (auto [peak, k, comp] :
       {std::tuple{0.0, 0.0, 1.0}, std::tuple{1.0, 4.1, 2.0}, std::tuple{0.5, 2.05, 1.75}}) {
    f.setPeak(peak);
    f.update(0);
    EXPECT_DOUBLE_EQ(f.getFeedback(), k);
    EXPECT_DOUBLE_EQ(f.getGainComp(), comp);
  }
}

TEST(Ladder, FirstNoteStartsFromTheInitialStates) {
  Rig rig;
  Ladder f;
  rig.prepare(f, 0.0, 0);
  std::vector<double> x(1, 0.0);
  f.process(x.data(), 1, 0);
  const double w = rig.tables->rad()[0];
  const double g = w / (w + 2);
  const double d = 1e-13;
  const double s = ((-d * g + 1 - d) * g - d) * g - 1 - d;
  EXPECT_NEAR(x[0], (g * g * g * g * -d + s), 1e-15);
  EXPECT_LT(x[0], -0.99);
}

} // namespace
