#include "dsp/mg.h"
#include "tests/unit/plugin/engine_fixture.h"

#include <gtest/gtest.h>

using namespace enginetest;

namespace {
// A short phrase with chords, bend, wheel, pedal and noise-driven modulation.
Render playPhrase() {
  MG::seedNoise(12345);
  Engine e(48000, 256);
  e.set(kShIn, 9); // "Rnd"
  e.set(kShFreq, 10);
  e.set(kFmMod, 1);
  e.set(kFmShMg, 40);
  e.set(kShMg1, 0.5);
  e.set(kEnsembl, 0.5);
  e.set(kRsInt, 0.4);
  Render out;
  const int chords[3][3] = {{48, 52, 55}, {53, 57, 60}, {55, 59, 62}};
  for (int c = 0; c < 3; ++c) {
    for (int key : chords[c]) e.send(noteOn(key, 90, 17));
    e.send(controller(64, c == 1 ? 127 : 0, 40));
    e.send(controller(1, 30 * c, 100));
    e.send(pitchBend(0x2000 + 1500 * c, 200));
    for (int b = 0; b < 12; ++b) e.block(256, &out);
    for (int key : chords[c]) e.send(noteOff(key, 130));
  }
  for (int b = 0; b < 10; ++b) e.block(256, &out);
  return out;
}
} // namespace

TEST(Determinism, SamePhraseRendersBitIdentical) {
  const Render first = playPhrase();
  const Render second = playPhrase();
  ASSERT_EQ(first.left.size(), second.left.size());
  EXPECT_GT(rms(first.left), 1e-3);
  EXPECT_EQ(first.left, second.left);
  EXPECT_EQ(first.right, second.right);
}
