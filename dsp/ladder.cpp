#include "dsp/ladder.h"

#include "dsp/filter_tables.h"

#include <algorithm>

void Ladder::setSampleRate(const FilterTables& tables) {
  rad = tables.rad();
  lastIndex = INT_MIN;
}

void Ladder::update(int index) {
  base = index;
  k = 4.1 * peak;
  gainComp = 2.0 - (1.0 - peak) * (1.0 - peak);
}

void Ladder::process(double* buffer, int count, int position) {
  if (!rad || !cutoffMod) return;
  if (k != lastK) {
    lastK = k;
    lastIndex = INT_MIN;
  }
  const int* mod = cutoffMod + position;
  const double fb = k;
  const double comp = gainComp;
  double g = G, bb = b, g4 = G4, iv = inv;
  double z1 = s1, z2 = s2, z3 = s3, z4 = s4;
  double d = denormal;
  int last = lastIndex;
  for (int j = 0; j < count; ++j) {
    const int i = mod[j] + base;
    if (i != last) {
      last = i;
      const double w = rad[std::clamp(i, 0, FilterTables::kMaxIndex)];
      g = w / (w + 2.0);
      bb = (w - 2.0) / (w + 2.0);
      g4 = g * g * g * g;
      iv = 1.0 / (1.0 + fb * g4);
    }
    // An offset of alternating sign keeps the states out of the denormal range.
    const double x = buffer[j] - d;
    z1 -= d;
    z2 -= d;
    z3 -= d;
    z4 -= d;
    d = -d;
    const double s = ((z1 * g + z2) * g + z3) * g + z4;
    const double y = (g4 * x + s) * iv;
    const double u = x - fb * std::clamp(y, -1.0, 1.0);
    const double y1 = g * u + z1;
    z1 = g * u - bb * y1;
    const double y2 = g * y1 + z2;
    z2 = g * y1 - bb * y2;
    const double y3 = g * y2 + z3;
    z3 = g * y2 - bb * y3;
    const double y4 = g * y3 + z4;
    z4 = g * y3 - bb * y4;
    buffer[j] = y * comp;
  }
  G = g;
  b = bb;
  G4 = g4;
  inv = iv;
  s1 = z1;
  s2 = z2;
  s3 = z3;
  s4 = z4;
  denormal = d;
  lastIndex = last;
}
