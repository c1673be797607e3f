#include "dsp/k35.h"

static_assert(FilterTables::kMaxIndex == 17280, "Run::tick clamps to the table size");

void Korg35::setSampleRate(const FilterTables& tables) {
  coef = tables.korg35();
  lastIndex = INT_MIN;
}

void Korg35::update(int index) {
  base = index;
  K = 1.7 * peak + 0.01;
}

Korg35::Run Korg35::begin(int position) {
  // The coefficients depend on the feedback as well as on the cutoff.
  if (K != lastK) {
    lastK = K;
    lastIndex = INT_MIN;
  }
  return Run{
      coef,    cutoffMod + position, base,          K,  G,  beta2, beta1,    alpha0,   G * alpha0,
      1.0 - G, 2.0 * G * K,          1.0 - 2.0 * G, s1, s2, s3,    denormal, lastIndex};
}

void Korg35::end(const Run& run) {
  G = run.g1;
  beta2 = run.b2;
  beta1 = run.b1;
  alpha0 = run.a0;
  s1 = run.z1;
  s2 = run.z2;
  s3 = run.z3;
  denormal = run.d;
  lastIndex = run.last;
}

void Korg35::process(double* buffer, int count, int position) {
  if (!isReady()) return;
  Run run = begin(position);
  for (int j = 0; j < count; ++j) buffer[j] = run.tick(buffer[j], j);
  end(run);
}
