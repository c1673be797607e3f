#include "dsp/em.h"

#include <algorithm>

void EM::setSampleRate(float sampleRate) {
  if (sampleRate >= 1.0f) rateFactor = kLn10 / sampleRate;
  value = 0.0;
  state = kIdle;
}

void EM::start() {
  state = kAttack;
  target = kAttackTarget;
  coef = envelopeCoef(attack, rateFactor);
}

void EM::stop() {
  state = kRelease;
  target = kReleaseTarget;
  coef = envelopeCoef(release, rateFactor);
}

void EM::setAttack(double x) {
  attack = std::clamp(x, 0.0, 1.0);
  if (state == kAttack) coef = envelopeCoef(attack, rateFactor);
}

void EM::setDecay(double x) {
  // The shortest decay is t = 0.2, about 40 ms.
  decay = 0.2 + 0.8 * x;
  if (state == kDecay) coef = envelopeCoef(decay, rateFactor);
}

void EM::setSustain(double x) {
  sustain = x;
  if (state == kDecay) target = x;
}

void EM::setRelease(double x) {
  release = x;
  if (state == kRelease) coef = envelopeCoef(release, rateFactor);
}
