#pragma once

#include <climits>

#include "dsp/filter_tables.h"

// Four-pole ladder low-pass: four identical bilinear one-pole stages (without pre-warping) with
// the feedback loop solved in closed form; the fed-back signal is limited to +-1.
//
// Calling contract as for Korg35: setSampleRate(tables) and setCutoffMod at every reset,
// update(base cutoff) once per control period, process(buffer, count, position) in place.
// The states start at (0, 1, 0, -1) and are never reset.
class Ladder {
public:
  void setSampleRate(const FilterTables& tables);
  void setCutoffMod(const int* buffer) { cutoffMod = buffer; }
  void setPeak(double value) { peak = value; }
  void update(int index);
  void process(double* buffer, int count, int position);

  // The filter's working copy for one chunk, for callers that fuse it into their own loop:
  // begin, tick(x, j) for j = 0..count-1, end. Requires isReady().
  struct Run {
    const FilterTables::LadderCoef* coef;
    const int* mod;
    int base;
    double fb, comp;
    double g, b, g4, inv;
    double g2, g3;
    double z1, z2, z3, z4;
    double d;
    int last;

    double tick(double x, int j);
  };
  bool isReady() const { return coef && cutoffMod; }
  Run begin(int position);
  void end(const Run& run);

  double getFeedback() const { return k; }
  double getGainComp() const { return gainComp; }
  int getBase() const { return base; }

private:
  const FilterTables::LadderCoef* coef = nullptr;
  int base = 0;
  double peak = 0.0;
  double G = 0.0, b = 0.0, G4 = 0.0;
  double k = 0.0;
  double inv = 1.0;
  double gainComp = 1.0;
  const int* cutoffMod = nullptr;
  int lastIndex = INT_MIN; // forces the first coefficient computation
  double lastK = 0.0;
  double s1 = 0.0, s2 = 1.0, s3 = 0.0, s4 = -1.0;
  double denormal = 1e-13;
};

inline double Ladder::Run::tick(double in, int j) {
  const int i = mod[j] + base;
  if (i != last) {
    last = i;
    const FilterTables::LadderCoef& c = coef[i < 0 ? 0 : i > 17280 ? 17280 : i];
    g = c.G;
    b = c.b;
    g4 = c.G4;
    g2 = g * g;
    g3 = g2 * g;
    inv = 1.0 / (1.0 + fb * g4);
  }
  // An offset of alternating sign keeps the states out of the denormal range.
  const double x = in - d;
  z1 -= d;
  z2 -= d;
  z3 -= d;
  z4 -= d;
  d = -d;
  // The four stages expanded in powers of g, so every stage output is one step from u and the
  // loop's sum is a balanced tree: the same filter with a much shorter dependency chain.
  const double s = (g3 * z1 + g2 * z2) + (g * z3 + z4);
  const double y = (g4 * x + s) * inv;
  const double limited = y < -1.0 ? -1.0 : y > 1.0 ? 1.0 : y;
  const double u = x - fb * limited;
  const double y1 = g * u + z1;
  const double y2 = g2 * u + (g * z1 + z2);
  const double y3 = g3 * u + ((g2 * z1 + g * z2) + z3);
  const double y4 = g4 * u + s;
  z1 = g * u - b * y1;
  z2 = g * y1 - b * y2;
  z3 = g * y2 - b * y3;
  z4 = g * y3 - b * y4;
  return y * comp;
}
