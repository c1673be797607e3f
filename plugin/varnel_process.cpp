#include "plugin/varnel.h"

#include <algorithm>

void Varnel::synchronizeClock() {
  const ITimeInfo& transport = GetTimeInfo();
  if (!clockStarted) {
    clockStarted = true;
    clock.synchronize(transport);
    return;
  }
  if (transport.transportIsRunning != transportWasRunning) {
    transportWasRunning = transport.transportIsRunning;
    if (transportWasRunning) clock.reset();
  }
  if (transport.transportIsRunning)
    clock.synchronize(transport);
  else
    clock.calculateMarkers();
}

void Varnel::ProcessBlock(double** /*inputs*/, double** outputs, int nFrames) {
  double* left = outputs[0];
  double* right = NOutChannels() > 1 ? outputs[1] : nullptr;
  if (!voiceMixBuf) { // not reset yet
    std::fill(left, left + nFrames, 0.0);
    if (right) std::fill(right, right + nFrames, 0.0);
    return;
  }

  synchronizeClock();
  const int n = controlPeriod;
  int framesLeft = nFrames;
  while (framesLeft > 0) {
    int pos = 0;
    int chunk = 0;
    if (periodRemaining <= 0) {
      handleMidiEvents();
      update(n);
      if (framesLeft < n) {
        chunk = framesLeft;
        periodRemaining = n - chunk;
      } else {
        chunk = n;
      }
    } else {
      pos = n - periodRemaining;
      if (periodRemaining < framesLeft) {
        chunk = periodRemaining;
        periodRemaining = 0;
      } else {
        chunk = framesLeft;
        periodRemaining -= chunk;
      }
    }
    renderChunk(left, right, pos, chunk);
    left += chunk;
    if (right) right += chunk;
    framesLeft -= chunk;
  }
}

void Varnel::renderChunk(double* left, double* right, int pos, int chunk) {
  double* mix = voiceMixBuf.get();
  double* bus = sectionBuf.get();
  std::fill(mix, mix + chunk, 0.0);
  Voice* sounding[kNumVoices];
  int n = 0;
  for (uint64_t m = activeVoices; m; m &= m - 1) sounding[n++] = &voices[__builtin_ctzll(m)];
  VoiceLanes::process(voicePath, sounding, n, mix, chunk, pos);
  sg1.next(chunk);
  sg2.next(chunk);

  if (resonatorsOn) {
    std::fill(bus, bus + chunk, 0.0);
    for (Resonator& r : resonators) r.process(mix, bus, chunk);
  } else {
    std::copy(mix, mix + chunk, bus);
  }
  for (int b = 0; b < kNumEqBands; ++b)
    if (eqBandOn[b]) eq[b].process(bus, chunk);
  if (amDepth > 0.0) {
    const double* am = amModBuf.get() + pos;
    for (int j = 0; j < chunk; ++j) bus[j] *= 1.0 + amDepth * (am[j] - 1.0);
  }
  if (ensembleOn) {
    // Once per control period, so the chorus runs at the same speed whatever the host's blocks.
    if (pos == 0) ensemble.update();
    ensemble.process(bus, chunk);
  }

  const double* gain = finalGainBuf.get() + pos;
  if (right) {
    for (int j = 0; j < chunk; ++j) {
      const double g = bus[j] * gain[j];
      left[j] = finalLeft * g + directLeft * mix[j];
      right[j] = finalRight * g + directRight * mix[j];
    }
  } else {
    // Mono: the average of both sides, so that a centred pan keeps the stereo level.
    const double finalGain = 0.5 * (finalLeft + finalRight);
    const double directGain = 0.5 * (directLeft + directRight);
    for (int j = 0; j < chunk; ++j) left[j] = finalGain * bus[j] * gain[j] + directGain * mix[j];
  }
}
