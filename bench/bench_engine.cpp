// Cost of the whole engine as a host sees it: 48 kHz, 512-frame blocks, 1 to 64 held notes,
// for the default sound and a heavy patch, with the voices one by one and in SIMD lanes. Reported
// as a realtime factor and nanoseconds per voice-sample, beside a reference loop in the same
// process so noisy machines compare fairly.
#include "plugin/varnel.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;

void set(Varnel& plug, int index, double value) {
  plug.GetParam(index)->SetValue(value);
  plug.OnParamChange(index);
}

std::unique_ptr<Varnel> makeEngine(bool heavy, int notes, VoiceLanes::Path path) {
  auto plug = std::make_unique<Varnel>();
  plug->voicePath = path;
  plug->SetSampleRate(kRate);
  plug->SetBlockSize(kBlock);
  plug->OnReset();
  for (int i = 0; i < kNumParams; ++i) plug->GetParam(i)->SetValue(plug->GetParam(i)->GetDefault());
  plug->OnActivate(true);
  if (heavy) {
    set(*plug, kSg1Wave, 0.45); // PWM
    set(*plug, kSg2Wave, 0.25);
    set(*plug, kK35Lp4, 1);
    set(*plug, kFcMod, 1);
    set(*plug, kFcMg1, 0.3);
    set(*plug, kMg1Freq, 200);
    set(*plug, kRsInt, 0.5);
    for (int band = kEq8k; band <= kEq125; ++band) set(*plug, band, 6);
    set(*plug, kEnsembl, 0.5);
  }
  for (int n = 0; n < notes; ++n) {
    IMidiMsg on;
    on.status = 0x90;
    on.data1 = static_cast<uint8_t>(36 + n);
    on.data2 = 100;
    plug->ProcessMidiMsg(on);
  }
  return plug;
}

void engine(benchmark::State& state, bool heavy) {
  const int notes = static_cast<int>(state.range(0));
  const auto path = static_cast<VoiceLanes::Path>(state.range(1));
  if (!VoiceLanes::isSupported(path)) {
    state.SkipWithError("this CPU lacks the instruction set");
    return;
  }
  state.SetLabel(VoiceLanes::name(path));
  auto plug = makeEngine(heavy, notes, path);
  std::vector<double> left(kBlock), right(kBlock);
  double* outputs[2] = {left.data(), right.data()};
  plug->ProcessBlock(nullptr, outputs, kBlock); // notes start
  for (auto _ : state) {
    plug->ProcessBlock(nullptr, outputs, kBlock);
    benchmark::DoNotOptimize(left.data());
  }
  const double samples = static_cast<double>(state.iterations()) * kBlock;
  state.counters["realtime"] =
      benchmark::Counter(samples / kRate, benchmark::Counter::kIsRate); // audio s per CPU s
  state.counters["ns_per_voice_sample"] = benchmark::Counter(
      samples * notes, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A plain 64-voice sawtooth with a one-pole low-pass: the yardstick for this machine's speed.
void reference(benchmark::State& state) {
  const int voices = 64;
  std::vector<double> phase(voices), increment(voices), lowpass(voices), out(kBlock);
  for (int v = 0; v < voices; ++v) increment[v] = 440.0 * std::pow(2.0, (v - 32) / 12.0) / kRate;
  for (auto _ : state) {
    std::fill(out.begin(), out.end(), 0.0);
    for (int v = 0; v < voices; ++v) {
      double p = phase[v], y = lowpass[v];
      for (int j = 0; j < kBlock; ++j) {
        p += increment[v];
        p -= std::floor(p);
        y += 0.2 * (2.0 * p - 1.0 - y);
        out[j] += y;
      }
      phase[v] = p;
      lowpass[v] = y;
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["ns_per_voice_sample"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kBlock * voices,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(reference)->Name("Reference/naive_saw_64_voices");
// Each note count with the voices one by one (0, the reference the lanes are checked against),
// in two lanes (1, SSE2) and in four (2, AVX2).
void notesAndPaths(benchmark::internal::Benchmark* b) {
  b->ArgNames({"notes", "path"});
  for (int notes : {1, 8, 16, 32, 64})
    for (int path = 0; path <= 2; ++path) b->Args({notes, path});
}
BENCHMARK_CAPTURE(engine, default, false)->Apply(notesAndPaths);
BENCHMARK_CAPTURE(engine, heavy, true)->Apply(notesAndPaths);
BENCHMARK_MAIN();
