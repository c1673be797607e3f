#pragma once
#include <memory>

#include "dsp/lfo.h"
#include "dsp/lowpass.h"

// Mono chorus: a fixed 7 kHz low-pass, then two delay lines of about 15.5..16 ms whose delays
// glide toward targets set by two slow triangle oscillators.
//
// Engine use:
// - at every reset: setSampleRate(rate) (allocates and clears the lines), then
//   setPlayingDefaults() (the delays, oscillator rates and depths used while playing).
// - setWet(0.5·"Ensembl") from the parameter dispatch; the section is skipped when it is 0.
// - per rendered chunk while on: update(), then process(sectionBuf, count) in place. A chunk
//   should not exceed one control period (sampleRate/1000 samples): the delays glide toward
//   their targets over about that many samples.
// - cleanUp() frees the lines (the destructor does it too).
class Ensemble {
public:
  Ensemble();

  void setSampleRate(double rate);
  void setPlayingDefaults();
  void setWet(double value) { wet = value; }
  void setDelayGains(double gain1, double gain2);
  void setBaseDelays(double seconds1, double seconds2);
  void setLfoRates(double rate1, double rate2);
  void setDepths(double d11, double d12, double d21, double d22);
  void update();
  void process(double* buffer, int count);
  void cleanUp();

  int getLineLength() const { return lineLength; }
  double getDelay1() const { return delay1; }
  double getDelay2() const { return delay2; }
  double getWet() const { return wet; }

private:
  double tap(const double* line, double delay, int write) const;

  double sampleRate = -1.0;
  double invSampleRate = 0.0;
  double glideScale = 0.0;
  std::unique_ptr<double[]> line1, line2;
  double baseDelay1 = 0.014, baseDelay2 = 0.014;
  int lineLength = 0;
  int write1 = 0, write2 = 0;
  double delay1 = 0.0, delay2 = 0.0;
  double glide1 = 0.0, glide2 = 0.0;
  LowPass lowPass;
  LFO lfo1, lfo2;
  double wet = 0.0;
  double delayGain1 = 1.0, delayGain2 = 1.0;
  double depth11 = 0.3, depth12 = 0.03;
  double depth21 = 0.03, depth22 = 0.3;
};
