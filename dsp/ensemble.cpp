#include "dsp/ensemble.h"

#include <algorithm>
#include <cmath>

Ensemble::Ensemble() {
  lfo1.setRate(0.006);
  lfo2.setRate(0.06);
  lfo1.setPhase2(120.0);
  lfo2.setPhase2(120.0);
}

void Ensemble::setSampleRate(double rate) {
  if (!(rate > 0.0)) {
    cleanUp();
    return;
  }
  sampleRate = rate;
  invSampleRate = 1.0 / rate;
  glideScale = 999.0 / rate;
  const int length = static_cast<int>(0.016 * rate + 1.0);
  if (length != lineLength || !line1) {
    lineLength = length;
    line1.reset(new double[lineLength]);
    line2.reset(new double[lineLength]);
  }
  std::fill(line1.get(), line1.get() + lineLength, 0.0);
  std::fill(line2.get(), line2.get() + lineLength, 0.0);
  baseDelay1 = delayGain1 * 0.014;
  baseDelay2 = delayGain2 * 0.014;
  write1 = write2 = 0;
  delay1 = delay2 = 0.0;
  glide1 = glide2 = 0.0;
  lowPass.setSampleRate(static_cast<float>(rate));
}

void Ensemble::setPlayingDefaults() {
  setDelayGains(1.0, 1.0);
  setBaseDelays(0.014, 0.014);
  setLfoRates(0.1, 0.23);
  setDepths(0.03, 0.006, 0.006, 0.03);
}

void Ensemble::setDelayGains(double gain1, double gain2) {
  delayGain1 = gain1;
  delayGain2 = gain2;
}

void Ensemble::setBaseDelays(double seconds1, double seconds2) {
  baseDelay1 = seconds1;
  baseDelay2 = seconds2;
}

void Ensemble::setLfoRates(double rate1, double rate2) {
  lfo1.setRate(rate1);
  lfo2.setRate(rate2);
}

void Ensemble::setDepths(double d11, double d12, double d21, double d22) {
  depth11 = d11;
  depth12 = d12;
  depth21 = d21;
  depth22 = d22;
}

void Ensemble::update() {
  if (sampleRate < 0.0) return;
  lfo1.update();
  lfo2.update();
  const double a =
      std::clamp(1.0 - (depth11 * lfo1.getUni1() + depth21 * lfo2.getUni2()), 0.0, 1.0);
  const double b =
      std::clamp(1.0 - (depth12 * lfo1.getUni2() + depth22 * lfo2.getUni1()), 0.0, 1.0);
  // Targets beyond the line (longer configured delays) would read outside it; any delay below
  // lineLength keeps both interpolation taps inside.
  const double longest = lineLength - 1e-6;
  const double t1 = std::clamp(sampleRate * (baseDelay1 * a + 0.002), 0.0, longest);
  const double t2 = std::clamp(sampleRate * (baseDelay2 * b + 0.002), 0.0, longest);
  glide1 = (t1 - delay1) * glideScale;
  glide2 = (t2 - delay2) * glideScale;
}

inline double Ensemble::tap(const double* line, double delay, int write) const {
  const int n = static_cast<int>(delay);
  const double f = delay - n;
  int i0 = write - n;
  if (i0 < 0) i0 += lineLength;
  int i1 = i0 + 1;
  if (i1 >= lineLength) i1 -= lineLength;
  return line[i1] + (line[i0] - line[i1]) * f;
}

void Ensemble::process(double* buffer, int count) {
  if (sampleRate < 0.0) return;
  lowPass.process(buffer, count);
  double* l1 = line1.get();
  double* l2 = line2.get();
  // A chunk longer than the glide time would overshoot; the clamp keeps the taps in the line.
  const double longest = lineLength - 1e-6;
  for (int i = 0; i < count; ++i) {
    const double s = buffer[i];
    l1[write1] = s;
    l2[write2] = s;
    const double sum = tap(l1, delay1, write1) + tap(l2, delay2, write2);
    buffer[i] = s + wet * (sum - s);
    delay1 = std::clamp(delay1 + glide1, 0.0, longest);
    delay2 = std::clamp(delay2 + glide2, 0.0, longest);
    if (++write1 >= lineLength) write1 = 0;
    if (++write2 >= lineLength) write2 = 0;
  }
}

void Ensemble::cleanUp() {
  line1.reset();
  line2.reset();
  lineLength = 0;
  sampleRate = -1.0;
}
