#include "dsp/sg.h"
#include "dsp/voice.h"

#include <algorithm>

void Voice::process(double* mix, int count, int position) {
  if (!active || count <= 0) return;
  count = std::min(count, bufferLength);
  double* buf = buffer.data();
  std::fill(buf, buf + count, 0.0);
  if (sg1) sg1->process(buf, count, octave, pitchClass, position);
  if (sg2On && sg2) sg2->process(buf, count, octave, pitchClass, position);
  if (useLadder)
    ladder.process(buf, count, position);
  else
    korg35.process(buf, count, position);
  const double g = gain();
  // The first two samples share one envelope value; with the step in update the envelope
  // advances once per sample over a whole control period.
  mix[0] += buf[0] * em.getValue() * g;
  for (int j = 1; j < count; ++j) {
    mix[j] += buf[j] * em.getValue() * g;
    em.update();
  }
}
