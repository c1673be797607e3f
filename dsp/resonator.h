#pragma once

// Band-pass of Q 2 with a centre between 80 Hz and 10 kHz; three run in parallel, each adding
// a crossfade between a third of the dry signal and its band to a shared output.
//
// Engine use:
// - setSampleRate at every reset (returns to the construction settings; re-apply parameters).
// - setFrequency("RS Freq1..3" knob 0..1), setIntensity("RS Int") from the parameter dispatch.
// - once per control period while "RS Int" > 0: update(m), m = (0.5·src·"RS Mod" + 0.5)²
//   (0.25 without a source).
// - per chunk: process(voiceMix, sectionBuf, count) adds to sectionBuf (clear it first).
class Resonator {
public:
  Resonator();

  void setSampleRate(double sampleRate);
  void setFrequency(double knob) { frequency = knob; }
  void setIntensity(double value) { intensity = value; }
  void update(double modulation);
  void process(const double* input, double* output, int count);

  double getFrequency() const { return frequency; }
  double getIntensity() const { return intensity; }

private:
  double frequency = 0.5;
  double intensity = 0.0;
  double wMin = 0.0;
  double wMax = 0.0;
  double coefX = 0.0, coefY1 = 0.0, coefY2 = 0.0;
  double smoothIn = 0.0, smoothKeep = 0.0;
  double modSmoothed = 0.0;
  double lastControl;
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
  double denormal = 1e-13;
};
