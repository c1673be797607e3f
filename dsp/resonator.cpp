#include "dsp/resonator.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Highest centre in radians per sample, as for the equaliser bands: past half the rate sin(w)
// turns negative and the filter grows without bound (below 20 kHz the 10 kHz top gets there).
constexpr double kMaxW = 0.95 * M_PI;
// No control value can equal it, so the first update always computes the band.
const double kNoControl = std::numeric_limits<double>::quiet_NaN();

void rateTerms(double sampleRate, double& wMin, double& wMax, double& smoothIn,
               double& smoothKeep) {
  wMin = 2.0 * M_PI * 80.0 / sampleRate;
  wMax = 2.0 * M_PI * 10000.0 / sampleRate;
  smoothKeep = std::exp(-2.0 * M_PI * 2000.0 / sampleRate);
  smoothIn = 1.0 - smoothKeep;
}
} // namespace

Resonator::Resonator() : lastControl(kNoControl) {
  rateTerms(44100.0, wMin, wMax, smoothIn, smoothKeep);
}

void Resonator::setSampleRate(double sampleRate) {
  rateTerms(sampleRate, wMin, wMax, smoothIn, smoothKeep);
  coefX = coefY1 = coefY2 = 0.0;
  modSmoothed = 0.0;
  lastControl = kNoControl;
  x1 = x2 = y1 = y2 = 0.0;
  frequency = 0.5;
  intensity = 0.0;
}

void Resonator::update(double modulation) {
  // A broken modulation value must not poison the smoother for good.
  if (!std::isfinite(modulation)) modulation = 0.25;
  modSmoothed = modulation * smoothIn + modSmoothed * smoothKeep;
  const double v = modSmoothed + frequency;
  if (v == lastControl) return;
  lastControl = v;
  const double v2 = v * v;
  const double p = v > 1.0 ? 1.0 : (v > 0.0 ? v2 * v2 : 0.0);
  const double w = std::min(wMin + (wMax - wMin) * p, kMaxW);
  const double s = std::sin(w) / 4.0;
  coefX = 2.0 * s / (1.0 + s);
  coefY1 = 2.0 * std::cos(w) / (1.0 + s);
  coefY2 = (s - 1.0) / (1.0 + s);
}

void Resonator::process(const double* input, double* output, int count) {
  const double third = 1.0 / 3.0;
  for (int i = 0; i < count; ++i) {
    const double d = denormal;
    denormal = -d;
    const double x = input[i] + d;
    const double xm1 = x1 + d, xm2 = x2 + d, ym1 = y1 + d, ym2 = y2 + d;
    const double y = coefX * (x - xm2) + coefY1 * ym1 + coefY2 * ym2;
    x2 = xm1;
    x1 = x;
    y2 = ym1;
    y1 = y;
    output[i] += x * third + intensity * (2.0 * y * third - x * third);
  }
}
