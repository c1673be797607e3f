#include "dsp/lfo.h"

#include <cmath>

void LFO::setPhase2(double degrees) {
  // One wrap per step keeps phase2 in range only for offsets below a full cycle.
  double d = std::fmod(degrees, 360.0);
  if (d < 0.0) d += 360.0;
  if (!std::isfinite(d)) d = 0.0;
  phaseOffset = 4.0 * d / 360.0;
}

void LFO::update() {
  tri1 = phase1 < 1.0 ? phase1 : 2.0 - phase1;
  tri2 = phase2 < 1.0 ? phase2 : 2.0 - phase2;
  uni1 = (tri1 + 1.0) * 0.5;
  uni2 = (tri2 + 1.0) * 0.5;
  phase1 += rate;
  if (phase1 >= 3.0) phase1 -= 4.0;
  phase2 = phaseOffset + phase1;
  if (phase2 >= 3.0) phase2 -= 4.0;
}
