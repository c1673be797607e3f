#include "dsp/peak_eq.h"

#include <cmath>

PeakEQ::PeakEQ() {
  setCenter(1000.0);
}

void PeakEQ::setCenter(double frequency) {
  // Keep the centre off 0 and Nyquist, where the octave bandwidth term is undefined or explodes.
  const double w = std::fmin(std::fmax(2.0 * M_PI * frequency * invSampleRate, 1e-6), 0.95 * M_PI);
  const double sinW = std::sin(w);
  cosW = std::cos(w);
  alpha = sinW * std::sinh(std::log(2.0) / 2.0 * w / sinW);
  calcCoeff();
}

void PeakEQ::setGain(double gain) {
  A = std::pow(10.0, 0.025 * gain);
  calcCoeff();
}

void PeakEQ::calcCoeff() {
  a0 = 1.0 + alpha / A;
  a1 = b1 = -2.0 * cosW / a0;
  a2 = (1.0 - alpha / A) / a0;
  b0 = (1.0 + alpha * A) / a0;
  b2 = (1.0 - alpha * A) / a0;
}

void PeakEQ::process(double* buffer, int count) {
  for (int i = 0; i < count; ++i) {
    const double d = denormal;
    denormal = -d;
    const double x = buffer[i] + d;
    // The terms off the feedback path first: only a1·y1 waits for the previous sample.
    const double y = ((b0 * x + b1 * x1 + b2 * x2 - a2 * y2 + d) - a1 * y1);
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    buffer[i] = y;
  }
}
