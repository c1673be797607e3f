#pragma once

#include "dsp/envelope_time.h"

// General envelope: delay, attack, then release (with "GEG Auto") or hold at 1 until stop.
// Stepped once per sample by update; its three outputs are modulation sources, read through
// the addresses of outNeg, outPosShifted and outPos.
class GEG {
public:
  enum State { kIdle = 0, kDelay = 1, kAttack = 2, kRelease = 3 };

  void setSampleRate(double sampleRate);
  void start();
  void stop();
  void update();
  bool isOn() const { return state != kIdle; }
  void setDelay(double x);
  void setAttack(double x);
  void setRelease(double x);
  void setAutoRelease(bool on) { autoRelease = on; }

  const double* negativeOutput() const { return &outNeg; }       // 1 - v
  const double* shiftedOutput() const { return &outPosShifted; } // v - 1
  const double* positiveOutput() const { return &outPos; }       // v
  double getValue() const { return value; }
  double getDelayValue() const { return delayValue; }
  int getState() const { return state; }

private:
  double outNeg = 1.0;
  double outPosShifted = -1.0;
  double outPos = 0.0;
  double delay = 0.0;
  double attack = 0.0;
  double release = 0.0;
  bool autoRelease = false;
  int state = kIdle;
  double target = 0.0;
  double previous = 0.0;
  double coef = 0.0;
  double value = 0.0;
  double delayTarget = 0.0;
  double delayPrevious = 0.0;
  double delayCoef = 0.0;
  double delayValue = 0.0;
  double rateFactor = kLn10 / 1000.0;
};
