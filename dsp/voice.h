#pragma once

#include "dsp/em.h"
#include "dsp/k35.h"
#include "dsp/ladder.h"

#include <cstdint>

class FilterTables;
class SG;

// One note: the key's pitch class from both shared generators, filtered by the voice's own
// Korg 35 or ladder, shaped by its envelope and a key and velocity gain, added to the mix.
//
// Calling contract (audio thread):
//   at every reset:  setGenerators (once is enough); tables.setSampleRate(rate) on the
//                    plug-in's FilterTables, then setSampleRate(rate, tables, cutoffCtlBuf).
//                    The voice keeps pointers into tables and cutoffCtlBuf.
//   per control period, after the generators' update: update(base cutoff in pitch units)
//   per chunk: process(mix, count, position), where position is the chunk's start within the
//   control period (0 <= position, position + count <= control period); the generators and
//   filters read their per-sample buffers from there. Idle voices return at once. The
//   generators advance (SG::next) after all voices have rendered the chunk.
class Voice {
public:
  // Parameter indices that setParam understands; every other id is ignored.
  enum ParamId {
    kKbdBalance = 5,
    kSg2Wave = 11,
    kPeak = 26,
    kCutoffKeyTrack = 27,
    kExpand = 28,
    kAttack = 33,
    kDecay = 34,
    kSustain = 35,
    kRelease = 36,
    kVeloCutoff = 114,
    kVeloVca = 115,
    kFilterType = 116,
  };
  // Cutoff pitch units per unit of modulation: 84 semitones plus one unit.
  static constexpr double kCutoffRange = 10753.0;

  void setGenerators(const SG* generator1, const SG* generator2) {
    sg1 = generator1;
    sg2 = generator2;
  }
  // Silences the voice, notes the control period and prepares filters and envelope. cutoffMod is
  // the plug-in's per-sample cutoff buffer of one control period.
  void setSampleRate(double sampleRate, const FilterTables& tables, const int* cutoffMod);
  void setAttackSource(const double* source) { attackSource = source; }
  void setReleaseTrigger(const bool* trigger) { releaseTrigger = trigger; }

  // velocity is already scaled to -1..1 (2 * v / 127 - 1).
  void setNoteOn(int key, int serial, double velocity);
  void setNoteOff();
  void setSustain(bool on);
  void setParam(int id, double value);

  void update(int cutoff);
  void process(double* mix, int count, int position);

  bool isActive() const { return active; }
  bool isGate() const { return gate; }
  bool isSustained() const { return sustain; }
  int getKey() const { return key; }
  int getSerial() const { return serial; }
  double getVelocity() const { return velocity; }
  double getKeyGain() const { return keyGain; }
  double getKeyTrack() const { return keyTrack; }
  bool isSg2On() const { return sg2On; }
  bool isLadder() const { return useLadder; }
  const EM& envelope() const { return em; }
  const Korg35& getKorg35() const { return korg35; }
  const Ladder& getLadder() const { return ladder; }
  // Velocity and key factor applied to the filtered signal.
  double gain() const;

private:
  friend struct VoiceLaneAccess; // the lane renderer copies the state in and back
  const SG* sg1 = nullptr;
  const SG* sg2 = nullptr;
  Korg35 korg35;
  Ladder ladder;
  EM em;
  // One control period: the longest chunk the engine renders.
  int bufferLength = 0;
  double keyTrack = 0.0;
  double keyGain = 0.0;
  const double* attackSource = nullptr;
  const bool* releaseTrigger = nullptr;
  bool sg2On = true;
  bool useLadder = false;
  double kbdBalance = 0.0;
  double cutoffKeyTrack = 0.0;
  double expand = 0.0;
  double attack = 0.0;
  double veloCutoff = 0.0;
  double veloVca = 0.0;
  bool active = false;
  bool gate = false;
  bool sustain = false;
  int key = 48;
  int octave = 4;
  int pitchClass = 0;
  int serial = 0;
  double velocity = 0.0;
  // Where the previous chunk of this control period ended, and the generator phases reached
  // there. A period the host splits goes on from them: the shared oscillators advance by the
  // period's first increment only, which under pitch modulation is not where the voice got to.
  int resumePosition = -1;
  uint32_t resumePhase1 = 0, resumePhase2 = 0;
  bool resumable1 = false, resumable2 = false;
};
