#include "dsp/k35.h"

#include "dsp/filter_tables.h"

#include <algorithm>

void Korg35::setSampleRate(const FilterTables& tables) {
  tanW = tables.tanW();
  lastIndex = INT_MIN;
}

void Korg35::update(int index) {
  base = index;
  K = 1.7 * peak + 0.01;
}

void Korg35::process(double* buffer, int count, int position) {
  if (!tanW || !cutoffMod) return;
  if (K != lastK) {
    lastK = K;
    lastIndex = INT_MIN;
  }
  const int* mod = cutoffMod + position;
  const double k = K;
  double g1 = G, b2 = beta2, b1 = beta1, a0 = alpha0;
  double z1 = s1, z2 = s2, z3 = s3;
  double d = denormal;
  int last = lastIndex;
  for (int j = 0; j < count; ++j) {
    const int i = mod[j] + base;
    if (i != last) {
      last = i;
      const double g = tanW[std::clamp(i, 0, FilterTables::kMaxIndex)];
      g1 = g / (1.0 + g);
      b2 = (k - k * g1) / (1.0 + g);
      b1 = -1.0 / (1.0 + g);
      a0 = 1.0 / (1.0 - k * g1 + k * g1 * g1);
    }
    // An offset of alternating sign keeps the states out of the denormal range.
    const double x = buffer[j] - d;
    z1 -= d;
    z2 -= d;
    z3 -= d;
    d = -d;
    const double h1 = (x - z1) * g1;
    const double y1 = z1 + h1;
    z1 = y1 + h1;
    double s = b2 * z2 + b1 * z3;
    s *= s > 0.0 ? 1.17 : 1.0;
    const double u = (y1 + s) * a0;
    const double h2 = (u - z2) * g1;
    const double y2 = z2 + h2;
    z2 = y2 + h2;
    const double h3 = (k * y2 - z3) * g1;
    z3 += 2.0 * h3;
    buffer[j] = y2;
  }
  G = g1;
  beta2 = b2;
  beta1 = b1;
  alpha0 = a0;
  s1 = z1;
  s2 = z2;
  s3 = z3;
  denormal = d;
  lastIndex = last;
}
