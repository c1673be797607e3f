#include "dsp/sg.h"

#include <cstdint>

SG::Reader SG::reader(int octave, int pitchClass, int position) const {
  static constexpr int kShift[4] = {-2, -1, 0, 1};
  Reader r{pitchMod + position,
           kSilentBase,
           freq2PhInc.data(),
           freq2WaveIdx.data(),
           useTriangle ? triTable() : sawTable(),
           0,
           0,
           pulse};
  const int e = octave + kShift[scale];
  // Keys below 24 at 16' (below 12 at 8') are not played by this generator.
  if (e < 0 || e > 20 || pitchClass < 0 || pitchClass > 11) return r;
  r.a = (phase[pitchClass] << e) & kPhaseMask;
  r.base = offset[pitchClass] + 128 * pitchClass + 1536 * e + kNote12Index;
  if (pulse)
    r.b = static_cast<uint32_t>(static_cast<int64_t>(pulseWidth * (1u << kPhaseBits) + r.a));
  return r;
}

void SG::process(double* buffer, int count, int octave, int pitchClass, int position) const {
  if (!pitchMod) return;
  Reader r = reader(octave, pitchClass, position);
  if (r.base == kSilentBase) return;
  if (r.pulse) {
    for (int j = 0; j < count; ++j) buffer[j] += r.tick<true>(j);
  } else {
    for (int j = 0; j < count; ++j) buffer[j] += r.tick<false>(j);
  }
}
