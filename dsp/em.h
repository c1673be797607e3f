#pragma once

#include "dsp/envelope_time.h"

// Attack-decay-sustain-release envelope of one voice, stepped once per sample by update.
class EM {
public:
  enum State { kIdle = 0, kAttack = 1, kDecay = 2, kRelease = 3 };
  // A decaying or releasing value this small ends the envelope: with sustain 0 the exponential
  // decay would otherwise stall in the subnormal range and keep the voice busy forever.
  static constexpr double kSilence = 1e-20;

  void setSampleRate(float sampleRate);
  // Attacks from the current value.
  void start();
  void stop();
  void update() {
    if (state <= kIdle) return;
    previous = value;
    value += (target - value) * coef;
    if (state == kAttack) {
      if (value >= 1.0) {
        value = 1.0;
        state = kDecay;
        coef = envelopeCoef(decay, rateFactor);
        target = sustain;
      }
    } else if (value <= kSilence) {
      value = 0.0;
      state = kIdle;
    }
  }
  void setAttack(double x);
  void setDecay(double x);
  void setSustain(double x);
  void setRelease(double x);

  double getValue() const { return value; }
  double getPrevious() const { return previous; }
  int getState() const { return state; }
  bool isIdle() const { return state == kIdle; }

private:
  friend struct VoiceLaneAccess; // the voices' lane renderer steps envelopes side by side
  double value = 0.0;
  double attack = 0.0;
  double decay = 0.0;
  double sustain = 0.0;
  double release = 0.0;
  int state = kIdle;
  double target = 0.0;
  double previous = 0.0;
  double coef = 0.0;
  double rateFactor = kLn10 / 1000.0;
};
