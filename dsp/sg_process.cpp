#include "dsp/sg.h"

#include <algorithm>

namespace {

// Phases wrap modulo 2^32, a multiple of the 28-bit cycle, so bits 16..27 always address the
// table. The guard entry has increment 0 and the silent level: nothing is added and the
// phase holds, without a branch in the loop.
template <bool kPulse>
void render(double* out, int count, const int* mod, int base, const int* incTable,
            const int* levelTable, const double* table, uint32_t a, uint32_t b) {
  constexpr int kMask = SG::kTableSize - 1;
  for (int j = 0; j < count; ++j) {
    const int idx = std::clamp(mod[j] + base, 0, SG::kGuard);
    const uint32_t inc = static_cast<uint32_t>(incTable[idx]);
    const double* t = table + levelTable[idx] * SG::kTableSize;
    a += inc;
    double value = t[(a >> 16) & kMask];
    if constexpr (kPulse) {
      b += inc;
      value -= t[(b >> 16) & kMask];
    }
    out[j] += value;
  }
}

} // namespace

void SG::process(double* buffer, int count, int octave, int pitchClass, int position) const {
  static constexpr int kShift[4] = {-2, -1, 0, 1};
  const int e = octave + kShift[scale];
  if (e < 0 || e > 20 || !pitchMod || pitchClass < 0 || pitchClass > 11) return;
  const uint32_t a = (phase[pitchClass] << e) & kPhaseMask;
  const int base = offset[pitchClass] + 128 * pitchClass + 1536 * e + kNote12Index;
  const double* table = useTriangle ? triTable() : sawTable();
  const int* mod = pitchMod + position;
  if (pulse) {
    const auto b = static_cast<uint32_t>(static_cast<int64_t>(pulseWidth * (1u << kPhaseBits) + a));
    render<true>(buffer, count, mod, base, freq2PhInc.data(), freq2WaveIdx.data(), table, a, b);
  } else {
    render<false>(buffer, count, mod, base, freq2PhInc.data(), freq2WaveIdx.data(), table, a, 0);
  }
}
