// Cost per sample of the modulation generators and the output sections (bus effects).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "dsp/clock.h"
#include "dsp/ensemble.h"
#include "dsp/mg.h"
#include "dsp/peak_eq.h"
#include "dsp/resonator.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kPeriod = 44; // one control period at 44.1 kHz

std::vector<double> testSignal() {
  std::vector<double> x(kPeriod);
  for (int i = 0; i < kPeriod; ++i) x[i] = std::sin(0.3 * i) * 0.5;
  return x;
}

void perSample(benchmark::State& state, int samplesPerIteration) {
  state.SetItemsProcessed(state.iterations() * samplesPerIteration);
  state.counters["ns_per_sample"] =
      benchmark::Counter(double(state.iterations()) * samplesPerIteration,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// MG1 at audio rate with the clock ticking, as the engine steps them every sample.
void BM_MG1AudioRate(benchmark::State& state) {
  Clock clock;
  clock.setSampleRate(kRate);
  ITimeInfo t;
  clock.synchronize(t);
  MG mg(&clock);
  mg.setWaveForm(state.range(0) / 5.0);
  mg.setPeriod(int(kRate / 5.0));
  double sink = 0.0;
  for (auto _ : state) {
    for (int i = 0; i < kPeriod; ++i) {
      clock.tick();
      mg.update();
      sink += mg.getOutput();
    }
    benchmark::DoNotOptimize(sink);
  }
  perSample(state, kPeriod);
}
BENCHMARK(BM_MG1AudioRate)->Arg(MG::Triangle)->Arg(MG::PinkNoise);

// The generator alone (free-running), without the clock.
void BM_MG1Alone(benchmark::State& state) {
  MG mg(nullptr);
  mg.setWaveForm(state.range(0) / 5.0);
  mg.setPeriod(int(kRate / 5.0));
  double sink = 0.0;
  for (auto _ : state) {
    for (int i = 0; i < kPeriod; ++i) {
      mg.update();
      sink += mg.getOutput();
    }
    benchmark::DoNotOptimize(sink);
  }
  perSample(state, kPeriod);
}
BENCHMARK(BM_MG1Alone)->Arg(MG::Triangle)->Arg(MG::Square)->Arg(MG::PinkNoise);

void BM_ClockTick(benchmark::State& state) {
  Clock clock;
  clock.setSampleRate(kRate);
  ITimeInfo t;
  clock.synchronize(t);
  for (auto _ : state) {
    for (int i = 0; i < kPeriod; ++i) clock.tick();
    benchmark::DoNotOptimize(clock.getCounter(20));
  }
  perSample(state, kPeriod);
}
BENCHMARK(BM_ClockTick);

void BM_ThreeResonators(benchmark::State& state) {
  Resonator rs[3];
  for (int k = 0; k < 3; ++k) {
    rs[k].setSampleRate(kRate);
    rs[k].setFrequency(0.2 + 0.2 * k);
    rs[k].setIntensity(0.8);
  }
  const std::vector<double> in = testSignal();
  std::vector<double> out(kPeriod);
  double mod = 0.25;
  for (auto _ : state) {
    mod = mod > 0.9 ? 0.1 : mod + 0.001; // moving modulation: coefficients every period
    for (Resonator& r : rs) r.update(mod);
    std::fill(out.begin(), out.end(), 0.0);
    for (Resonator& r : rs) r.process(in.data(), out.data(), kPeriod);
    benchmark::DoNotOptimize(out.data());
  }
  perSample(state, kPeriod);
}
BENCHMARK(BM_ThreeResonators);

void BM_SevenEqBands(benchmark::State& state) {
  PeakEQ eq[7];
  for (int k = 0; k < 7; ++k) {
    eq[k].setSampleRate(float(kRate));
    eq[k].setCenter(125.0 * (1 << k));
    eq[k].setGain(3.0 + k);
  }
  std::vector<double> buf = testSignal();
  for (auto _ : state) {
    for (PeakEQ& band : eq) band.process(buf.data(), kPeriod);
    benchmark::DoNotOptimize(buf.data());
    for (double& v : buf) v *= 0.25; // keep the level bounded
  }
  perSample(state, kPeriod);
}
BENCHMARK(BM_SevenEqBands);

void BM_Ensemble(benchmark::State& state) {
  Ensemble e;
  e.setSampleRate(kRate);
  e.setPlayingDefaults();
  e.setWet(0.5);
  const std::vector<double> in = testSignal();
  std::vector<double> buf(kPeriod);
  for (auto _ : state) {
    buf = in;
    e.update();
    e.process(buf.data(), kPeriod);
    benchmark::DoNotOptimize(buf.data());
  }
  perSample(state, kPeriod);
}
BENCHMARK(BM_Ensemble);

} // namespace

BENCHMARK_MAIN();
