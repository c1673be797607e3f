#include "plugin/varnel.h"

#include <cmath>

const double* Varnel::getModSource(int item) const {
  switch (item) {
  case kSrcPlus5V:
    return &plus5V;
  case kSrcMinus5V:
    return &minus5V;
  case kSrcGE1:
    return geg.negativeOutput();
  case kSrcGE2:
    return geg.shiftedOutput();
  case kSrcGE3:
    return geg.positiveOutput();
  case kSrcMod:
    return &modValue;
  case kSrcMG1:
    return &mg1Value;
  case kSrcMG2:
    return &mg2Value;
  case kSrcSH:
    return &shValue;
  case kSrcVP1:
    return &vp1Value;
  case kSrcVP2:
    return &vp2Value;
  case kSrcAdd:
    return &adderValue;
  case kSrcKey:
    return &lastKey;
  case kSrcAft:
    return &aftertouch;
  case kSrcPB:
    return &pitchBend;
  case kSrcPBPlus:
    return &pitchBendPos;
  case kSrcMW:
    return &modWheel;
  case kSrcMWPlus:
    return &modWheelPos;
  case kSrcVC1:
  case kSrcVC2:
  case kSrcVC3:
  case kSrcVC4:
    return &vcValue[item - kSrcVC1];
  default:
    return nullptr;
  }
}

const bool* Varnel::getTrigger(int item) const {
  return item >= 1 && item <= kNumTriggers ? &triggers[item - 1] : nullptr;
}

// Writes a stored free-running frequency back into its parameter (the host is not told) and
// recomputes the period from it.
void Varnel::reapplyRate(int freqParam, double freq) {
  GetParam(freqParam)->SetValue(freq);
  OnParamChange(freqParam);
}

void Varnel::OnParamChange(int index) {
  Synth::OnParamChange(index);
  if (index < 0 || index >= kNumParams) return;
  const double v = GetParam(index)->GetValue();
  const int vi = static_cast<int>(v);
  const bool on = v >= 0.5;
  const bool positive = v > 0.0;

  if (index >= kTune1C && index < kTune1C + 12) {
    sg1.setTuning(index - kTune1C, static_cast<int>(1.28 * v));
    return;
  }
  if (index >= kTune2C && index < kTune2C + 12) {
    sg2.setTuning(index - kTune2C, static_cast<int>(1.28 * v));
    return;
  }
  if (index >= kEq8k && index <= kEq125) {
    const int band = kEq125 - index;
    eq[band].setGain(v);
    eqBandOn[band] = positive;
    return;
  }

  switch (index) {
  case kFinal:
    finalLevel = 2.0 * v;
    break;
  case kDirect:
    directLevel = 2.0 * v;
    break;
  case kPanFin:
    finalPan = v;
    break;
  case kPanDrct:
    directPan = v;
    break;
  case kTotTune:
    sg1.setTotalTune(vi);
    sg2.setTotalTune(vi);
    break;
  case kPbRange:
    pbRange = 128.0 * v;
    break;
  case kSg1Wave:
    sg1.setWaveForm(v);
    break;
  case kSg1Scl:
    sg1.setScaleBase(v);
    break;
  case kScl1Src:
    scl1Src = getModSource(vi);
    break;
  case kPwm1Src:
    pwm1Src = getModSource(vi);
    break;
  case kSg2Wave:
    sg2.setWaveForm(v);
    forEachVoice([&](Voice& voice) { voice.setParam(index, v); });
    break;
  case kSq2Fine:
    sg2.setFineTune(vi);
    break;
  case kSg2Scl:
    sg2.setScaleBase(v);
    break;
  case kFm2Ext:
    fm2Ext = v;
    break;
  case kFm2Src:
    fm2Src = getModSource(vi);
    break;
  case kScl2Src:
    scl2Src = getModSource(vi);
    break;
  case kPwm2Src:
    pwm2Src = getModSource(vi);
    break;
  case kPwmFreq:
    if (positive) pwmMg.setPeriod(static_cast<int>(1000.0 / v));
    break;
  case kPwmInt:
    pwmDepth = 0.009 * v;
    break;
  case kFmMod:
    fmModOn = on;
    break;
  case kFmRev:
    fmReverse = on;
    break;
  case kFmShMg:
    fmShMg = v;
    break;
  case kFmTExt:
    fmTExt = v;
    break;
  case kFmTSrc:
    fmTSrc = getModSource(vi);
    break;
  case kCutoff:
    cutoffRampSteps = 100;
    cutoffRampStep = (std::sqrt(v) - cutoffValue) / 100.0;
    break;
  case kKbdBal:
  case kPeak:
  case kFcBal:
  case kExpand:
  case kEmAtk:
  case kEmDcy:
  case kEmSus:
  case kEmRel:
  case kVeloLp:
  case kVeloVca:
  case kK35Lp4:
    forEachVoice([&](Voice& voice) { voice.setParam(index, v); });
    break;
  case kFcMod:
    cutoffModOn = on;
    break;
  case kFcMg1:
    cutoffMg1 = v;
    break;
  case kFcGeg:
    cutoffGeg = v;
    break;
  case kFcSrc:
    cutoffSrc = getModSource(vi);
    break;
  case kEmASrc: {
    const double* src = getModSource(vi);
    forEachVoice([&](Voice& voice) { voice.setAttackSource(src); });
    break;
  }
  case kEmRSrc: {
    const bool* trigger = getTrigger(vi);
    forEachVoice([&](Voice& voice) { voice.setReleaseTrigger(trigger); });
    break;
  }
  case kAmInt:
    amDepth = v;
    break;
  case kEnsembl:
    ensemble.setWet(0.5 * v);
    ensembleOn = positive;
    break;
  case kVca1Vol:
    vca1Level = v;
    break;
  case kVca1Src:
    vca1Src = getModSource(vi);
    break;
  case kVca2Vp1:
    vca2FromVp1 = on;
    break;
  case kShMg1:
    shMg1Mix = v;
    break;
  case kModMSrc:
    modMSrc = getModSource(vi);
    break;
  case kShFreq:
    shFreq = v;
    if (positive) sh.setPeriod(static_cast<int>(1000.0 / v));
    break;
  case kShSync:
    sh.setSynchro(on);
    break;
  case kShHost:
    sh.setSyncRate(vi);
    if (vi == 0) reapplyRate(kShFreq, shFreq);
    break;
  case kShTrig:
    shTrigger = getTrigger(vi);
    break;
  case kShIn:
    shInputRandom = vi == kSrcSH;
    shInputSrc = getModSource(vi);
    break;
  case kMg1Wave:
    mg1.setWaveForm(v);
    break;
  case kMg1Freq:
    mg1Freq = v;
    mg1FreqNorm = GetParam(kMg1Freq)->GetNormalized();
    if (positive) mg1.setPeriod(static_cast<int>(engineRate / v));
    break;
  case kMg1Host:
    mg1.setSyncRate(vi);
    if (vi == 0) reapplyRate(kMg1Freq, mg1Freq);
    break;
  case kMg1FSrc:
    if (vi != 0) {
      mg1FreqSrc = getModSource(vi);
    } else {
      reapplyRate(kMg1Freq, mg1Freq);
      mg1FreqSrc = nullptr;
    }
    break;
  case kMg2Freq:
    mg2Freq = v;
    if (positive) mg2.setPeriod(static_cast<int>(1000.0 / v));
    break;
  case kMg2Host:
    mg2.setSyncRate(vi);
    if (vi == 0) reapplyRate(kMg2Freq, mg2Freq);
    break;
  case kGegDly:
    geg.setDelay(v);
    break;
  case kGegAtk:
    geg.setAttack(v);
    break;
  case kGegRel:
    geg.setRelease(v);
    break;
  case kGegAuto:
    geg.setAutoRelease(on);
    break;
  case kGegSrc1:
    gegTrigger1 = getTrigger(vi);
    break;
  case kGegSrc2:
    gegTrigger2 = getTrigger(vi);
    break;
  case kVp1A:
    vp1A = v;
    break;
  case kVp1B:
    vp1B = v;
    break;
  case kVp1Src:
    vp1Src = getModSource(vi);
    break;
  case kVp2A:
    vp2A = v;
    break;
  case kVp2B:
    vp2B = v;
    break;
  case kVp2Sel:
    vp2OwnInput = on;
    break;
  case kVp2Src:
    vp2Src = getModSource(vi);
    break;
  case kAdd1:
    add1 = v;
    break;
  case kAdd2:
    add2 = v;
    break;
  case kAddSrc1:
    addSrc1 = getModSource(vi);
    break;
  case kAddSrc2:
    addSrc2 = getModSource(vi);
    break;
  case kClk1Src:
    clock1Rate = vi;
    break;
  case kClk2Src:
    clock2Rate = vi;
    break;
  case kTrg1Src:
    trigger1Cc = vi;
    break;
  case kTrg2Src:
    trigger2Cc = vi;
    break;
  case kVc1Src:
  case kVc2Src:
  case kVc3Src:
  case kVc4Src:
    vcCc[index - kVc1Src] = vi;
    break;
  case kKbdTrig:
    kbdTrigger = vi;
    break;
  case kEqRes:
    showResonators(on);
    break;
  case kRsInt:
    resonatorsOn = positive;
    for (Resonator& r : resonators) r.setIntensity(v);
    break;
  case kRsFreq1:
  case kRsFreq2:
  case kRsFreq3:
    resonators[index - kRsFreq1].setFrequency(v);
    break;
  case kRsMod:
    resMod = v;
    break;
  case kRfcSrc:
    resCutoffSrc = getModSource(vi);
    break;
  default:
    break;
  }
}
