// Every section pushed to its extremes at low, common and high sample rates: the output stays
// finite and bounded while notes play, and falls silent once they have ended.
#include "tests/unit/plugin/engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

using namespace enginetest;

namespace {

using Settings = std::vector<std::pair<int, double>>;

struct Patch {
  const char* name;
  Settings settings;
  // Applied after the first and the second third of the notes: sections switched mid-phrase.
  Settings later1, later2;
};

const Settings kResonators = {
    {kRsInt, 1},   {kRsFreq1, 0}, {kRsFreq2, 0.5},
    {kRsFreq3, 1}, {kRfcSrc, 7}, // MG1 sweeps all three over the knob's range
    {kRsMod, 1},   {kMg1Freq, 3},
};
const Settings kEqualiser = {{kEq125, 15}, {kEq250, 15}, {kEq500, 15}, {kEq1k, 15},
                             {kEq2k, 15},  {kEq4k, 15},  {kEq8k, 15}};

Settings joined(std::initializer_list<Settings> parts) {
  Settings all;
  for (const Settings& s : parts) all.insert(all.end(), s.begin(), s.end());
  return all;
}

const Patch kPatches[] = {
    {"resonators swept", kResonators, {{kRsFreq1, 1}, {kRsFreq2, 1}}, {{kRfcSrc, 1}}}, // +5V
    {"resonators at control 0",
     {{kRsInt, 1}, {kRsFreq1, 0}, {kRsFreq2, 0}, {kRsFreq3, 0}, {kRfcSrc, 2}, {kRsMod, 1}},
     {},
     {}},
    {"ensemble on, off, on", {{kEnsembl, 1}}, {{kEnsembl, 0}}, {{kEnsembl, 1}}},
    {"equaliser at full gain", kEqualiser, {}, {}},
    {"Korg 35 at full peak", {{kPeak, 1}, {kK35Lp4, 0}}, {{kCutoff, 0.3}}, {{kCutoff, 1}}},
    {"ladder at full peak", {{kPeak, 1}, {kK35Lp4, 1}}, {{kCutoff, 0.3}}, {{kCutoff, 1}}},
    {"everything",
     joined({kResonators, kEqualiser, {{kEnsembl, 1}, {kPeak, 1}, {kK35Lp4, 1}, {kAmInt, 1}}}),
     {{kK35Lp4, 0}, {kEnsembl, 0}},
     {{kEnsembl, 1}, {kRsFreq3, 1}}},
};

struct Outcome {
  bool finite = true;
  double peak = 0.0;
  double tailPeak = 0.0; // over the last 0.1 s
  double playingRms = 0.0;
};

// Chords over the whole keyboard for 0.6 s, then 3 s for the tails. At the lowest rates the
// equaliser bands above half the rate all sit at the highest centre, where an octave-wide band
// has a pole close to -1 and rings out slowly: their tails get 60000 samples.
Outcome play(double rate, const Patch& patch) {
  Engine e(rate, 256);
  for (const auto& [id, value] : patch.settings) e.set(id, value);
  const int third = static_cast<int>(rate * 0.2);
  const int keys[] = {0, 24, 45, 60, 64, 67, 84, 100, 115, 127};
  for (int key : keys) e.send(noteOn(key, 127));
  Render r = e.render(third, 256);
  for (const auto& [id, value] : patch.later1) e.set(id, value);
  Render part = e.render(third, 256);
  r.left.insert(r.left.end(), part.left.begin(), part.left.end());
  for (const auto& [id, value] : patch.later2) e.set(id, value);
  part = e.render(third, 256);
  r.left.insert(r.left.end(), part.left.begin(), part.left.end());
  for (int key : keys) e.send(noteOff(key));
  part = e.render(std::max(static_cast<int>(rate * 3.0), 60000), 256);

  Outcome o;
  o.playingRms = rms(r.left);
  const auto scan = [&o](const std::vector<double>& x) {
    for (double v : x) {
      if (!std::isfinite(v)) o.finite = false;
      o.peak = std::max(o.peak, std::fabs(v));
    }
  };
  scan(r.left);
  scan(part.left);
  scan(part.right);
  const size_t tail = static_cast<size_t>(rate * 0.1);
  for (size_t i = part.left.size() - tail; i < part.left.size(); ++i)
    o.tailPeak = std::max({o.tailPeak, std::fabs(part.left[i]), std::fabs(part.right[i])});
  return o;
}

} // namespace

// Ten loud notes with every gain stage at its maximum reach a few tens at most; a filter that
// blows up passes 1e12 within a few hundred samples. Below 22050 Hz the boosts of the equaliser
// bands that share the highest centre stack (at 1 kHz five bands, +75 dB), which allows more.
// The tails must end in silence: no section may keep a poisoned or self-sustaining state once
// the voices are idle.
TEST(SampleRateExtremes, EverySectionStaysFiniteBoundedAndFallsSilent) {
  // The plug-in accepts 1 kHz to 1 MHz: the lowest rate joins the table, the highest follows.
  for (double rate :
       {1000.0, 8000.0, 11025.0, 16000.0, 19000.0, 22050.0, 44100.0, 96000.0, 192000.0}) {
    for (const Patch& patch : kPatches) {
      const Outcome o = play(rate, patch);
      const std::string what = std::string(patch.name) + " at " + std::to_string(int(rate));
      EXPECT_TRUE(o.finite) << what;
      EXPECT_LT(o.peak, rate < 22050.0 ? 1e5 : 100.0) << what;
      EXPECT_GT(o.playingRms, 1e-3) << what;
      EXPECT_LT(o.tailPeak, 1e-6) << what;
    }
  }
}

TEST(SampleRateExtremes, HighestRateStaysFiniteAndFallsSilent) {
  const Outcome o = play(1000000.0, kPatches[std::size(kPatches) - 1]);
  EXPECT_TRUE(o.finite);
  EXPECT_LT(o.peak, 100.0);
  EXPECT_GT(o.playingRms, 1e-3);
  EXPECT_LT(o.tailPeak, 1e-6);
}
