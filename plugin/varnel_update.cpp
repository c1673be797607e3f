#include "plugin/varnel.h"

#include <algorithm>
#include <cmath>

namespace {
inline double valueOr0(const double* src) {
  return src ? *src : 0.0;
}
inline bool isSet(const bool* trigger) {
  return trigger && *trigger;
}
} // namespace

void Varnel::update(int count) {
  applyManualTrigger();
  clock.tick();

  if (mg1FreqSrc) {
    const double v = std::clamp(0.5 * *mg1FreqSrc + mg1FreqNorm, 0.0, 1.0);
    mg1.setPeriod(static_cast<int>(engineRate / (1499.95 * std::pow(v, 6.0) + 0.05)));
  }
  mg1.update();
  mg1Value = mg1.getOutput();
  mg2.update();
  mg2Value = mg2.getOutput();

  const double shInput = shInputRandom ? MG::getNoise() : valueOr0(shInputSrc);
  sh.sample(shInput);

  triggers[kTrigMG1] = mg1.isTrigger();
  triggers[kTrigMG2] = mg2.isTrigger();
  triggers[kTrigSH] = sh.isTrigger();
  triggers[kTrigClk1] = clock.isTrigger(clock1Rate, 0);
  triggers[kTrigClk2] = clock.isTrigger(clock2Rate, 1);
  for (int t = 0; t < 2; ++t) {
    triggers[kTrigTrg1 + t] = trigState[t] && !trigPrevState[t];
    trigPrevState[t] = trigState[t];
  }

  if (!shTrigger)
    shValue = sh.getOutput();
  else if (*shTrigger)
    shValue = shInput;

  if (isSet(gegTrigger1) || isSet(gegTrigger2)) geg.start();

  for (int j = 0; j < count; ++j) controlStep(j);

  triggers[kTrigKbd] = triggers[kTrigSng] = triggers[kTrigMlt] = false;
}

// One sample of the control update: the sample-rate sources and the per-sample buffers.
void Varnel::controlStep(int j) {
  if (j > 0) {
    clock.tick();
    mg1.update();
    mg1Value = mg1.getOutput();
  }
  amModBuf[j] = mg1Value;
  geg.update();

  modValue = shValue + (mg1Value - shValue) * shMg1Mix;
  if (modMSrc) modValue *= std::max(*modMSrc, 0.0);
  vp1Value = vp1Src ? (vp1A - vp1B) * (*vp1Src + 1.0) * 0.5 + vp1B : 0.0;
  const double* vp2Input = vp2OwnInput ? vp2Src : vp1Src;
  vp2Value = vp2Input ? (vp2A - vp2B) * (*vp2Input + 1.0) * 0.5 + vp2B : 0.0;
  adderValue = add1 * valueOr0(addSrc1) + add2 * valueOr0(addSrc2);

  double k = 0.0, fm2 = 0.0;
  if (fmModOn) {
    k = fmShMg * modValue + fmTExt * valueOr0(fmTSrc);
    fm2 = fm2Ext * valueOr0(fm2Src);
    if (fmReverse) {
      k = -k;
      fm2 = -fm2;
    }
  }
  const double bend = pbRange * pitchBend;
  sg1PitchBuf[j] = static_cast<int32_t>(k + bend);
  sg2PitchBuf[j] = static_cast<int32_t>(fm2 + k + bend);

  const double cutoffMod =
      cutoffModOn ? cutoffMg1 * modValue + cutoffGeg * valueOr0(cutoffSrc) : 0.0;
  cutoffCtlBuf[j] = static_cast<int32_t>(cutoffMod * 10753.0);

  if (j == 0) {
    pwmMg.update();
    const double pwm = pwmDepth * pwmMg.getOutput();
    const double m1 = pwm1Src ? *pwm1Src : pwm;
    const double m2 = pwm2Src ? *pwm2Src : pwm;
    sg1.update(0.25 * m1 + 0.25, valueOr0(scl1Src));
    sg2.update(0.25 * m2 + 0.25, valueOr0(scl2Src));
    if (cutoffRampSteps > 0) {
      --cutoffRampSteps;
      cutoffValue += cutoffRampStep;
    }
    cutoffControl = static_cast<int>(cutoffValue * 17280.0);
    for (uint64_t m = activeVoices; m; m &= m - 1) {
      const int i = __builtin_ctzll(m);
      voices[i].update(cutoffControl);
      if (!voices[i].isActive()) activeVoices &= ~(uint64_t{1} << i);
    }
    if (resonatorsOn) {
      const double y = 0.5 * valueOr0(resCutoffSrc) * resMod + 0.5;
      for (Resonator& r : resonators) r.update(y * y);
    }
  }

  finalLeft = (1.0 - finalPan) * finalLevel;
  finalRight = finalPan * finalLevel;
  directLeft = (1.0 - directPan) * directLevel;
  directRight = directPan * directLevel;

  double a = vca1Src ? std::max(*vca1Src, 0.0) : vca1Level;
  if (vca2FromVp1) a = vp1Value > 0.0 ? a * vp1Value : 0.0;
  finalGainBuf[j] = a;
}
