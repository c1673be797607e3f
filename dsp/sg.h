#pragma once

#include <cstdint>
#include <vector>

// Signal generator: a bank of twelve free-running phase accumulators, one per pitch class, that
// run in the lowest octave (MIDI notes 12..23). A voice reads the accumulator of its pitch class
// and multiplies the phase by a power of two for its octave, so every voice of one pitch class
// stays phase-locked to the shared oscillator, like an organ's octave dividers.
//
// Calling contract (audio thread, after setSampleRate):
//   once per control period:  update(pwm, scaleMod)   reads pitchMod[0]
//   once per voice and chunk: process(buf, count, octave, pitchClass, position)
//                             reads pitchMod[position .. position + count)
//   once per chunk, after all voices: next(count)
// pitchMod is the per-sample pitch offset buffer (one control period, in pitch units) that the
// engine fills at the start of each period; position is the chunk's start within the period.
class SG {
public:
  static constexpr int kTableSize = 4096;
  // Band-limited levels 0..10; level 11 is silence for the guard entry.
  static constexpr int kLevels = 12;
  static constexpr int kSilentLevel = 11;
  // Increment table: entry i holds pitch i - kIndexOffset; entry kGuard is always 0.
  static constexpr int kIndexOffset = 17281;
  static constexpr int kGuard = 34561;
  static constexpr int kIndexCount = kGuard + 1;
  // Index of MIDI note 12, the lowest octave the accumulators run in.
  static constexpr int kNote12Index = 18817;
  static constexpr int kPhaseBits = 28;
  static constexpr uint32_t kPhaseMask = (1u << kPhaseBits) - 1;

  enum WaveForm { kTriangle = 0, kSawtooth = 1, kPulseModulated = 2, kPulseFixed = 3 };

  SG();

  // Ignored below 1 Hz. Rebuilds this generator's increment and level tables, stores the pitch
  // buffer and clears the phases and increments.
  void setSampleRate(double sampleRate, const int* pitchModBuffer);

  void setWaveForm(double value);
  void setScaleBase(double value) { scaleBase = value; }
  // The tune setters keep the offsets current (calcOffset).
  void setTotalTune(int units);
  void setFineTune(int units);
  void setTuning(int pitchClass, int units);
  void calcOffset();

  void update(double pwm, double scaleMod);
  // Adds count samples of the voice playing octave * 12 + pitchClass to buffer.
  void process(double* buffer, int count, int octave, int pitchClass, int position) const;

  // One voice's read position for a chunk, for callers that fuse generators and filter into one
  // loop; tick(j) gives the same samples as process. Phases wrap modulo 2^32, a multiple of the
  // 28-bit cycle, so bits 16..27 always address the table. The guard entry has increment 0 and
  // the silent level: nothing is added and the phase holds, without a branch.
  struct Reader {
    const int* mod;
    int base;
    const int* incTable;
    const int* levelTable;
    const double* table;
    uint32_t a, b;
    bool pulse;

    template <bool kPulse> double tick(int j) {
      constexpr int kMask = kTableSize - 1;
      int idx = mod[j] + base;
      idx = idx < 0 ? 0 : idx > kGuard ? kGuard : idx;
      const auto inc = static_cast<uint32_t>(incTable[idx]);
      const double* t = table + levelTable[idx] * kTableSize;
      a += inc;
      double value = t[(a >> 16) & kMask];
      if constexpr (kPulse) {
        b += inc;
        value -= t[(b >> 16) & kMask];
      }
      return value;
    }
  };
  // Requires isReady(). A voice below the footage's range gets a reader whose base keeps every
  // index on the silent guard entry.
  Reader reader(int octave, int pitchClass, int position) const;
  bool isReady() const { return pitchMod != nullptr; }
  static constexpr int kSilentBase = 1 << 29;
  void next(int count);

  int getWaveForm() const { return waveForm; }
  int getScale() const { return scale; }
  double getPulseWidth() const { return pulseWidth; }
  bool isPulse() const { return pulse; }
  bool isTriangle() const { return useTriangle; }
  int getOffset(int pitchClass) const { return offset[pitchClass]; }
  uint32_t getPhase(int pitchClass) const { return phase[pitchClass]; }
  int getPhaseInc(int pitchClass) const { return phaseInc[pitchClass]; }
  int phaseIncAt(int index) const { return freq2PhInc[index]; }
  int levelAt(int index) const { return freq2WaveIdx[index]; }

  // Process-wide wavetables, kLevels levels of kTableSize entries, level L at kTableSize * L.
  static const double* sawTable();
  static const double* triTable();

private:
  int waveForm = kTriangle;
  double scaleBase = 0.0;
  int totalTune = 0;
  int fineTune = 0;
  int tuning[12] = {};
  const int* pitchMod = nullptr;
  int scale = 0;
  int offset[12] = {};
  uint32_t phase[12] = {};
  int phaseInc[12] = {};
  bool useTriangle = true;
  bool pulse = false;
  double pulseWidth = 0.75;
  std::vector<int> freq2PhInc;
  std::vector<int> freq2WaveIdx;
};
