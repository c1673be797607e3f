#pragma once
#include <cstdint>

class Clock;

// Modulation generator: a down-counting cycle of `period` steps read as one of six waveforms,
// free-running or locked to a clock rate.
//
// Engine use:
// - MG1 counts samples: setPeriod(trunc(sampleRate / f)); update() once per sample.
// - MG2 and the pulse-width oscillator count control periods: setPeriod(trunc(1000 / f));
//   update() once per control period.
// - setSyncRate(r) for "MG1 Host"/"MG2 Host"; after r = 0 re-apply the frequency with setPeriod.
// - isTrigger() once per control period for the generator's clock trigger.
// - getOutput() after update(); -1..1 (noise about -1..1, pink a little wider).
class MG {
public:
  explicit MG(const Clock* clock) : clock(clock) {}
  virtual ~MG() = default;

  void setPeriod(int steps);
  void setSyncRate(int rate);
  void setWaveForm(double value);
  void update();
  bool isTrigger();

  double getOutput() const { return output; }
  int getPeriod() const { return period; }
  int getBasePeriod() const { return basePeriod; }
  int getCounter() const { return counter; }
  int getWaveForm() const { return waveForm; }
  bool isSynced() const { return synced; }

  // The white-noise source shared by every generator of every instance.
  static double getNoise();
  static void seedNoise(std::int32_t seed);

  enum WaveForm { Triangle, SawDown, SawUp, Square, PinkNoise, WhiteNoise };

private:
  double output = 0.0;
  const Clock* clock;
  bool synced = false;
  bool wasHigh = false;
  int syncRate = 0;
  int period = 1;
  int basePeriod = 1;
  int counter = 0;
  int waveForm = Triangle;
  double pink0 = 0.0, pink1 = 0.0, pink2 = 0.0;
};

// Shared by MG and SH: the phase keeps its proportion within the cycle when the period changes.
// 64-bit because long periods (seconds at 192 kHz) overflow the product.
inline int scaleCounter(int counter, int newPeriod, int oldPeriod) {
  if (newPeriod <= 0 || oldPeriod <= 0) return 0;
  return static_cast<int>(std::int64_t(counter) * newPeriod / oldPeriod);
}
