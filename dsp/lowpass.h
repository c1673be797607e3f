#pragma once

// Second-order Butterworth low-pass (bilinear design) at a fixed cutoff; used by the ensemble.
//
// Use: setSampleRate at every reset (clears the states), setCutOff when the corner moves,
// process per sample or over a buffer in place.
class LowPass {
public:
  LowPass() { calcCoeff(); }

  void setSampleRate(float sampleRate);
  void setCutOff(double frequency);
  double process(double x) {
    const double d = denormal;
    denormal = -d;
    x += d;
    const double xm1 = x1 + d, xm2 = x2 + d, ym1 = y1 + d, ym2 = y2 + d;
    const double y = b0 * (x + xm2) + b1 * xm1 + c1 * ym1 + c2 * ym2;
    x2 = xm1;
    x1 = x;
    y2 = ym1;
    y1 = y;
    return y;
  }
  void process(double* buffer, int count) {
    for (int i = 0; i < count; ++i) buffer[i] = process(buffer[i]);
  }

private:
  void calcCoeff();

  double cutoff = 7000.0;
  double radPerHz = 6.283185307179586 / 44100.0;
  double c1 = 0.0, c2 = 0.0, b0 = 0.0, b1 = 0.0;
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
  // Alternating ±1e-13 keeps the recursion out of the subnormal range on silence.
  double denormal = 1e-13;
};
