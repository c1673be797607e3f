#include "dsp/filter_tables.h"

#include "dsp/pitch.h"

#include <algorithm>
#include <cmath>

FilterTables::FilterTables()
    : freq2tanW(kSize, 0.0), freq2rad(kSize, 0.0), korg35Coef(kSize), ladderCoef(kSize) {
  setSampleRate(44100.0);
}

void FilterTables::setSampleRate(double rate) {
  if (!(rate >= 1.0)) return;
  sampleRate = rate;
  constexpr double kPi = 3.14159265358979323846;
  const double maxHz = kMaxCutoffRatio * rate;
  for (int i = 0; i < kSize; ++i) {
    const double hz = std::min(convert2Hz(i), maxHz);
    freq2tanW[i] = std::tan(kPi * hz / rate);
    freq2rad[i] = 2.0 * kPi * hz / rate;
    const double g = freq2tanW[i];
    korg35Coef[i] = {g / (1.0 + g), -1.0 / (1.0 + g), 1.0 + g, 0.0};
    const double w = freq2rad[i];
    const double G = w / (w + 2.0);
    ladderCoef[i] = {G, (w - 2.0) / (w + 2.0), G * G * G * G, 0.0};
  }
}
