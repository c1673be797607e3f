#include "dsp/sg.h"
#include "dsp/voice.h"

namespace {

// Generators, filter, envelope and gain in one pass, so the filter's feedback chain overlaps
// with the rest of the work; the arithmetic is the same as running them one after another.
template <bool kPulse1, bool kPulse2, class Run>
void render(double* mix, int count, int firstStep, SG::Reader r1, SG::Reader r2, Run run,
            EM& envelope, double gain, Run& out) {
  EM em = envelope; // a local copy stays in registers
  for (int j = 0; j < count; ++j) {
    const double x = r1.tick<kPulse1>(j) + r2.tick<kPulse2>(j);
    mix[j] += run.tick(x, j) * em.getValue() * gain;
    // The first two samples of a period share one envelope value; with the step in update the
    // envelope advances once per sample over the period, however the host splits it.
    if (j >= firstStep) em.update();
  }
  out = run;
  envelope = em;
}

template <class Run>
void renderAny(double* mix, int count, int firstStep, const SG::Reader& r1, const SG::Reader& r2,
               Run& run, EM& em, double gain) {
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

} // namespace

void Voice::process(double* mix, int count, int position) {
  if (!active || count <= 0 || !sg1 || !sg1->isReady()) return;
  if (count > bufferLength) count = bufferLength;
  const SG::Reader r1 = sg1->reader(octave, pitchClass, position);
  SG::Reader r2 = r1;
  if (sg2On && sg2 && sg2->isReady()) {
    r2 = sg2->reader(octave, pitchClass, position);
  } else {
    r2.base = SG::kSilentBase; // reads the silent guard entry
    r2.pulse = false;
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
}
