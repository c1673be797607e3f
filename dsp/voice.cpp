#include "dsp/voice.h"

#include <cmath>

void Voice::setSampleRate(double sampleRate, const FilterTables& tables, const int* cutoffMod) {
  active = gate = sustain = false;
  key = 48;
  octave = 4;
  pitchClass = 0;
  serial = 0;
  resumePosition = -1;
  // Rendering runs in one pass without a work buffer; the period only bounds a chunk.
  bufferLength = sampleRate >= 1.0 ? static_cast<int>(sampleRate) / 1000 : 0;
  korg35.setSampleRate(tables);
  korg35.setCutoffMod(cutoffMod);
  ladder.setSampleRate(tables);
  ladder.setCutoffMod(cutoffMod);
  em.setSampleRate(static_cast<float>(sampleRate));
}

void Voice::setNoteOn(int noteKey, int noteSerial, double noteVelocity) {
  active = true;
  gate = true;
  key = noteKey < 0 ? 0 : noteKey > 127 ? 127 : noteKey;
  octave = key / 12;
  pitchClass = key % 12;
  serial = noteSerial;
  velocity = noteVelocity;
  resumePosition = -1;
  em.start();
  keyTrack = (key - 48) * (1.0 / 84.0);
  keyGain = 0.5 + 0.5 * std::tanh(key * 6.0 / 127.0 - 3.0);
}

void Voice::setNoteOff() {
  gate = false;
  if (!sustain) em.stop();
}

void Voice::setSustain(bool on) {
  sustain = on;
  if (!sustain && !gate) em.stop();
}

void Voice::setParam(int id, double value) {
  switch (id) {
  case kKbdBalance:
    kbdBalance = value;
    break;
  case kSg2Wave:
    sg2On = value <= 0.99;
    break;
  case kPeak:
    korg35.setPeak(value);
    ladder.setPeak(value);
    break;
  case kCutoffKeyTrack:
    cutoffKeyTrack = value;
    break;
  case kExpand:
    expand = value;
    break;
  case kAttack:
    attack = value;
    break;
  case kDecay:
    em.setDecay(value);
    break;
  case kSustain:
    em.setSustain(value);
    break;
  case kRelease:
    em.setRelease(value);
    break;
  case kVeloCutoff:
    veloCutoff = value;
    break;
  case kVeloVca:
    veloVca = value;
    break;
  case kFilterType:
    useLadder = value >= 0.5;
    break;
  default:
    break;
  }
}

void Voice::update(int cutoff) {
  resumePosition = -1; // a new period starts from the shared oscillators
  if (!active) return;
  em.setAttack(attack + (attackSource ? *attackSource : 0.0));
  if (releaseTrigger && *releaseTrigger) em.stop();
  em.update();
  const double mod = cutoffKeyTrack * keyTrack + expand * em.getValue() + veloCutoff * velocity;
  const int index = static_cast<int>(mod * kCutoffRange + cutoff);
  korg35.update(index);
  ladder.update(index);
  active = !em.isIdle();
}

double Voice::gain() const {
  return (1.0 + veloVca * (velocity - 1.0)) *
         ((1.0 - keyGain) + kbdBalance * (2.0 * keyGain - 1.0));
}
