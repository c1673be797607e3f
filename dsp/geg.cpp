#include "dsp/geg.h"

void GEG::setSampleRate(double sampleRate) {
  if (sampleRate >= 1.0) rateFactor = kLn10 / sampleRate;
  state = kIdle;
  outNeg = 1.0;
  outPosShifted = -1.0;
  outPos = 0.0;
  target = previous = coef = value = 0.0;
  delayTarget = delayPrevious = delayCoef = delayValue = 0.0;
}

void GEG::start() {
  state = kDelay;
  delayValue = 0.0;
  delayTarget = kAttackTarget;
  delayCoef = envelopeCoef(delay, rateFactor);
}

void GEG::stop() {
  state = kRelease;
  target = kReleaseTarget;
  coef = envelopeCoef(release, rateFactor);
}

void GEG::update() {
  if (state <= kIdle) {
    outNeg = 1.0;
    outPosShifted = -1.0;
    outPos = 0.0;
    return;
  }
  // The main value keeps moving in every state, also during the delay.
  previous = value;
  value += (target - value) * coef;
  if (state == kDelay) {
    if (value < 0.0) value = 0.0;
    delayPrevious = delayValue;
    delayValue += (delayTarget - delayValue) * delayCoef;
    if (delayValue >= 1.0) {
      state = kAttack;
      coef = envelopeCoef(attack, rateFactor);
      target = 1.0;
    }
  }
  // A stage change takes effect within the same step.
  if (state == kAttack) {
    if (value >= 0.999) {
      if (autoRelease) {
        state = kRelease;
        target = kReleaseTarget;
        coef = envelopeCoef(release, rateFactor);
      } else {
        // Hold at full level until stop.
        value = 1.0;
        state = kRelease;
        coef = envelopeCoef(release, rateFactor);
        target = 1.0;
      }
    }
  }
  if (state == kRelease && value <= 0.0) {
    value = 0.0;
    state = kIdle;
  }
  outNeg = 1.0 - value;
  outPosShifted = value - 1.0;
  outPos = value;
}

void GEG::setDelay(double x) {
  delay = x;
  if (state == kDelay) delayCoef = envelopeCoef(x, rateFactor);
}

void GEG::setAttack(double x) {
  attack = x;
  if (state == kAttack) coef = envelopeCoef(x, rateFactor);
}

void GEG::setRelease(double x) {
  release = x;
  if (state == kRelease) coef = envelopeCoef(x, rateFactor);
}
