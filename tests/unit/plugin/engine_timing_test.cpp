#include "tests/unit/plugin/engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

using namespace enginetest;

namespace {
int firstNonZero(const std::vector<double>& x) {
  for (size_t i = 0; i < x.size(); ++i)
    if (x[i] != 0.0) return static_cast<int>(i);
  return -1;
}
} // namespace

TEST(EngineTiming, ControlPeriodFollowsTheSampleRate) {
  const struct {
    double rate;
    int period;
  } cases[] = {{22050, 22}, {44100, 44}, {48000, 48}, {96000, 96}, {192000, 192}};
  for (const auto& c : cases) {
    Engine e(c.rate);
    EXPECT_EQ(e->controlPeriod, c.period) << c.rate;
    EXPECT_EQ(e->periodRemaining, 0) << c.rate;
  }
}

// 512 = 11 * 44 + 28: the 12th period has 16 samples left that open the next block, whose
// MIDI is therefore acted on at its sample 16.
TEST(EngineTiming, PeriodCrossesTheBlockBoundary) {
  Engine e(44100);
  e.block(512);
  EXPECT_EQ(e->periodRemaining, 16);

  e.send(noteOn(69, 100, 0));
  e.block(512);
  for (int i = 0; i < 16; ++i) ASSERT_EQ(e.left[static_cast<size_t>(i)], 0.0) << i;
  const int first = firstNonZero(e.left);
  EXPECT_GE(first, 16);
  EXPECT_LE(first, 18);
  EXPECT_GT(rms(e.left, 16), 1e-3);
  // 512 - 16 = 496 = 11 * 44 + 12: 32 samples of the last period remain.
  EXPECT_EQ(e->periodRemaining, 32);
}

TEST(EngineTiming, ShortBlockContinuesThePeriod) {
  Engine e(44100);
  e.block(20);
  EXPECT_EQ(e->periodRemaining, 24);
  e.block(10);
  EXPECT_EQ(e->periodRemaining, 14);

  e.send(noteOn(69, 100, 0));
  e.block(64);
  for (int i = 0; i < 14; ++i) ASSERT_EQ(e.left[static_cast<size_t>(i)], 0.0) << i;
  EXPECT_GE(firstNonZero(e.left), 14);
  EXPECT_LE(firstNonZero(e.left), 16);
  // 64 = 14 + 44 + 6: the block ends 6 samples into a new period.
  EXPECT_EQ(e->periodRemaining, 38);
}

// The split of the host blocks does not change the sound: envelopes, filters and modulation
// run per sample or per control period whatever the chunks, and a voice whose period the host
// splits goes on with the generator phases it reached, also while the pitch moves inside the
// period. Only the order of additions could differ, so the tolerance is a few rounding steps of
// samples around 1, far below the 2^-24 step of a 32-bit float output.
TEST(EngineTiming, BlockSizeDoesNotChangeTheOutput) {
  struct Patch {
    const char* name;
    std::vector<std::pair<int, double>> params;
    int key;
  };
  const Patch patches[] = {
      {"two notes", {}, 60},
      // One octave of FM from a 200 Hz MG1 on a 1 kHz note.
      {"FM from MG1", {{kFmMod, 1}, {kShMg1, 1}, {kMg1Freq, 200}, {kFmShMg, 1536}}, 84},
      // A fast looping general envelope on the total frequency, pulse waves on both generators.
      {"FM from GEG",
       {{kFmMod, 1},
        {kFmTSrc, 5}, // GE3
        {kFmTExt, 3000},
        {kGegSrc1, 3}, // every note-on
        {kGegAuto, 1},
        {kGegAtk, 0.02},
        {kGegRel, 0.02},
        {kFm2Src, 7}, // MG1
        {kFm2Ext, 800},
        {kMg1Freq, 300},
        {kSg1Wave, 0.4},
        {kSg2Wave, 0.8}},
       79},
  };
  const auto maxDifference = [](const std::vector<double>& a, const std::vector<double>& b) {
    double d = 0.0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) d = std::max(d, std::fabs(a[i] - b[i]));
    return d;
  };
  for (const Patch& patch : patches) {
    auto play = [&](int blockSize) {
      Engine e(44100, blockSize);
      for (const auto& [id, value] : patch.params) e.set(id, value);
      e.send(noteOn(patch.key, 90));
      e.send(noteOn(patch.key + 4, 90));
      return e.render(4410, blockSize);
    };
    const Render reference = play(44);
    EXPECT_GT(rms(reference.left), 1e-3) << patch.name;
    for (int blockSize : {1, 7, 44, 64, 100, 512}) {
      const Render r = play(blockSize);
      ASSERT_EQ(r.left.size(), reference.left.size());
      EXPECT_LT(maxDifference(r.left, reference.left), 1e-12) << patch.name << " " << blockSize;
      EXPECT_LT(maxDifference(r.right, reference.right), 1e-12) << patch.name << " " << blockSize;
    }
  }
}
