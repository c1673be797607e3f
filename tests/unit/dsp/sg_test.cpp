#include "dsp/pitch.h"
#include "dsp/sg.h"
#include "dsp/wavetable_build.h"
#include "tests/unit/dsp/voice_test_signal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using voice_test::zeroCrossingFrequency;

constexpr double kRate = 44100.0;
constexpr int kPeriod = 44;

struct Generator {
  std::vector<int> pitchMod = std::vector<int>(kPeriod, 0);
  std::unique_ptr<SG> sg = std::make_unique<SG>();

  explicit Generator(double wave = 0.0, double scale = 0.3, double rate = kRate) {
    pitchMod.assign(static_cast<size_t>(rate) / 1000, 0);
    sg->setSampleRate(rate, pitchMod.data());
    sg->setWaveForm(wave);
    sg->setScaleBase(scale);
    sg->update(0.25, 0.0);
  }

  // Renders like the engine: update per period, one voice, then next.
  std::vector<double> render(int key, int samples, double pwm = 0.25) {
    std::vector<double> out(static_cast<size_t>(samples), 0.0);
    const int period = static_cast<int>(pitchMod.size());
    for (int pos = 0; pos < samples; pos += period) {
      const int n = std::min(period, samples - pos);
      sg->update(pwm, 0.0);
      sg->process(out.data() + pos, n, key / 12, key % 12, 0);
      sg->next(n);
    }
    return out;
  }
};

double midiHz(double note) {
  return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

TEST(PitchConversion, ExactValuesAtTheEnds) {
  EXPECT_DOUBLE_EQ(convert2Hz(0), 8.176);
  EXPECT_DOUBLE_EQ(convert2Hz(60 * 128), 261.626);
  EXPECT_DOUBLE_EQ(convert2Hz(69 * 128), 440.0);
  EXPECT_DOUBLE_EQ(convert2Hz(64), 8.176 + 64 * (8.662 - 8.176) / 128);
  const double below = convert2Hz(17279);
  EXPECT_DOUBLE_EQ(below, 18794.545 + 127 * (19912.127 - 18794.545) / 128);
  EXPECT_LT(below, 19912.127);
  for (int p : {17280, 17281, 40000, 2147483647}) EXPECT_DOUBLE_EQ(convert2Hz(p), 19912.127) << p;
}

TEST(PitchConversion, NegativePitchesFallBelowMidiNoteZero) {
  EXPECT_DOUBLE_EQ(convert2Hz(-1536), 4.088);
  EXPECT_NEAR(convert2Hz(-64), 0.5 * (8.176 + 8.176 * std::pow(2.0, -1.0 / 12)), 1e-9);
  EXPECT_LT(convert2Hz(-17279), 0.0034);
  EXPECT_GT(convert2Hz(-17279), 0.0033570162);
  for (int p : {-17280, -20000, -2147483647 - 1}) EXPECT_DOUBLE_EQ(convert2Hz(p), 0.0033570162);
  // Monotonic over the whole range.
  for (int p = -17300; p < 17300; ++p) ASSERT_LE(convert2Hz(p), convert2Hz(p + 1)) << p;
}

TEST(SGTables, IncrementsGuardAndLevels) {
  Generator g;
  const SG& sg = *g.sg;
  EXPECT_EQ(sg.phaseIncAt(SG::kGuard), 0);
  EXPECT_EQ(sg.phaseIncAt(0), static_cast<int>(0.0033570162 * 268435456.0 / kRate));
  EXPECT_EQ(sg.phaseIncAt(SG::kNote12Index), static_cast<int>(16.352 * 268435456.0 / kRate));
  int firstLevel1 = -1;
  for (int i = 0; i < SG::kGuard; ++i) {
    const int inc = sg.phaseIncAt(i);
    const int level = sg.levelAt(i);
    ASSERT_GT(inc, 0);
    ASSERT_GE(level, 0);
    ASSERT_LE(level, 10);
    if (i > 0) {
      ASSERT_GE(level, sg.levelAt(i - 1));
    }
    if (firstLevel1 < 0 && level == 1) firstLevel1 = i;
    // The highest harmonic of the chosen level stays below half the sample rate.
    ASSERT_LT(double(1024 >> level) * inc, 134217728.0) << i;
  }
  ASSERT_GT(firstLevel1, 0);
  EXPECT_LT(sg.phaseIncAt(firstLevel1 - 1), 131072);
  EXPECT_GE(sg.phaseIncAt(firstLevel1), 131072);
  // Increments 2^k * 2^16 select level k.
  for (int i = 0; i < SG::kGuard; ++i) {
    const int v = sg.phaseIncAt(i) >> 16;
    if (v == 4) {
      EXPECT_EQ(sg.levelAt(i), 2);
    }
    if (v == 7) {
      EXPECT_EQ(sg.levelAt(i), 2);
    }
    if (v == 8) {
      EXPECT_EQ(sg.levelAt(i), 3);
    }
  }
  EXPECT_EQ(sg.levelAt(SG::kGuard - 1), 10);
}

TEST(SGTables, WavetablesHoldTheirHarmonicsOnly) {
  const double* saw = SG::sawTable();
  const double* tri = SG::triTable();
  const int n = SG::kTableSize;
  for (int t = 0; t < n; t += 97) {
    EXPECT_NEAR(saw[10 * n + t], 0.5 * std::sin(2 * voice_test::kPi * t / n), 1e-12);
    EXPECT_NEAR(tri[10 * n + t], 0.5 * std::cos(2 * voice_test::kPi * t / n), 1e-12);
    EXPECT_EQ(saw[SG::kSilentLevel * n + t], 0.0);
    EXPECT_EQ(tri[SG::kSilentLevel * n + t], 0.0);
  }
  // Level 3 carries 128 harmonics: nothing above, the 128th with weight 0.54 / 2 / 128.
  std::vector<double> level3(saw + 3 * n, saw + 4 * n);
  std::vector<std::complex<double>> bins(200);
  for (int h : {1, 2, 128, 129, 150}) {
    double re = 0, im = 0;
    for (int t = 0; t < n; ++t) {
      re += level3[t] * std::cos(2 * voice_test::kPi * h * t / n);
      im += level3[t] * std::sin(2 * voice_test::kPi * h * t / n);
    }
    const double amp = 2 * std::hypot(re, im) / n;
    if (h == 1) {
      EXPECT_NEAR(amp, 0.5, 1e-9);
    }
    if (h == 128) {
      EXPECT_NEAR(amp, 0.5 * 0.54 / 128, 1e-9);
    }
    if (h > 128) {
      EXPECT_LT(amp, 1e-9);
    }
  }
  // The full-band sawtooth falls linearly through most of its cycle; the triangle peaks at 0.
  EXPECT_NEAR(saw[n / 4], voice_test::kPi / 8, 0.01);
  EXPECT_NEAR(tri[0], 0.5 * voice_test::kPi * voice_test::kPi / 8, 0.01);
}

TEST(SGWaveForm, SelectionBoundaries) {
  struct Case {
    double value;
    int wave;
    bool pulse;
    bool triangle;
  };
  for (const Case& c :
       {Case{0.0, 0, false, true}, Case{0.1669, 0, false, true}, Case{0.167, 1, false, false},
        Case{0.3339, 1, false, false}, Case{0.334, 2, true, false}, Case{0.5, 2, true, false},
        Case{0.5000001, 3, true, false}, Case{1.0, 3, true, false}}) {
    SG sg;
    sg.setWaveForm(c.value);
    EXPECT_EQ(sg.getWaveForm(), c.wave) << c.value;
    EXPECT_EQ(sg.isPulse(), c.pulse) << c.value;
    EXPECT_EQ(sg.isTriangle(), c.triangle) << c.value;
  }
  SG sg;
  sg.setWaveForm(0.5000001);
  EXPECT_LT(sg.getPulseWidth(), 0.525);
  EXPECT_GT(sg.getPulseWidth(), 0.5249);
  sg.setWaveForm(1.0);
  EXPECT_DOUBLE_EQ(sg.getPulseWidth(), 0.05);
}

TEST(SGUpdate, ScaleBoundariesAndPulseWidth) {
  Generator g(0.4);
  for (auto [base, mod, scale] :
       {std::tuple{0.2499, 0.0, 0}, std::tuple{0.25, 0.0, 1}, std::tuple{0.4999, 0.0, 1},
        std::tuple{0.5, 0.0, 2}, std::tuple{0.75, 0.0, 3}, std::tuple{0.1, 0.15, 1},
        std::tuple{0.9, -0.9, 0}}) {
    g.sg->setScaleBase(base);
    g.sg->update(0.25, mod);
    EXPECT_EQ(g.sg->getScale(), scale) << base << " " << mod;
  }
  g.sg->update(0.25, 0.0);
  EXPECT_DOUBLE_EQ(g.sg->getPulseWidth(), 0.75);
  g.sg->update(0.5, 0.0);
  EXPECT_DOUBLE_EQ(g.sg->getPulseWidth(), 1.0);
  // The fixed pulse ignores the modulated width.
  g.sg->setWaveForm(0.8);
  g.sg->update(0.0, 0.0);
  EXPECT_DOUBLE_EQ(g.sg->getPulseWidth(), 0.2 * 0.95 + 0.05);
}

TEST(SGUpdate, TuningOffsetsMovePitchClasses) {
  Generator g;
  SG& sg = *g.sg;
  sg.setTotalTune(100);
  sg.update(0.25, 0.0);
  for (int k = 0; k < 12; ++k)
    EXPECT_EQ(sg.getPhaseInc(k), sg.phaseIncAt(SG::kNote12Index + 128 * k + 100));
  sg.setTotalTune(0);
  sg.setTuning(0, 128);
  sg.update(0.25, 0.0);
  EXPECT_EQ(sg.getPhaseInc(0), sg.phaseIncAt(SG::kNote12Index + 128)); // C sounds as C#
  EXPECT_EQ(sg.getPhaseInc(1), sg.phaseIncAt(SG::kNote12Index + 128));
  sg.setFineTune(-5);
  EXPECT_EQ(sg.getOffset(0), 123);
  EXPECT_EQ(sg.getOffset(5), -5);
  // Only the first sample of the pitch buffer counts for the shared increments.
  g.pitchMod[0] = 1536;
  g.pitchMod[1] = 99999;
  sg.update(0.25, 0.0);
  EXPECT_EQ(sg.getPhaseInc(5), sg.phaseIncAt(SG::kNote12Index + 128 * 5 - 5 + 1536));
  // Out-of-range indices take the first entry or the guard.
  g.pitchMod[0] = -100000;
  sg.update(0.25, 0.0);
  EXPECT_EQ(sg.getPhaseInc(3), sg.phaseIncAt(0));
  g.pitchMod[0] = 100000;
  sg.update(0.25, 0.0);
  EXPECT_EQ(sg.getPhaseInc(3), 0);
}

TEST(SGProcess, FootagesSoundTheRightNote) {
  // Triangle: one clean zero crossing per cycle.
  struct Case {
    double scale;
    int key;
    double note;
  };
  for (const Case& c : {Case{0.0, 24, 12.0}, Case{0.3, 60, 60.0}, Case{0.3, 69, 69.0},
                        Case{0.0, 69, 57.0}, Case{0.6, 57, 69.0}, Case{0.9, 45, 69.0}}) {
    Generator g(0.0, c.scale);
    const auto out = g.render(c.key, 44100);
    EXPECT_NEAR(zeroCrossingFrequency(out, kRate) / midiHz(c.note), 1.0, 0.002)
        << c.key << " at scale " << c.scale;
  }
}

TEST(SGProcess, KeysBelowTheFootageAndAboveTheTableAreSilent) {
  Generator low(1.0 / 4, 0.0); // sawtooth at 16'
  const auto silent = low.render(23, 1000);
  EXPECT_EQ(voice_test::rms(silent), 0.0);
  EXPECT_GT(voice_test::rms(low.render(24, 1000)), 0.1);
  Generator eight(1.0 / 4, 0.3); // 8': below key 12
  EXPECT_EQ(voice_test::rms(eight.render(11, 1000)), 0.0);
  Generator high(1.0 / 4, 0.9); // key 127 at 2' exceeds the table
  EXPECT_EQ(voice_test::rms(high.render(127, 1000)), 0.0);
  EXPECT_GT(voice_test::rms(high.render(100, 1000)), 0.1);
}

TEST(SGProcess, GuardIndexHoldsThePhase) {
  for (double wave : {0.2, 0.45, 0.7}) {
    Generator g(wave, 0.3);
    std::vector<int> mod(200, 0);
    g.sg->setSampleRate(kRate, mod.data());
    g.sg->setWaveForm(wave);
    g.sg->update(0.25, 0.0);
    g.sg->next(12345);
    std::vector<double> ref(200, 0.0), out(200, 0.0);
    g.sg->process(ref.data(), 200, 5, 0, 0);
    for (int j = 50; j < 60; ++j) mod[j] = 40000;
    g.sg->process(out.data(), 200, 5, 0, 0);
    for (int j = 0; j < 50; ++j) ASSERT_EQ(out[j], ref[j]);
    for (int j = 50; j < 60; ++j) ASSERT_EQ(out[j], 0.0);
    for (int j = 60; j < 200; ++j) ASSERT_EQ(out[j], ref[j - 10]) << wave << " " << j;
  }
}

TEST(SGProcess, PulseWidthsAndPositionInThePeriod) {
  // "PWM" without modulation: width 0.75, high for a quarter of the cycle.
  for (auto [wave, pwm, highFraction] :
       {std::tuple{0.45, 0.25, 0.25}, std::tuple{0.45, 0.0, 0.5}, std::tuple{1.0, 0.25, 0.95}}) {
    Generator g(wave, 0.3);
    const auto out = g.render(36, 44100, pwm);
    double lo = 1e9, hi = -1e9;
    for (double v : out) lo = std::min(lo, v), hi = std::max(hi, v);
    int above = 0;
    for (double v : out) above += v > 0.5 * (lo + hi);
    EXPECT_NEAR(double(above) / out.size(), highFraction, 0.01) << wave;
  }
  // process reads the pitch buffer from the chunk's position.
  Generator g(0.2, 0.3);
  g.pitchMod.assign(44, 0);
  for (int j = 20; j < 44; ++j) g.pitchMod[j] = 1536;
  std::vector<double> a(10, 0.0), b(10, 0.0);
  g.sg->process(a.data(), 10, 5, 0, 20);
  std::fill(g.pitchMod.begin(), g.pitchMod.end(), 1536);
  g.sg->process(b.data(), 10, 5, 0, 0);
  EXPECT_EQ(a, b);
}

TEST(SGNext, AdvancesSharedPhasesModulo28Bits) {
  Generator g;
  g.sg->update(0.25, 0.0);
  const int inc = g.sg->getPhaseInc(7);
  g.sg->next(44);
  EXPECT_EQ(g.sg->getPhase(7), (uint32_t(inc) * 44u) & SG::kPhaseMask);
  for (int i = 0; i < 100000; ++i) g.sg->next(44);
  for (int k = 0; k < 12; ++k) EXPECT_LE(g.sg->getPhase(k), SG::kPhaseMask);
}

TEST(SGProcess, BoundedAtEverySampleRate) {
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    for (double wave : {0.0, 0.2, 0.45, 0.9}) {
      Generator g(wave, 0.6, rate);
      for (int key : {0, 30, 60, 96, 127}) {
        const auto out = g.render(key, 2000);
        for (double v : out) ASSERT_TRUE(std::isfinite(v) && std::abs(v) < 2.0) << rate;
      }
    }
  }
}

} // namespace

// The tables compiled into the engine are the construction's result, bit for bit.
TEST(SGTables, CompiledWavetablesEqualTheirConstruction) {
  std::vector<double> saw(kWavetableLevels * kWavetableSize);
  std::vector<double> tri(kWavetableLevels * kWavetableSize);
  buildWavetables(saw.data(), tri.data());
  EXPECT_EQ(std::memcmp(saw.data(), SG::sawTable(), saw.size() * sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(tri.data(), SG::triTable(), tri.size() * sizeof(double)), 0);
}
