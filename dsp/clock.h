#pragma once
#include "framework/core/time_info.h"

// Rounds a host tempo to three decimals so that tiny host jitter does not shift the grid.
double roundTempo(double tempo);

// Host-synchronised time base: for each of 20 note values a cycle aligned to the beat grid.
//
// Engine use:
// - after every sample-rate change: setSampleRate(rate) before the next block.
// - at the start of each block: synchronize(transport) while the transport runs (first reset()
//   when it has just started), otherwise calculateMarkers().
// - once per sample: tick(); MG and SH read period/counter of their rate on their own update.
// - triggers: isTrigger(rate, output) once per control period, output 0 for "Clk1 Src" and 1 for
//   "Clk2 Src"; each output keeps its own edge, so both fire when they share a rate.
class Clock {
public:
  static constexpr int kNumRates = 21;
  // Cycle length in quarter notes for each sync rate; entry 0 is "off".
  static const double syncRate[kNumRates];
  // Longest period we hand out, so that counters and 2·counter stay in range.
  static constexpr int kMaxPeriod = 1 << 29;
  // Trigger outputs with an edge detector each.
  static constexpr int kNumOutputs = 2;

  void setSampleRate(double rate) { sampleRate = rate; }
  void synchronize(const ITimeInfo& t);
  void reset();
  void calculateMarkers();
  void tick();
  bool isTrigger(int rate, int output = 0);

  int getPeriod(int rate) const { return period[rate]; }
  int getCounter(int rate) const { return counter[rate]; }
  double getMarker(int rate) const { return marker[rate]; }
  double getLength(int rate) const { return length[rate]; }
  double getPosition() const { return position; }
  double getSamplesPerBeat() const { return samplesPerBeat; }
  const ITimeInfo& getTimeInfo() const { return timeInfo; }

private:
  ITimeInfo timeInfo;
  int period[kNumRates] = {};
  int counter[kNumRates] = {};
  double marker[kNumRates] = {};
  double length[kNumRates] = {};
  double position = 0.0;
  double sampleRate = 44100.0;
  double samplesPerBeat = 0.0;
  double lastPPQ = 0.0;
  double nextMarker = 0.0; // earliest of the markers
  bool wasHigh[kNumOutputs][kNumRates] = {};
};
