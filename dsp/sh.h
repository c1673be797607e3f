#pragma once

class Clock;

// Sample-and-hold: takes its input once per cycle, at the cycle start, and holds it.
//
// Engine use:
// - setPeriod(trunc(1000 / f)) in control periods; setSyncRate(r) for "S/H Host" (after r = 0
//   re-apply the frequency); setSynchro(on) for "S/H Sync".
// - once per control period: sample(input), then isTrigger() for the S/H clock trigger;
//   getOutput() is the held value.
class SH {
public:
  explicit SH(const Clock* clock) : clock(clock) {}
  virtual ~SH() = default;

  void setPeriod(int steps);
  void setSyncRate(int rate);
  void setSynchro(bool on);
  void sample(double input);
  bool isTrigger();

  double getOutput() const { return output; }
  int getPeriod() const { return period; }
  int getBasePeriod() const { return basePeriod; }
  int getCounter() const { return counter; }
  bool isSynced() const { return synced; }

private:
  double output = 0.0;
  const Clock* clock;
  bool armed = false;
  bool synced = false;
  bool synchro = false;
  bool wasHigh = false;
  int syncRate = 0;
  int period = 1;
  int basePeriod = 1;
  int counter = 0;
};
