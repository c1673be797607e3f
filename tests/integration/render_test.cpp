// Pulling audio through the host at every sample rate, block size and precision a DAW may use.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "tests/integration/bundle_fixture.h"
#include "tools/render/fft.h"

namespace {

vrender::Score chord(double rate, double seconds) {
  vrender::Score score;
  for (int key : {48, 60, 64, 67}) {
    vrender::ScoreEvent on;
    on.kind = vrender::ScoreEvent::Kind::NoteOn;
    on.data1 = key;
    on.data2 = 100;
    score.events.push_back(on);
  }
  vrender::ScoreEvent bend;
  bend.kind = vrender::ScoreEvent::Kind::PitchBend;
  bend.frame = static_cast<int64_t>(rate * seconds / 2);
  bend.data2 = 12000;
  score.events.push_back(bend);
  for (int key : {48, 60, 64, 67}) {
    vrender::ScoreEvent off;
    off.kind = vrender::ScoreEvent::Kind::NoteOff;
    off.frame = static_cast<int64_t>(rate * seconds);
    off.data1 = key;
    score.events.push_back(off);
  }
  vrender::finishScore(score);
  return score;
}

using Setup = std::tuple<double, int, bool>;

class EverySetup : public ::testing::TestWithParam<Setup> {};

TEST_P(EverySetup, RendersTheChord) {
  const auto [rate, block, use64] = GetParam();
  itest::StartedPlugin p(rate, block, use64);
  const auto r = itest::render(p.plugin, chord(rate, 0.06), block, 0.02);
  EXPECT_TRUE(itest::sounds(r));
  EXPECT_LE(r.peak, 16.0);
  EXPECT_GE(r.frames(), static_cast<int64_t>(rate * 0.06));
}

INSTANTIATE_TEST_SUITE_P(Host, EverySetup,
                         ::testing::Combine(::testing::Values(44100.0, 48000.0, 96000.0),
                                            ::testing::Values(1, 32, 512, 4096), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<Setup>& info) {
                           return std::to_string(static_cast<int>(std::get<0>(info.param))) +
                                  "Hz_block" + std::to_string(std::get<1>(info.param)) +
                                  (std::get<2>(info.param) ? "_64bit" : "_32bit");
                         });

TEST(Render, BlocksShorterThanAControlPeriodDoNotChangeTheSound) {
  itest::StartedPlugin small(48000.0, 7);
  itest::StartedPlugin large(48000.0, 4096);
  const auto score = itest::heldNote(48000.0, 69, 100, 0.05);
  const auto a = itest::render(small.plugin, score, 7);
  const auto b = itest::render(large.plugin, score, 4096);
  ASSERT_TRUE(itest::sounds(a));
  ASSERT_EQ(a.left.size(), b.left.size());
  // Only the generators' octave phase, taken again at every chunk, may differ: far below hearing.
  double difference = 0.0;
  for (size_t i = 0; i < a.left.size(); ++i) {
    difference = std::max<double>(difference, std::fabs(a.left[i] - b.left[i]));
    difference = std::max<double>(difference, std::fabs(a.right[i] - b.right[i]));
  }
  EXPECT_LT(difference, 2e-4);
}

// A pedal released and pressed again within one host block must still release the notes:
// every controller change counts, not only the last one of a block.
TEST(Render, EveryControllerChangeInABlockReachesTheInstrument) {
  vrender::Score score;
  auto add = [&score](double ms, vrender::ScoreEvent::Kind kind, int d1, int d2) {
    vrender::ScoreEvent e;
    e.frame = static_cast<int64_t>(ms * 48.0);
    e.kind = kind;
    e.data1 = d1;
    e.data2 = d2;
    score.events.push_back(e);
  };
  using K = vrender::ScoreEvent::Kind;
  add(0, K::Controller, 64, 127);
  add(0, K::NoteOn, 60, 100);
  add(10, K::NoteOff, 60, 0);
  add(30, K::Controller, 64, 0);   // the note ends here...
  add(50, K::Controller, 64, 127); // ...before the pedal goes down again
  add(50, K::NoteOn, 72, 100);
  add(60, K::NoteOff, 72, 0);
  add(70, K::Controller, 64, 0);
  vrender::finishScore(score);
  score.endFrame = 48 * 80;
  itest::StartedPlugin periodBlocks(48000.0, 48);
  itest::StartedPlugin oneBlock(48000.0, 4096);
  const auto a = itest::render(periodBlocks.plugin, score, 48);
  const auto b = itest::render(oneBlock.plugin, score, 4096);
  ASSERT_TRUE(itest::sounds(a));
  EXPECT_EQ(a.left, b.left);
}

TEST(Render, SinglePrecisionIsTheDoubleRenderRounded) {
  itest::StartedPlugin single(44100.0, 256, false);
  itest::StartedPlugin dbl(44100.0, 256, true);
  const auto score = chord(44100.0, 0.1);
  const auto a = itest::render(single.plugin, score, 256);
  const auto b = itest::render(dbl.plugin, score, 256);
  ASSERT_TRUE(itest::sounds(a));
  EXPECT_EQ(a.left, b.left); // the renderer keeps floats of either
  EXPECT_EQ(a.right, b.right);
}

TEST(Render, RestartAtAnotherRateKeepsWorking) {
  itest::StartedPlugin p(48000.0, 512);
  for (double rate : {96000.0, 22050.0, 192000.0, 48000.0}) {
    vhost::ProcessConfig config = p.plugin.config();
    config.sampleRate = rate;
    p.plugin.start(config);
    const auto r = itest::render(p.plugin, chord(rate, 0.03), 512);
    EXPECT_TRUE(itest::sounds(r)) << rate;
  }
}

TEST(Render, ANoteSoundsAtItsPitch) {
  itest::StartedPlugin p(48000.0, 512);
  const auto r = itest::render(p.plugin, itest::heldNote(48000.0, 69, 100, 0.5), 512);
  ASSERT_TRUE(itest::sounds(r));
  // The strongest partial below 1 kHz of the held part is the fundamental, 440 Hz.
  std::vector<double> frame(16384);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = r.left[4800 + i] + r.right[4800 + i];
  const auto mags = vrender::magnitudeSpectrum(frame);
  const double binHz = 48000.0 / frame.size();
  size_t best = 1;
  for (size_t k = 1; k * binHz < 1000.0; ++k)
    if (mags[k] > mags[best]) best = k;
  EXPECT_NEAR(best * binHz, 440.0, 2 * binHz);
}

TEST(Render, SameInputSameOutput) {
  const auto score = chord(48000.0, 0.1);
  std::vector<float> first;
  for (int run = 0; run < 2; ++run) {
    itest::StartedPlugin p(48000.0, 333);
    const auto r = itest::render(p.plugin, score, 333);
    ASSERT_TRUE(itest::sounds(r));
    if (run == 0)
      first = r.left;
    else
      EXPECT_EQ(r.left, first);
  }
}

} // namespace
