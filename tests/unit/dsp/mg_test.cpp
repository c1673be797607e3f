#include "dsp/mg.h"
#include "tools/render/fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/clock.h"

namespace {

std::vector<double> run(MG& mg, int steps) {
  std::vector<double> out;
  for (int i = 0; i < steps; ++i) {
    mg.update();
    out.push_back(mg.getOutput());
  }
  return out;
}

struct WaveCase {
  int waveForm;
  double periodOne;            // the x = 0 value
  std::vector<double> period5; // first six steps from construction
};

TEST(MG, WaveformsOverACycleAndAtPeriodOne) {
  const WaveCase cases[] = {
      {MG::Triangle, 1.0, {-1.0, -1.0, 0.0, 1.0, 0.0, -1.0}},
      {MG::SawDown, 0.0, {-1.0, 1.0, 0.5, 0.0, -0.5, -1.0}},
      {MG::SawUp, 0.0, {1.0, -1.0, -0.5, 0.0, 0.5, 1.0}},
      {MG::Square, -1.0, {-1.0, 1.0, 1.0, -1.0, -1.0, -1.0}},
  };
  Clock clock;
  for (const WaveCase& wc : cases) {
    MG one(&clock);
    one.setWaveForm(wc.waveForm / 5.0);
    ASSERT_EQ(one.getWaveForm(), wc.waveForm);
    for (double v : run(one, 4)) EXPECT_DOUBLE_EQ(v, wc.periodOne) << wc.waveForm;

    MG five(&clock);
    five.setWaveForm(wc.waveForm / 5.0);
    five.setPeriod(5);
    const std::vector<double> out = run(five, 6);
    for (size_t i = 0; i < out.size(); ++i)
      EXPECT_DOUBLE_EQ(out[i], wc.period5[i]) << "wave " << wc.waveForm << " step " << i;
  }
}

TEST(MG, WaveFormSelectionRoundsAndClamps) {
  const std::pair<double, int> cases[] = {{0.0, 0},  {0.09, 0},        {0.1, 1}, {0.5, 3},
                                          {0.69, 3}, {0.7, 4},         {1.0, 5}, {3.0, 5},
                                          {-2.0, 0}, {std::nan(""), 0}};
  MG mg(nullptr);
  for (const auto& c : cases) {
    mg.setWaveForm(c.first);
    EXPECT_EQ(mg.getWaveForm(), c.second) << c.first;
  }
}

TEST(MG, TopFrequencyIs29SamplesAtCdRateWithOneTriggerPerCycle) {
  MG mg(nullptr);
  const int period = static_cast<int>(44100.0 / 1500.0);
  ASSERT_EQ(period, 29);
  mg.setPeriod(period);
  std::vector<int> triggerSteps;
  std::vector<double> out;
  for (int i = 0; i < 29 * 10; ++i) {
    mg.update();
    out.push_back(mg.getOutput());
    if (mg.isTrigger()) triggerSteps.push_back(i);
  }
  ASSERT_GE(triggerSteps.size(), 9u);
  for (size_t i = 1; i < triggerSteps.size(); ++i)
    EXPECT_EQ(triggerSteps[i] - triggerSteps[i - 1], 29);
  for (size_t i = 29; i < out.size(); ++i) EXPECT_DOUBLE_EQ(out[i], out[i - 29]);
}

TEST(MG, PeriodChangeKeepsThePhaseInProportion) {
  MG mg(nullptr);
  mg.setPeriod(100);
  for (int i = 0; i < 51; ++i) mg.update(); // counter 49 of 100
  ASSERT_EQ(mg.getCounter(), 49);
  mg.setPeriod(200);
  EXPECT_EQ(mg.getCounter(), 98);
  EXPECT_EQ(mg.getPeriod(), 200);
}

TEST(MG, LongPeriodsDoNotOverflowThePhaseScaling) {
  // 0.05 Hz at 192 kHz: 3.84 million samples; counter × period exceeds 32 bits.
  MG mg(nullptr);
  mg.setPeriod(3840000);
  mg.update(); // counter wraps to period - 1
  ASSERT_EQ(mg.getCounter(), 3839999);
  mg.setPeriod(3000000);
  EXPECT_EQ(mg.getCounter(), static_cast<int>(3839999LL * 3000000 / 3840000));
}

TEST(MG, PeriodZeroBeforeTheRateIsKnownIsHarmless) {
  MG mg(nullptr);
  mg.setPeriod(0); // "MG1 Freq" before the first reset
  for (double v : run(mg, 10)) EXPECT_TRUE(std::isfinite(v));
  mg.setPeriod(441); // from period 0: no division, the phase restarts
  EXPECT_EQ(mg.getCounter(), 0);
  EXPECT_EQ(mg.getPeriod(), 441);
  mg.setPeriod(-5);
  EXPECT_EQ(mg.getPeriod(), 0);
  for (double v : run(mg, 3)) EXPECT_TRUE(std::isfinite(v));
}

TEST(MG, SyncedFollowsTheClockAndPeriodOnlyRecordsTheBase) {
  Clock clock;
  clock.setSampleRate(48000.0);
  ITimeInfo t;
  t.tempo = 120.0;
  t.ppqPos = 0.0;
  clock.synchronize(t);
  MG mg(&clock);
  mg.setPeriod(1000);
  mg.setSyncRate(10); // quarter note: 24000 samples
  mg.setPeriod(480);
  EXPECT_EQ(mg.getBasePeriod(), 480);
  for (int i = 0; i < 5000; ++i) {
    clock.tick();
    mg.update();
    ASSERT_EQ(mg.getCounter(), clock.getCounter(10));
  }
  EXPECT_EQ(mg.getPeriod(), 24000);
  mg.setSyncRate(0);
  mg.setPeriod(mg.getBasePeriod()); // what the dispatch does when "MG1 Host" returns to off
  EXPECT_EQ(mg.getPeriod(), 480);
  EXPECT_FALSE(mg.isSynced());
  EXPECT_GE(mg.getCounter(), 0);
  EXPECT_LT(mg.getCounter(), 480);
}

// Power spectrum averaged over blocks.
std::vector<double> powerSpectrum(const std::vector<double>& x, int n) {
  std::vector<double> power(n / 2, 0.0);
  for (size_t start = 0; start + n <= x.size(); start += n) {
    std::vector<std::complex<double>> a(x.begin() + start, x.begin() + start + n);
    vrender::fft(a);
    for (int k = 0; k < n / 2; ++k) power[k] += std::norm(a[k]);
  }
  return power;
}

double bandPower(const std::vector<double>& p, int lo, int hi) {
  double s = 0.0;
  for (int k = lo; k < hi; ++k) s += p[k];
  return s;
}

TEST(MG, NoiseIsDeterministicBoundedAndPinkFallsThreeDbPerOctave) {
  MG::seedNoise(1);
  const double first = MG::getNoise();
  EXPECT_DOUBLE_EQ(first, 16807 * 4.6566129e-10);
  MG::seedNoise(1);
  EXPECT_DOUBLE_EQ(MG::getNoise(), first);

  MG white(nullptr), pink(nullptr);
  white.setWaveForm(1.0);
  pink.setWaveForm(0.8);
  const std::vector<double> w = run(white, 1 << 16), p = run(pink, 1 << 16);
  for (double v : w) ASSERT_LE(std::fabs(v), 1.0);
  const std::vector<double> pw = powerSpectrum(w, 1024), pp = powerSpectrum(p, 1024);
  // Equal-width octaves: white doubles per octave (+3 dB), pink stays level.
  const double whiteRatio = bandPower(pw, 128, 256) / bandPower(pw, 64, 128);
  const double pinkRatio = bandPower(pp, 128, 256) / bandPower(pp, 64, 128);
  EXPECT_NEAR(10.0 * std::log10(whiteRatio), 3.0, 0.5);
  EXPECT_NEAR(10.0 * std::log10(pinkRatio), 0.0, 0.7);
}

} // namespace
