#pragma once

// One-octave peaking equaliser band (boost only in this instrument, 0..15 dB).
//
// Engine use: setSampleRate then setCenter(125·2^k) at every reset; setGain(dB) from the
// parameter dispatch; per chunk process(sectionBuf, count) in place, skipped when the gain is 0.
class PeakEQ {
public:
  PeakEQ();

  void setSampleRate(float sampleRate) { invSampleRate = 1.0 / sampleRate; }
  void setCenter(double frequency);
  void setGain(double gain);
  void calcCoeff();
  void process(double* buffer, int count);

private:
  double invSampleRate = 1.0 / 44100.0;
  double alpha = 0.0;
  double cosW = 1.0;
  double A = 1.0;
  double a0 = 1.0, a1 = 0.0, a2 = 0.0, b0 = 1.0, b1 = 0.0, b2 = 0.0;
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
  double denormal = 1e-13;
};
