#include "dsp/clock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

const double Clock::syncRate[Clock::kNumRates] = {
    0.0,  16.0,      12.0, 8.0,   6.0,       4.0,  3.0,    2.0,       1.5,   4.0 / 3.0, 1.0,
    0.75, 2.0 / 3.0, 0.5,  0.375, 1.0 / 3.0, 0.25, 0.1875, 1.0 / 6.0, 0.125, 0.0625};

double roundTempo(double tempo) {
  return std::round(tempo * 1000.0) * 0.001;
}

void Clock::synchronize(const ITimeInfo& t) {
  timeInfo = t;
  double tempo = roundTempo(t.tempo);
  if (!std::isfinite(tempo)) tempo = 0.0;
  samplesPerBeat = (tempo > 0.0 ? 60.0 / tempo : 0.5) * sampleRate;
  for (int r = 1; r < kNumRates; ++r) {
    length[r] = samplesPerBeat * syncRate[r];
    const double rounded = std::floor(length[r] + 0.5);
    // Absurd tempi or rates must not overflow the integer counters.
    period[r] = rounded >= 0.0 ? static_cast<int>(std::min(rounded, double(kMaxPeriod))) : 0;
  }
  // A position we cannot place on the grid stops the clock until a usable one arrives.
  if (!std::isfinite(t.ppqPos) || !std::isfinite(t.samplePos)) {
    position = -1.0;
    return;
  }
  position = t.samplePos >= 0.0 ? samplesPerBeat * t.ppqPos : t.samplePos;
  if (t.ppqPos == lastPPQ) return;
  if (t.ppqPos < lastPPQ) {
    position = 0.0;
    for (int r = 1; r < kNumRates; ++r) counter[r] = period[r];
  }
  calculateMarkers();
  lastPPQ = t.ppqPos;
}

void Clock::reset() {
  position = 0.0;
  for (int r = 1; r < kNumRates; ++r) counter[r] = period[r];
}

void Clock::calculateMarkers() {
  double next = HUGE_VAL;
  for (int r = 1; r < kNumRates; ++r) {
    double m = position;
    if (length[r] > 0.0) {
      m = std::floor(position / length[r]) * length[r];
      if (m < position) m += length[r];
    }
    marker[r] = m;
    next = std::min(next, m);
  }
  nextMarker = next;
}

void Clock::tick() {
  if (position < 0.0) return;
  position += 1.0;
  // Most samples start no cycle: then only the counters move.
  if (position < nextMarker) {
    for (int r = 1; r < kNumRates; ++r) counter[r] = std::max(counter[r] - 1, 0);
    return;
  }
  double next = HUGE_VAL;
  for (int r = 1; r < kNumRates; ++r) {
    counter[r] = std::max(counter[r] - 1, 0);
    if (position >= marker[r]) {
      marker[r] += length[r];
      counter[r] = period[r];
    }
    next = std::min(next, marker[r]);
  }
  nextMarker = next;
}

bool Clock::isTrigger(int rate, int output) {
  if (rate <= 0) return false;
  rate = std::min(rate, kNumRates - 1);
  bool* edge = wasHigh[std::clamp(output, 0, kNumOutputs - 1)];
  const bool high = 2 * std::int64_t(counter[rate]) >= period[rate];
  const bool trigger = high && !edge[rate];
  edge[rate] = high;
  return trigger;
}
