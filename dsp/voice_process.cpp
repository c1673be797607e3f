#include "dsp/sg.h"
#include "dsp/voice.h"

namespace {

// Generators, filter, envelope and gain in one pass, so the filter's feedback chain overlaps
// with the rest of the work; the arithmetic is the same as running them one after another.
template <bool kPulse1, bool kPulse2, class Run>
void render(double* mix, int count, int firstStep, SG::Reader& reader1, SG::Reader& reader2,
            Run run, EM& envelope, double gain, Run& out) {
  EM em = envelope; // local copies stay in registers
  SG::Reader r1 = reader1;
  SG::Reader r2 = reader2;
  for (int j = 0; j < count; ++j) {
    const double x = r1.tick<kPulse1>(j) + r2.tick<kPulse2>(j);
    mix[j] += run.tick(x, j) * em.getValue() * gain;
    // The first two samples of a period share one envelope value; with the step in update the
    // envelope advances once per sample over the period, however the host splits it.
    if (j >= firstStep) em.update();
  }
  out = run;
  envelope = em;
  reader1 = r1;
  reader2 = r2;
}

template <class Run>
void renderAny(double* mix, int count, int firstStep, SG::Reader& r1, SG::Reader& r2, Run& run,
               EM& em, double gain) {
  if (r1.pulse) {
    if (r2.pulse)
      render<true, true>(mix, count, firstStep, r1, r2, run, em, gain, run);
    else
      render<true, false>(mix, count, firstStep, r1, r2, run, em, gain, run);
  } else {
    if (r2.pulse)
      render<false, true>(mix, count, firstStep, r1, r2, run, em, gain, run);
    else
      render<false, false>(mix, count, firstStep, r1, r2, run, em, gain, run);
  }
}

// Moves a reader to the phase a previous chunk reached; the pulse keeps its width.
void resume(SG::Reader& r, uint32_t phase) {
  r.b = r.b - r.a + phase;
  r.a = phase;
}

} // namespace

void Voice::process(double* mix, int count, int position) {
  if (!active || count <= 0 || !sg1 || !sg1->isReady()) return;
  if (count > bufferLength) count = bufferLength;
  SG::Reader r1 = sg1->reader(octave, pitchClass, position);
  SG::Reader r2 = r1;
  if (sg2On && sg2 && sg2->isReady()) {
    r2 = sg2->reader(octave, pitchClass, position);
  } else {
    r2.base = SG::kSilentBase; // reads the silent guard entry
    r2.pulse = false;
  }
  const bool audible1 = r1.base != SG::kSilentBase;
  const bool audible2 = r2.base != SG::kSilentBase;
  if (position > 0 && position == resumePosition) {
    if (audible1 && resumable1) resume(r1, resumePhase1);
    if (audible2 && resumable2) resume(r2, resumePhase2);
  }
  const double g = gain();
  const int firstStep = position > 0 ? 0 : 1;
  if (useLadder) {
    if (!ladder.isReady()) return;
    Ladder::Run run = ladder.begin(position);
    renderAny(mix, count, firstStep, r1, r2, run, em, g);
    ladder.end(run);
  } else {
    if (!korg35.isReady()) return;
    Korg35::Run run = korg35.begin(position);
    renderAny(mix, count, firstStep, r1, r2, run, em, g);
    korg35.end(run);
  }
  resumePosition = position + count;
  resumePhase1 = r1.a;
  resumePhase2 = r2.a;
  resumable1 = audible1;
  resumable2 = audible2;
}
