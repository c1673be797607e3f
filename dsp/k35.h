#pragma once

#include <climits>

class FilterTables;

// Korg 35 low-pass: two one-pole low-passes with a high-pass in the feedback path, in
// zero-delay-feedback form; positive feedback is amplified by 1.17, the only nonlinearity.
//
// Calling contract (audio thread): setSampleRate with the plug-in's tables and setCutoffMod with
// its per-sample cutoff buffer at every reset; update(base cutoff) once per control period;
// process(buffer, count, position) filters in place, reading cutoffMod[position + j] + base.
// The states are never reset: they carry from note to note.
class Korg35 {
public:
  void setSampleRate(const FilterTables& tables);
  void setCutoffMod(const int* buffer) { cutoffMod = buffer; }
  void setPeak(double value) { peak = value; }
  void update(int index);
  void process(double* buffer, int count, int position);

  double getK() const { return K; }
  int getBase() const { return base; }

private:
  const double* tanW = nullptr;
  int base = 0;
  double peak = 0.0;
  double alpha0 = 0.0, G = 1.0, beta2 = 1.0, beta1 = 1.0;
  double K = 0.01;
  const int* cutoffMod = nullptr;
  int lastIndex = INT_MIN; // forces the first coefficient computation
  double lastK = 0.0;
  double s1 = 0.0, s2 = 0.0, s3 = 0.0;
  double denormal = 1e-13;
};
