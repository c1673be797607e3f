#pragma once
// The lane kernel: one group of voices, one chunk. Included once per instruction set, each time
// inside its own namespace, so no inline function compiled for AVX2 can stand in for the
// baseline build of the same name. Plain data in, plain data out; the caller (voice_lanes.cpp)
// copies voice state in and back, so this file needs no engine header.
#include <cstdint>

#include "dsp/voice_lane_data.h"

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace VARNEL_LANES_NS {

template <int W> struct Vec {
  typedef double D __attribute__((vector_size(8 * W)));
  typedef long long M __attribute__((vector_size(8 * W)));
};

inline int clampIndex(int idx) {
  return idx < 0 ? 0 : idx > kLaneGuard ? kLaneGuard : idx;
}

#if defined(__AVX2__)
// base[index] for four 32-bit indices (the masked form, which leaves nothing undefined).
inline Vec<4>::D gather4(const double* base, __m128i index, int /*scale*/) {
  const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
  return (Vec<4>::D)_mm256_mask_i32gather_pd(_mm256_setzero_pd(), base, index, all, 8);
}
#endif

template <int W> inline typename Vec<W>::D load(const double* p) {
  typename Vec<W>::D v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
template <int W> inline void store(double* p, typename Vec<W>::D v) {
  __builtin_memcpy(p, &v, sizeof v);
}

// One generator read of lane l, exactly as SG::Reader::tick.
template <bool kPulse>
inline double tickGenerator(const LaneGenerator& g, int m, int base, uint32_t& a, uint32_t& b) {
  const int idx = clampIndex(m + base);
  const auto inc = static_cast<uint32_t>(g.incTable[idx]);
  const double* t = g.table + g.levelTable[idx] * kLaneTableSize;
  a += inc;
  double value = t[(a >> 16) & (kLaneTableSize - 1)];
  if constexpr (kPulse) {
    b += inc;
    value -= t[(b >> 16) & (kLaneTableSize - 1)];
  }
  return value;
}

// kSteadyPitch: the generators' pitch buffers hold one value over the chunk, so each lane's
// increment and table stay put; kSteadyCutoff: the same for the filters' cutoff buffer.
template <int W, bool kPulse1, bool kPulse2, bool kLadder, bool kSteadyPitch, bool kSteadyCutoff>
void runLanes(LaneData& L, int real, double* mix, int count, int firstStep) {
  using D = typename Vec<W>::D;
#if defined(__AVX2__)
  // Four lanes read the coefficient tables with gathers: the same entries, fewer instructions.
  constexpr bool kGather = W == 4;
#else
  constexpr bool kGather = false;
#endif
  // Only the filter coefficients are gathered (three per lane whenever a cutoff moves: with the
  // cutoff modulated this halved the heavy patch's cost); wavetable reads stay scalar loads.
  static_assert(W <= kLaneMax, "lane data too small");
  uint32_t a1[W], b1[W], a2[W], b2[W];
  int base1[W], base2[W], fbase[W], last[W];
  for (int l = 0; l < W; ++l) {
    a1[l] = L.a1[l];
    b1[l] = L.b1[l];
    a2[l] = L.a2[l];
    b2[l] = L.b2[l];
    base1[l] = L.base1[l];
    base2[l] = L.base2[l];
    fbase[l] = L.filterBase[l];
    last[l] = L.last[l];
  }
  D f[kFilterFields];
  for (int i = 0; i < kFilterFields; ++i) f[i] = load<W>(L.filter[i]);
  D value = load<W>(L.value), previous = load<W>(L.previous), state = load<W>(L.state);
  D target = load<W>(L.target), coef = load<W>(L.coef);
  const D decayCoef = load<W>(L.decayCoef), sustain = load<W>(L.sustain);
  const D gain = load<W>(L.gain);
  const int* mod1 = L.gen1.mod;
  const int* mod2 = L.gen2.mod;
  const int* cutoffMod = L.cutoffMod;

  // Steady pitch: each lane's increment and table, looked up once as tickGenerator would.
  uint32_t inc1[W], inc2[W];
  const double* t1[W];
  const double* t2[W];
  if constexpr (kSteadyPitch) {
    for (int l = 0; l < W; ++l) {
      const int i1 = clampIndex(mod1[0] + base1[l]);
      inc1[l] = static_cast<uint32_t>(L.gen1.incTable[i1]);
      t1[l] = L.gen1.table + L.gen1.levelTable[i1] * kLaneTableSize;
      const int i2 = clampIndex(mod2[0] + base2[l]);
      inc2[l] = static_cast<uint32_t>(L.gen2.incTable[i2]);
      t2[l] = L.gen2.table + L.gen2.levelTable[i2] * kLaneTableSize;
    }
  }
#if defined(__AVX2__)
  __m128i gFbase = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fbase));
  __m128i gLast = _mm_loadu_si128(reinterpret_cast<const __m128i*>(last));
#endif
  // Padding lanes add +0, which leaves every mix value as it is (a mix that starts at +0 can
  // never become -0).
  typename Vec<W>::M padding;
  for (int l = 0; l < W; ++l) padding[l] = l < real ? 0 : -1;
  const D zero = D{};

  for (int j = 0; j < count; ++j) {
    double xs[W];
    if constexpr (kSteadyPitch) {
      constexpr uint32_t kMask = kLaneTableSize - 1;
      for (int l = 0; l < W; ++l) {
        a1[l] += inc1[l];
        double v1 = t1[l][(a1[l] >> 16) & kMask];
        if constexpr (kPulse1) {
          b1[l] += inc1[l];
          v1 -= t1[l][(b1[l] >> 16) & kMask];
        }
        a2[l] += inc2[l];
        double v2 = t2[l][(a2[l] >> 16) & kMask];
        if constexpr (kPulse2) {
          b2[l] += inc2[l];
          v2 -= t2[l][(b2[l] >> 16) & kMask];
        }
        xs[l] = v1 + v2;
      }
    } else {
      const int m1 = mod1[j], m2 = mod2[j];
      for (int l = 0; l < W; ++l) {
        const double v1 = tickGenerator<kPulse1>(L.gen1, m1, base1[l], a1[l], b1[l]);
        const double v2 = tickGenerator<kPulse2>(L.gen2, m2, base2[l], a2[l], b2[l]);
        xs[l] = v1 + v2;
      }
    }
    const D in = load<W>(xs);

    // A coefficient set is a function of cutoff index and feedback alone, so recomputing every
    // lane when any lane's index moved gives each lane the values it would have kept.
    bool changed = false;
    int idx[W];
#if defined(__AVX2__)
    __m128i gIdx4 = _mm_setzero_si128();
    if constexpr (kGather) {
      if (!kSteadyCutoff || j == 0) {
        const __m128i i = _mm_add_epi32(_mm_set1_epi32(cutoffMod[j]), gFbase);
        changed = _mm_movemask_epi8(_mm_cmpeq_epi32(i, gLast)) != 0xFFFF;
        gLast = i;
        const __m128i clamped =
            _mm_max_epi32(_mm_min_epi32(i, _mm_set1_epi32(kLaneMaxIndex)), _mm_setzero_si128());
        gIdx4 = _mm_slli_epi32(clamped, 2); // four doubles per entry
      }
    }
#endif
    if (!kGather && (!kSteadyCutoff || j == 0)) {
      const int cm = cutoffMod[j];
      for (int l = 0; l < W; ++l) {
        idx[l] = cm + fbase[l];
        changed |= idx[l] != last[l];
        last[l] = idx[l];
      }
    }
    D y;
    if constexpr (kLadder) {
      D& fb = f[kFb];
      D& g = f[kG];
      D& b = f[kB];
      D& g4 = f[kG4];
      D& inv = f[kInv];
      D& g2 = f[kG2];
      D& g3 = f[kG3];
      D& z1 = f[kZ1];
      D& z2 = f[kZ2];
      D& z3 = f[kZ3];
      D& z4 = f[kZ4];
      D& d = f[kD];
      if (changed) {
        if constexpr (kGather) {
#if defined(__AVX2__)
          const double* c = &L.ladderCoef->G;
          g = gather4(c, gIdx4, 8);
          b = gather4(c + 1, gIdx4, 8);
          g4 = gather4(c + 2, gIdx4, 8);
#endif
        } else {
          double cg[W], cb[W], cg4[W];
          for (int l = 0; l < W; ++l) {
            const int i = idx[l];
            const LaneLadderCoef& c = L.ladderCoef[i < 0               ? 0
                                                   : i > kLaneMaxIndex ? kLaneMaxIndex
                                                                       : i];
            cg[l] = c.G;
            cb[l] = c.b;
            cg4[l] = c.G4;
          }
          g = load<W>(cg);
          b = load<W>(cb);
          g4 = load<W>(cg4);
        }
        g2 = g * g;
        g3 = g2 * g;
        inv = 1.0 / (1.0 + fb * g4);
      }
      const D x = in - d;
      z1 -= d;
      z2 -= d;
      z3 -= d;
      z4 -= d;
      d = -d;
      const D s = (g3 * z1 + g2 * z2) + (g * z3 + z4);
      const D yy = (g4 * x + s) * inv;
      const D minus1 = D{} - 1.0;
      const D plus1 = D{} + 1.0;
      const D limited = yy < -1.0 ? minus1 : yy > 1.0 ? plus1 : yy;
      const D u = x - fb * limited;
      const D y1 = g * u + z1;
      const D y2 = g2 * u + (g * z1 + z2);
      const D y3 = g3 * u + ((g2 * z1 + g * z2) + z3);
      const D y4 = g4 * u + s;
      z1 = g * u - b * y1;
      z2 = g * y1 - b * y2;
      z3 = g * y2 - b * y3;
      z4 = g * y3 - b * y4;
      y = yy * f[kComp];
    } else {
      const D k = f[kK];
      D& g1 = f[kG1];
      D& b2c = f[kB2];
      D& b1c = f[kB1];
      D& a0 = f[kA0];
      D& ga0 = f[kGa0];
      D& oneMinusG = f[kOneMinusG];
      D& twoGK = f[kTwoGK];
      D& oneMinus2G = f[kOneMinus2G];
      D& z1 = f[kZ1];
      D& z2 = f[kZ2];
      D& z3 = f[kZ3];
      D& d = f[kD];
      if (changed) {
        D onePlusG;
        if constexpr (kGather) {
#if defined(__AVX2__)
          const double* c = &L.korg35Coef->G;
          g1 = gather4(c, gIdx4, 8);
          b1c = gather4(c + 1, gIdx4, 8);
          onePlusG = gather4(c + 2, gIdx4, 8);
#endif
        } else {
          double cg[W], cb1[W], cop[W];
          for (int l = 0; l < W; ++l) {
            const int i = idx[l];
            const LaneKorg35Coef& c = L.korg35Coef[i < 0               ? 0
                                                   : i > kLaneMaxIndex ? kLaneMaxIndex
                                                                       : i];
            cg[l] = c.G;
            cb1[l] = c.beta1;
            cop[l] = c.onePlusG;
          }
          g1 = load<W>(cg);
          b1c = load<W>(cb1);
          onePlusG = load<W>(cop);
        }
        b2c = (k - k * g1) / onePlusG;
        a0 = 1.0 / (1.0 - k * g1 + k * g1 * g1);
        ga0 = g1 * a0;
        oneMinusG = 1.0 - g1;
        twoGK = 2.0 * g1 * k;
        oneMinus2G = 1.0 - 2.0 * g1;
      }
      const D x = in - d;
      z1 -= d;
      z2 -= d;
      z3 -= d;
      d = -d;
      const D h1 = (x - z1) * g1;
      const D y1 = z1 + h1;
      z1 = y1 + h1;
      D s = b2c * z2 + b1c * z3;
      s = s > 0.0 ? s * 1.17 : s;
      const D y2 = ga0 * s + (ga0 * y1 + oneMinusG * z2);
      z2 = 2.0 * y2 - z2;
      z3 = twoGK * y2 + oneMinus2G * z3;
      y = y2;
    }

    const D c = padding ? zero : y * value * gain;
    // Added in engine order, one voice after another, as the voices would one by one.
    double m = mix[j];
    for (int l = 0; l < W; ++l) m += c[l];
    mix[j] = m;

    if (j >= firstStep) {
      // EM::update, lane by lane through masks.
      const auto running = state > 0.0;
      previous = running ? value : previous;
      const D next = value + (target - value) * coef;
      value = running ? next : value;
      const auto attacking = running & (state == 1.0);
      const auto peak = attacking & (value >= 1.0);
      const D one = D{} + 1.0;
      value = peak ? one : value;
      state = peak ? one + 1.0 : state;
      coef = peak ? decayCoef : coef;
      target = peak ? sustain : target;
      const auto silent = running & ~attacking & (value <= kLaneSilence);
      value = silent ? D{} : value;
      state = silent ? D{} : state;
    }
  }

#if defined(__AVX2__)
  if constexpr (kGather) _mm_storeu_si128(reinterpret_cast<__m128i*>(last), gLast);
#endif
  for (int l = 0; l < W; ++l) {
    L.a1[l] = a1[l];
    L.b1[l] = b1[l];
    L.a2[l] = a2[l];
    L.b2[l] = b2[l];
    L.last[l] = last[l];
  }
  for (int i = 0; i < kFilterFields; ++i) store<W>(L.filter[i], f[i]);
  store<W>(L.value, value);
  store<W>(L.previous, previous);
  store<W>(L.state, state);
  store<W>(L.target, target);
  store<W>(L.coef, coef);
}

template <int W, bool P1, bool P2, bool kLadder>
void runSteady(LaneData& L, int real, double* mix, int count, int firstStep) {
  if (L.steadyPitch) {
    L.steadyCutoff ? runLanes<W, P1, P2, kLadder, true, true>(L, real, mix, count, firstStep)
                   : runLanes<W, P1, P2, kLadder, true, false>(L, real, mix, count, firstStep);
  } else {
    L.steadyCutoff ? runLanes<W, P1, P2, kLadder, false, true>(L, real, mix, count, firstStep)
                   : runLanes<W, P1, P2, kLadder, false, false>(L, real, mix, count, firstStep);
  }
}

template <int W, bool kLadder>
void runFilter(LaneData& L, int real, double* mix, int count, int firstStep) {
  const bool p1 = L.gen1.pulse, p2 = L.gen2.pulse;
  if (p1)
    p2 ? runSteady<W, true, true, kLadder>(L, real, mix, count, firstStep)
       : runSteady<W, true, false, kLadder>(L, real, mix, count, firstStep);
  else
    p2 ? runSteady<W, false, true, kLadder>(L, real, mix, count, firstStep)
       : runSteady<W, false, false, kLadder>(L, real, mix, count, firstStep);
}

// The entry for one instruction set: picks the instance for the group's waveforms and filter.
template <int W> void runGroup(LaneData& L, int real, double* mix, int count, int firstStep) {
  if (L.ladder)
    runFilter<W, true>(L, real, mix, count, firstStep);
  else
    runFilter<W, false>(L, real, mix, count, firstStep);
}

} // namespace VARNEL_LANES_NS
