#include "dsp/ladder.h"

static_assert(FilterTables::kMaxIndex == 17280, "Run::tick clamps to the table size");

void Ladder::setSampleRate(const FilterTables& tables) {
  coef = tables.ladder();
  lastIndex = INT_MIN;
}

void Ladder::update(int index) {
  base = index;
  k = 4.1 * peak;
  gainComp = 2.0 - (1.0 - peak) * (1.0 - peak);
}

Ladder::Run Ladder::begin(int position) {
  // The coefficients depend on the feedback as well as on the cutoff.
  if (k != lastK) {
    lastK = k;
    lastIndex = INT_MIN;
  }
  return Run{coef,      cutoffMod + position,
             base,      k,
             gainComp,  G,
             b,         G4,
             inv,       G * G,
             G * G * G, s1,
             s2,        s3,
             s4,        denormal,
             lastIndex};
}

void Ladder::end(const Run& run) {
  G = run.g;
  b = run.b;
  G4 = run.g4;
  inv = run.inv;
  s1 = run.z1;
  s2 = run.z2;
  s3 = run.z3;
  s4 = run.z4;
  denormal = run.d;
  lastIndex = run.last;
}

void Ladder::process(double* buffer, int count, int position) {
  if (!isReady()) return;
  Run run = begin(position);
  for (int j = 0; j < count; ++j) buffer[j] = run.tick(buffer[j], j);
  end(run);
}
