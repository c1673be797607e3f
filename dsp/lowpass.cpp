#include "dsp/lowpass.h"

#include <cmath>

void LowPass::setSampleRate(float sampleRate) {
  radPerHz = 2.0 * M_PI / sampleRate;
  x1 = x2 = y1 = y2 = 0.0;
  calcCoeff();
}

void LowPass::setCutOff(double frequency) {
  cutoff = frequency;
  calcCoeff();
}

void LowPass::calcCoeff() {
  // Held below half the rate, as the equaliser bands are: past it sin(w) turns negative and the
  // filter grows without bound (the fixed 7 kHz corner gets there below 14 kHz).
  const double w = std::fmin(cutoff * radPerHz, 0.95 * M_PI);
  const double cosW = std::cos(w);
  const double alpha = std::sin(w) / std::sqrt(2.0);
  const double a0 = 1.0 + alpha;
  c1 = 2.0 * cosW / a0;
  c2 = (alpha - 1.0) / a0;
  b0 = (1.0 - cosW) / 2.0 / a0;
  b1 = (1.0 - cosW) / a0;
}
