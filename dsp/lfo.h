#pragma once

// Two-phase triangle oscillator for the ensemble; one cycle is 4 phase units.
//
// Use: setRate / setPhase2 once when configuring; update() once per step, then read the
// outputs (bipolar tri1/tri2 in -1..1, unipolar uni1/uni2 in 0..1).
class LFO {
public:
  void setRate(double r) { rate = (r * 4.0 * 20.0 + 0.01) / 1000.0; }
  void setPhase2(double degrees);
  void update();

  double getTri1() const { return tri1; }
  double getTri2() const { return tri2; }
  double getUni1() const { return uni1; }
  double getUni2() const { return uni2; }
  double getRate() const { return rate; }

private:
  double tri1 = 0.0, tri2 = 0.0;
  double uni1 = 0.0, uni2 = 0.0;
  double phase1 = -1.0, phase2 = -1.0;
  double rate = 0.0;
  double phaseOffset = 0.0;
};
