#include "dsp/voice_lanes.h"

#include "dsp/envelope_time.h"
#include "dsp/sg.h"
#include "dsp/voice.h"
#include "dsp/voice_lane_data.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>

static_assert(kLaneTableSize == SG::kTableSize && kLaneGuard == SG::kGuard, "generator tables");
static_assert(kLaneMaxIndex == FilterTables::kMaxIndex, "filter tables");
static_assert(kLaneSilence == EM::kSilence, "envelope end");

// Copies voices into a lane group and back. Lanes share what the generators and filters share
// (tables, modulation buffers, waveform, filter type); a voice that differs starts a new group.
struct VoiceLaneAccess {
  struct Batch {
    LaneData lanes;
    Voice* voices[kLaneMax];
    Korg35::Run korg35[kLaneMax];
    Ladder::Run ladder[kLaneMax];
    int size = 0;
    // The buffers last checked for steadiness within this chunk, and what was found.
    bool audible1[kLaneMax], audible2[kLaneMax];
    const int* steadyFor[3] = {};
    bool steadyPitch = false, steadyCutoff = false;
  };

  static bool laneable(const Voice& v, int count) {
    return v.active && v.sg1 && v.sg1->isReady() && count <= v.bufferLength &&
           (v.useLadder ? v.ladder.isReady() : v.korg35.isReady());
  }

  static bool sameGenerator(const LaneGenerator& a, const SG::Reader& r) {
    return a.mod == r.mod && a.incTable == r.incTable && a.levelTable == r.levelTable &&
           a.table == r.table && a.pulse == r.pulse;
  }

  // Adds v as the next lane; false (and v untouched) when it cannot share the group.
  static bool add(Batch& batch, Voice& v, int position) {
    LaneData& L = batch.lanes;
    const int l = batch.size;
    SG::Reader r1 = v.sg1->reader(v.octave, v.pitchClass, position);
    SG::Reader r2 = r1;
    if (v.sg2On && v.sg2 && v.sg2->isReady()) {
      r2 = v.sg2->reader(v.octave, v.pitchClass, position);
    } else {
      r2.base = SG::kSilentBase;
      r2.pulse = false;
    }
    // A period the host splits goes on from the phases the previous chunk reached.
    const bool audible1 = r1.base != SG::kSilentBase;
    const bool audible2 = r2.base != SG::kSilentBase;
    if (position > 0 && position == v.resumePosition) {
      if (audible1 && v.resumable1) resume(r1, v.resumePhase1);
      if (audible2 && v.resumable2) resume(r2, v.resumePhase2);
    }
    if (l == 0) {
      L.gen1 = {r1.mod, r1.incTable, r1.levelTable, r1.table, r1.pulse};
      L.gen2 = {r2.mod, r2.incTable, r2.levelTable, r2.table, r2.pulse};
      L.ladder = v.useLadder;
    } else if (!sameGenerator(L.gen1, r1) || !sameGenerator(L.gen2, r2) ||
               L.ladder != v.useLadder) {
      return false;
    }
    if (v.useLadder) {
      const Ladder::Run run = v.ladder.begin(position);
      if (l == 0) {
        L.cutoffMod = run.mod;
        L.ladderCoef = run.coef;
      } else if (L.cutoffMod != run.mod || L.ladderCoef != run.coef) {
        v.ladder.end(run);
        return false;
      }
      batch.ladder[l] = run;
      L.filterBase[l] = run.base;
      L.last[l] = run.last;
      L.filter[kFb][l] = run.fb;
      L.filter[kComp][l] = run.comp;
      L.filter[kG][l] = run.g;
      L.filter[kB][l] = run.b;
      L.filter[kG4][l] = run.g4;
      L.filter[kInv][l] = run.inv;
      L.filter[kG2][l] = run.g2;
      L.filter[kG3][l] = run.g3;
      L.filter[kZ1][l] = run.z1;
      L.filter[kZ2][l] = run.z2;
      L.filter[kZ3][l] = run.z3;
      L.filter[kZ4][l] = run.z4;
      L.filter[kD][l] = run.d;
    } else {
      const Korg35::Run run = v.korg35.begin(position);
      if (l == 0) {
        L.cutoffMod = run.mod;
        L.korg35Coef = run.coef;
      } else if (L.cutoffMod != run.mod || L.korg35Coef != run.coef) {
        v.korg35.end(run);
        return false;
      }
      batch.korg35[l] = run;
      L.filterBase[l] = run.base;
      L.last[l] = run.last;
      L.filter[kK][l] = run.k;
      L.filter[kG1][l] = run.g1;
      L.filter[kB2][l] = run.b2;
      L.filter[kB1][l] = run.b1;
      L.filter[kA0][l] = run.a0;
      L.filter[kGa0][l] = run.ga0;
      L.filter[kOneMinusG][l] = run.oneMinusG;
      L.filter[kTwoGK][l] = run.twoGK;
      L.filter[kOneMinus2G][l] = run.oneMinus2G;
      L.filter[kZ1][l] = run.z1;
      L.filter[kZ2][l] = run.z2;
      L.filter[kZ3][l] = run.z3;
      L.filter[kZ4][l] = 0.0;
      L.filter[kD][l] = run.d;
    }
    batch.audible1[l] = audible1;
    batch.audible2[l] = audible2;
    L.a1[l] = r1.a;
    L.b1[l] = r1.b;
    L.base1[l] = r1.base;
    L.a2[l] = r2.a;
    L.b2[l] = r2.b;
    L.base2[l] = r2.base;
    const EM& em = v.em;
    L.value[l] = em.value;
    L.previous[l] = em.previous;
    L.state[l] = em.state;
    L.target[l] = em.target;
    L.coef[l] = em.coef;
    // Only an attack turns into the decay within a chunk.
    L.decayCoef[l] = em.state == EM::kAttack ? envelopeCoef(em.decay, em.rateFactor) : 0.0;
    L.sustain[l] = em.sustain;
    L.gain[l] = v.gain();
    batch.voices[l] = &v;
    ++batch.size;
    return true;
  }

  static bool isSteady(const int* buffer, int count) {
    for (int j = 1; j < count; ++j)
      if (buffer[j] != buffer[0]) return false;
    return true;
  }

  // Padding lanes repeat the last voice; their results are dropped.
  static void pad(LaneData& L, int from, int to) {
    for (int l = from; l < to; ++l) {
      for (auto& field : L.filter) field[l] = field[from - 1];
      L.value[l] = L.value[from - 1];
      L.previous[l] = L.previous[from - 1];
      L.state[l] = L.state[from - 1];
      L.target[l] = L.target[from - 1];
      L.coef[l] = L.coef[from - 1];
      L.decayCoef[l] = L.decayCoef[from - 1];
      L.sustain[l] = L.sustain[from - 1];
      L.gain[l] = L.gain[from - 1];
      L.a1[l] = L.a1[from - 1];
      L.b1[l] = L.b1[from - 1];
      L.a2[l] = L.a2[from - 1];
      L.b2[l] = L.b2[from - 1];
      L.base1[l] = L.base1[from - 1];
      L.base2[l] = L.base2[from - 1];
      L.filterBase[l] = L.filterBase[from - 1];
      L.last[l] = L.last[from - 1];
    }
  }

  // Moves a reader to the phase a previous chunk reached; the pulse keeps its width.
  static void resume(SG::Reader& r, uint32_t phase) {
    r.b = r.b - r.a + phase;
    r.a = phase;
  }

  static void save(const Batch& batch, int l, int position, int count) {
    const LaneData& L = batch.lanes;
    Voice& v = *batch.voices[l];
    v.resumePosition = position + count;
    v.resumePhase1 = L.a1[l];
    v.resumePhase2 = L.a2[l];
    v.resumable1 = batch.audible1[l];
    v.resumable2 = batch.audible2[l];
    if (L.ladder) {
      Ladder::Run run = batch.ladder[l];
      run.last = L.last[l];
      run.g = L.filter[kG][l];
      run.b = L.filter[kB][l];
      run.g4 = L.filter[kG4][l];
      run.inv = L.filter[kInv][l];
      run.g2 = L.filter[kG2][l];
      run.g3 = L.filter[kG3][l];
      run.z1 = L.filter[kZ1][l];
      run.z2 = L.filter[kZ2][l];
      run.z3 = L.filter[kZ3][l];
      run.z4 = L.filter[kZ4][l];
      run.d = L.filter[kD][l];
      v.ladder.end(run);
    } else {
      Korg35::Run run = batch.korg35[l];
      run.last = L.last[l];
      run.g1 = L.filter[kG1][l];
      run.b2 = L.filter[kB2][l];
      run.b1 = L.filter[kB1][l];
      run.a0 = L.filter[kA0][l];
      run.ga0 = L.filter[kGa0][l];
      run.oneMinusG = L.filter[kOneMinusG][l];
      run.twoGK = L.filter[kTwoGK][l];
      run.oneMinus2G = L.filter[kOneMinus2G][l];
      run.z1 = L.filter[kZ1][l];
      run.z2 = L.filter[kZ2][l];
      run.z3 = L.filter[kZ3][l];
      run.d = L.filter[kD][l];
      v.korg35.end(run);
    }
    EM& em = v.em;
    em.value = L.value[l];
    em.previous = L.previous[l];
    em.state = static_cast<int>(L.state[l]);
    em.target = L.target[l];
    em.coef = L.coef[l];
  }

  // Renders the batch: four lanes with AVX2 when three or four voices wait, two lanes for two,
  // the scalar voice for one.
  static void flush(Batch& batch, VoiceLanes::Path path, double* mix, int count, int position) {
    const int n = batch.size;
    if (n == 0) return;
    batch.size = 0;
    if (n == 1) {
      // The lone voice goes back and renders alone.
      Voice& v = *batch.voices[0];
      if (batch.lanes.ladder)
        v.ladder.end(batch.ladder[0]);
      else
        v.korg35.end(batch.korg35[0]);
      v.process(mix, count, position);
      return;
    }
    const int firstStep = position > 0 ? 0 : 1;
    LaneData& L = batch.lanes;
    if (L.gen1.mod != batch.steadyFor[0] || L.gen2.mod != batch.steadyFor[1] ||
        L.cutoffMod != batch.steadyFor[2]) {
      batch.steadyFor[0] = L.gen1.mod;
      batch.steadyFor[1] = L.gen2.mod;
      batch.steadyFor[2] = L.cutoffMod;
      batch.steadyPitch = isSteady(L.gen1.mod, count) && isSteady(L.gen2.mod, count);
      batch.steadyCutoff = isSteady(L.cutoffMod, count);
    }
    L.steadyPitch = batch.steadyPitch;
    L.steadyCutoff = batch.steadyCutoff;
    if (n > 2 && path == VoiceLanes::Path::kAvx2) {
      pad(batch.lanes, n, 4);
      runLanesAvx2(batch.lanes, n, mix, count, firstStep);
    } else {
      runLanesSse2(batch.lanes, n, mix, count, firstStep);
    }
    for (int l = 0; l < n; ++l) save(batch, l, position, count);
  }
};

namespace VoiceLanes {

namespace {
// -1 while nothing is forced.
std::atomic<int> forced{-1};
} // namespace

bool isSupported(Path path) {
  if (path == Path::kAvx2) return __builtin_cpu_supports("avx2");
  return true;
}

Path bestPath() {
  return isSupported(Path::kAvx2) ? Path::kAvx2 : Path::kSse2;
}

const char* name(Path path) {
  switch (path) {
  case Path::kScalar:
    return "scalar";
  case Path::kSse2:
    return "sse2";
  case Path::kAvx2:
    return "avx2";
  }
  return "?";
}

void forcePath(Path path) {
  forced.store(static_cast<int>(isSupported(path) ? path : Path::kSse2));
}

Path defaultPath() {
  const int f = forced.load();
  if (f >= 0) return static_cast<Path>(f);
  if (const char* env = std::getenv("VARNEL_VOICE_PATH")) {
    for (Path p : {Path::kScalar, Path::kSse2, Path::kAvx2})
      if (std::strcmp(env, name(p)) == 0 && isSupported(p)) return p;
  }
  return bestPath();
}

void process(Path path, Voice* const* voices, int n, double* mix, int count, int position) {
  if (path == Path::kScalar || count <= 0) {
    for (int i = 0; i < n; ++i) voices[i]->process(mix, count, position);
    return;
  }
  const int width = path == Path::kAvx2 ? 4 : 2;
  VoiceLaneAccess::Batch batch;
  for (int i = 0; i < n; ++i) {
    Voice& v = *voices[i];
    if (!VoiceLaneAccess::laneable(v, count)) {
      VoiceLaneAccess::flush(batch, path, mix, count, position);
      v.process(mix, count, position);
      continue;
    }
    if (!VoiceLaneAccess::add(batch, v, position)) {
      VoiceLaneAccess::flush(batch, path, mix, count, position);
      VoiceLaneAccess::add(batch, v, position);
    }
    if (batch.size == width) VoiceLaneAccess::flush(batch, path, mix, count, position);
  }
  VoiceLaneAccess::flush(batch, path, mix, count, position);
}

} // namespace VoiceLanes

// The four-lane kernel gathers coefficients as four doubles per table entry.
static_assert(sizeof(FilterTables::Korg35Coef) == 4 * sizeof(double) &&
                  offsetof(FilterTables::Korg35Coef, onePlusG) == 2 * sizeof(double),
              "Korg 35 coefficient layout");
static_assert(sizeof(FilterTables::LadderCoef) == 4 * sizeof(double) &&
                  offsetof(FilterTables::LadderCoef, G4) == 2 * sizeof(double),
              "ladder coefficient layout");
