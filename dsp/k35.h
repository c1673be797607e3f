#pragma once

#include <climits>

#include "dsp/filter_tables.h"

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

  // The filter's working copy for one chunk, for callers that fuse it into their own loop:
  // begin, tick(x, j) for j = 0..count-1, end. Requires isReady().
  struct Run {
    const FilterTables::Korg35Coef* coef;
    const int* mod;
    int base;
    double k;
    double g1, b2, b1, a0;
    double ga0, oneMinusG, twoGK, oneMinus2G;
    double z1, z2, z3;
    double d;
    int last;

    double tick(double x, int j);
  };
  bool isReady() const { return coef && cutoffMod; }
  Run begin(int position);
  void end(const Run& run);

  double getK() const { return K; }
  int getBase() const { return base; }

private:
  const FilterTables::Korg35Coef* coef = nullptr;
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

inline double Korg35::Run::tick(double in, int j) {
  const int i = mod[j] + base;
  if (i != last) {
    last = i;
    const FilterTables::Korg35Coef& c = coef[i < 0 ? 0 : i > 17280 ? 17280 : i];
    g1 = c.G;
    b2 = (k - k * g1) / c.onePlusG;
    b1 = c.beta1;
    a0 = 1.0 / (1.0 - k * g1 + k * g1 * g1);
    ga0 = g1 * a0;
    oneMinusG = 1.0 - g1;
    twoGK = 2.0 * g1 * k;
    oneMinus2G = 1.0 - 2.0 * g1;
  }
  // An offset of alternating sign keeps the states out of the denormal range.
  const double x = in - d;
  z1 -= d;
  z2 -= d;
  z3 -= d;
  d = -d;
  const double h1 = (x - z1) * g1;
  const double y1 = z1 + h1;
  z1 = y1 + h1;
  // Positive feedback is amplified by 1.17. The feedback signal is smooth, so its sign is well
  // predicted; a branch keeps only one multiplication in the loop's chain.
  double s = b2 * z2 + b1 * z3;
  if (s > 0.0) s *= 1.17;
  // u = (y1 + s) a0, y2 = z2 + (u - z2) G, z2 += 2 (u - z2) G, z3 += 2 (k y2 - z3) G, with the
  // products gathered so that the feedback loop is a short chain.
  const double y2 = ga0 * s + (ga0 * y1 + oneMinusG * z2);
  z2 = 2.0 * y2 - z2;
  z3 = twoGK * y2 + oneMinus2G * z3;
  return y2;
}
