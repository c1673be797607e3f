#include "dsp/sg.h"

#include "dsp/pitch.h"
#include "dsp/wavetable_build.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

int levelForIncrement(int inc) {
  if (inc < (1 << 17)) return 0;
  int v = inc >> 16;
  int level = 1;
  while (v > 3) {
    v >>= 1;
    ++level;
  }
  return std::min(level, 10);
}

} // namespace

static_assert(SG::kLevels == kWavetableLevels && SG::kTableSize == kWavetableSize,
              "wavetable layout");

// Computed at build time (varnel-wavetables): an instance starts without the work.
const double* SG::sawTable() {
  return kSawWavetable;
}
const double* SG::triTable() {
  return kTriWavetable;
}

SG::SG() : freq2PhInc(kIndexCount, 0), freq2WaveIdx(kIndexCount, kSilentLevel) {}

void SG::setSampleRate(double sampleRate, const int* pitchModBuffer) {
  if (!(sampleRate >= 1.0)) return;
  pitchMod = pitchModBuffer;
  const double scaleToInc = double(1u << kPhaseBits) / sampleRate;
  for (int i = 0; i < kGuard; ++i) {
    const double inc = std::min(convert2Hz(i - kIndexOffset) * scaleToInc, 2147483647.0);
    freq2PhInc[i] = static_cast<int>(inc);
    // A zero increment is skipped like the guard: silent, phase held.
    freq2WaveIdx[i] = freq2PhInc[i] > 0 ? levelForIncrement(freq2PhInc[i]) : kSilentLevel;
  }
  freq2PhInc[kGuard] = 0;
  freq2WaveIdx[kGuard] = kSilentLevel;
  std::fill(std::begin(phase), std::end(phase), 0u);
  std::fill(std::begin(phaseInc), std::end(phaseInc), 0);
}

void SG::setWaveForm(double w) {
  useTriangle = false;
  pulse = false;
  if (w < 0.167) {
    waveForm = kTriangle;
    useTriangle = true;
  } else if (w < 0.334) {
    waveForm = kSawtooth;
  } else if (w <= 0.5) {
    waveForm = kPulseModulated;
    pulse = true;
  } else {
    waveForm = kPulseFixed;
    pulse = true;
    pulseWidth = (1.0 - w) * 0.95 + 0.05;
  }
}

void SG::setTotalTune(int units) {
  totalTune = units;
  calcOffset();
}

void SG::setFineTune(int units) {
  fineTune = units;
  calcOffset();
}

void SG::setTuning(int pitchClass, int units) {
  if (pitchClass < 0 || pitchClass > 11) return;
  tuning[pitchClass] = units;
  calcOffset();
}

void SG::calcOffset() {
  for (int k = 0; k < 12; ++k) offset[k] = tuning[k] + totalTune + fineTune;
}

void SG::update(double pwm, double scaleMod) {
  if (waveForm == kPulseModulated) pulseWidth = pwm + 0.5;
  const double s = scaleMod + scaleBase;
  scale = s < 0.25 ? 0 : s < 0.5 ? 1 : s < 0.75 ? 2 : 3;
  const int mod = pitchMod ? pitchMod[0] : 0;
  for (int k = 0; k < 12; ++k) {
    const int i = std::clamp(mod + offset[k] + 128 * k + kNote12Index, 0, kGuard);
    phaseInc[k] = freq2PhInc[i];
  }
}

void SG::next(int count) {
  for (int k = 0; k < 12; ++k)
    phase[k] =
        (phase[k] + static_cast<uint32_t>(phaseInc[k]) * static_cast<uint32_t>(count)) & kPhaseMask;
}
