#pragma once
// The state of one group of voices in lanes, structure-of-arrays: what the lane kernel reads and
// writes for one chunk. Plain data only, shared by the baseline and the AVX2 build of the kernel.
#include <cstdint>

#include "dsp/filter_tables.h"

constexpr int kLaneMax = 4;
constexpr int kLaneTableSize = 4096;   // SG::kTableSize
constexpr int kLaneGuard = 34561;      // SG::kGuard
constexpr int kLaneMaxIndex = 17280;   // FilterTables::kMaxIndex
constexpr double kLaneSilence = 1e-20; // EM::kSilence

// The generator fields every voice of the group shares (SG::Reader without the per-voice part).
struct LaneGenerator {
  const int* mod;
  const int* incTable;
  const int* levelTable;
  const double* table;
  bool pulse;
};

using LaneKorg35Coef = FilterTables::Korg35Coef;
using LaneLadderCoef = FilterTables::LadderCoef;

// Filter fields by index: the Korg 35's and the ladder's working copies (Run) share the array.
enum LaneFilterField {
  kZ1,
  kZ2,
  kZ3,
  kZ4,
  kD,
  // Korg 35
  kK,
  kG1,
  kB2,
  kB1,
  kA0,
  kGa0,
  kOneMinusG,
  kTwoGK,
  kOneMinus2G,
  // ladder
  kFb = kK,
  kComp,
  kG,
  kB,
  kG4,
  kInv,
  kG2,
  kG3,
  kFilterFields = kOneMinus2G + 1
};

struct alignas(32) LaneData {
  double filter[kFilterFields][kLaneMax];
  double value[kLaneMax], previous[kLaneMax], state[kLaneMax], target[kLaneMax], coef[kLaneMax];
  double decayCoef[kLaneMax], sustain[kLaneMax], gain[kLaneMax];
  uint32_t a1[kLaneMax], b1[kLaneMax], a2[kLaneMax], b2[kLaneMax];
  int base1[kLaneMax], base2[kLaneMax], filterBase[kLaneMax], last[kLaneMax];
  LaneGenerator gen1, gen2;
  const int* cutoffMod;
  const LaneKorg35Coef* korg35Coef;
  const LaneLadderCoef* ladderCoef;
  bool ladder;
  // The pitch buffers of both generators, or the cutoff buffer, hold one value over the chunk.
  bool steadyPitch, steadyCutoff;
};

// The kernels, one per instruction set: real of the group's lanes are voices, the rest padding.
void runLanesSse2(LaneData& lanes, int real, double* mix, int count, int firstStep);
void runLanesAvx2(LaneData& lanes, int real, double* mix, int count, int firstStep);
