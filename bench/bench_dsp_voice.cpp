// Cost per sample of one voice's path (two generators, filter, envelope) and of the envelopes.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "dsp/em.h"
#include "dsp/filter_tables.h"
#include "dsp/geg.h"
#include "dsp/k35.h"
#include "dsp/ladder.h"
#include "dsp/sg.h"
#include "dsp/voice.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kPeriod = 44; // one control period at 44.1 kHz

void perSample(benchmark::State& state, int samplesPerIteration) {
  state.SetItemsProcessed(state.iterations() * samplesPerIteration);
  // Shown as seconds per sample with an SI prefix ("n" = ns).
  state.counters["ns_per_sample"] =
      benchmark::Counter(double(state.iterations()) * samplesPerIteration,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// One voice rendered as the engine does: generators and voice updated once per period, pitch
// and cutoff modulated every sample so the filter recomputes its coefficients every sample.
void voicePath(benchmark::State& state, bool ladder, double wave) {
  std::vector<int> pitch1(kPeriod), pitch2(kPeriod), cutoff(kPeriod);
  for (int j = 0; j < kPeriod; ++j) {
    pitch1[j] = (j * 37) % 200 - 100; // vibrato-like wobble
    pitch2[j] = pitch1[j] + 7;
    cutoff[j] = (j * 53) % 800 - 400;
  }
  auto tables = std::make_unique<FilterTables>();
  tables->setSampleRate(kRate);
  auto sg1 = std::make_unique<SG>(), sg2 = std::make_unique<SG>();
  sg1->setSampleRate(kRate, pitch1.data());
  sg2->setSampleRate(kRate, pitch2.data());
  sg1->setWaveForm(wave);
  sg2->setWaveForm(wave);
  sg1->setScaleBase(0.3);
  sg2->setScaleBase(0.3);
  auto voice = std::make_unique<Voice>();
  voice->setGenerators(sg1.get(), sg2.get());
  voice->setSampleRate(kRate, *tables, cutoff.data());
  voice->setParam(Voice::kFilterType, ladder ? 1.0 : 0.0);
  voice->setParam(Voice::kPeak, 0.6);
  voice->setParam(Voice::kSustain, 0.8);
  voice->setParam(Voice::kKbdBalance, 0.5);
  voice->setNoteOn(60, 1, 1.0);
  std::vector<double> mix(kPeriod, 0.0);
  for (auto _ : state) {
    sg1->update(0.25, 0.0);
    sg2->update(0.25, 0.0);
    voice->update(9000);
    voice->process(mix.data(), kPeriod, 0);
    sg1->next(kPeriod);
    sg2->next(kPeriod);
    benchmark::DoNotOptimize(mix.data());
    benchmark::ClobberMemory();
  }
  perSample(state, kPeriod);
}

void BM_VoiceKorg35Saw(benchmark::State& state) {
  voicePath(state, false, 0.2);
}
void BM_VoiceLadderSaw(benchmark::State& state) {
  voicePath(state, true, 0.2);
}
void BM_VoiceKorg35Pulse(benchmark::State& state) {
  voicePath(state, false, 0.45);
}
void BM_VoiceLadderPulse(benchmark::State& state) {
  voicePath(state, true, 0.45);
}

// The parts of the path on their own: both generators, then each filter with per-sample cutoff.
void BM_TwoGenerators(benchmark::State& state) {
  std::vector<int> pitch(kPeriod);
  for (int j = 0; j < kPeriod; ++j) pitch[j] = (j * 37) % 200 - 100;
  auto sg1 = std::make_unique<SG>(), sg2 = std::make_unique<SG>();
  for (SG* sg : {sg1.get(), sg2.get()}) {
    sg->setSampleRate(kRate, pitch.data());
    sg->setWaveForm(0.2);
    sg->setScaleBase(0.3);
  }
  std::vector<double> buf(kPeriod, 0.0);
  for (auto _ : state) {
    sg1->update(0.25, 0.0);
    sg2->update(0.25, 0.0);
    sg1->process(buf.data(), kPeriod, 5, 0, 0);
    sg2->process(buf.data(), kPeriod, 5, 0, 0);
    sg1->next(kPeriod);
    sg2->next(kPeriod);
    benchmark::DoNotOptimize(buf.data());
    benchmark::ClobberMemory();
  }
  perSample(state, kPeriod);
}

template <class Filter> void filterOnly(benchmark::State& state) {
  std::vector<int> cutoff(kPeriod);
  for (int j = 0; j < kPeriod; ++j) cutoff[j] = (j * 53) % 800 - 400;
  auto tables = std::make_unique<FilterTables>();
  tables->setSampleRate(kRate);
  Filter f;
  f.setSampleRate(*tables);
  f.setCutoffMod(cutoff.data());
  f.setPeak(0.6);
  f.update(9000);
  std::vector<double> buf(kPeriod);
  for (auto _ : state) {
    for (int j = 0; j < kPeriod; ++j) buf[j] = (j & 8) ? 0.5 : -0.5;
    f.process(buf.data(), kPeriod, 0);
    benchmark::DoNotOptimize(buf.data());
    benchmark::ClobberMemory();
  }
  perSample(state, kPeriod);
}

void BM_Korg35(benchmark::State& state) {
  filterOnly<Korg35>(state);
}
void BM_Ladder(benchmark::State& state) {
  filterOnly<Ladder>(state);
}

void BM_EMStep(benchmark::State& state) {
  EM em;
  em.setSampleRate(float(kRate));
  em.setAttack(0.6);
  em.setSustain(0.5);
  em.start();
  for (auto _ : state) {
    for (int j = 0; j < kPeriod; ++j) em.update();
    benchmark::DoNotOptimize(em.getValue());
  }
  perSample(state, kPeriod);
}

void BM_GEGStep(benchmark::State& state) {
  GEG geg;
  geg.setSampleRate(kRate);
  geg.setDelay(0.2);
  geg.setAttack(0.9);
  geg.start();
  for (auto _ : state) {
    for (int j = 0; j < kPeriod; ++j) geg.update();
    benchmark::DoNotOptimize(*geg.positiveOutput());
  }
  perSample(state, kPeriod);
}

BENCHMARK(BM_VoiceKorg35Saw);
BENCHMARK(BM_VoiceLadderSaw);
BENCHMARK(BM_VoiceKorg35Pulse);
BENCHMARK(BM_VoiceLadderPulse);
BENCHMARK(BM_TwoGenerators);
BENCHMARK(BM_Korg35);
BENCHMARK(BM_Ladder);
BENCHMARK(BM_EMStep);
BENCHMARK(BM_GEGStep);

} // namespace

BENCHMARK_MAIN();
