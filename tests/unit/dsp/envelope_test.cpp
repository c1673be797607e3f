#include "dsp/em.h"
#include "dsp/geg.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kRate = 44100.0f;

// Steps until the envelope leaves the given state (or the limit).
template <class Env> long stepsInState(Env& env, int state, long limit = 100000000) {
  long n = 0;
  while (env.getState() == state && n < limit) {
    env.update();
    ++n;
  }
  return n;
}

EM makeEm(double attack, double decay, double sustain, double release, float rate = kRate) {
  EM em;
  em.setSampleRate(rate);
  em.setAttack(attack);
  em.setDecay(decay);
  em.setSustain(sustain);
  em.setRelease(release);
  return em;
}

TEST(EM, ShortestAttackTakesAbout220StepsThenDecaysToSustain) {
  EM em = makeEm(0.0, 0.0, 0.4, 0.0);
  em.start();
  EXPECT_EQ(em.getState(), EM::kAttack);
  const long steps = stepsInState(em, EM::kAttack);
  EXPECT_NEAR(steps, 220, 2);
  EXPECT_EQ(em.getValue(), 1.0);
  EXPECT_EQ(em.getState(), EM::kDecay);
  for (int i = 0; i < 44100; ++i) em.update();
  EXPECT_NEAR(em.getValue(), 0.4, 1e-6);
  EXPECT_EQ(em.getState(), EM::kDecay);
}

TEST(EM, FullAttackAndReleaseTimesFollowTheTimeMapping) {
  for (auto [t, seconds] :
       {std::pair{0.0, 0.005}, std::pair{2.3 / 4.5, 1.0}, std::pair{1.0, 158.0}}) {
    const float rate = t == 1.0 ? 22050.0f : kRate; // keeps the long case quick
    EM em = makeEm(t, 0.0, 1.0, t, rate);
    em.start();
    const double attack = stepsInState(em, EM::kAttack) / double(rate);
    EXPECT_NEAR(attack / seconds, 1.0, 0.01) << t;
    em.stop();
    const double release = stepsInState(em, EM::kRelease) / double(rate);
    EXPECT_NEAR(release / seconds, 1.0, 0.01) << t;
    EXPECT_EQ(em.getValue(), 0.0);
    EXPECT_TRUE(em.isIdle());
  }
}

TEST(EM, ZeroSustainEndsAtExactlyZeroWithoutSubnormals) {
  EM em = makeEm(0.0, 0.0, 0.0, 0.5);
  em.start();
  long n = 0;
  while (!em.isIdle() && n < 10000000) {
    em.update();
    ASSERT_NE(std::fpclassify(em.getValue()), FP_SUBNORMAL);
    ++n;
  }
  EXPECT_TRUE(em.isIdle());
  EXPECT_EQ(em.getValue(), 0.0);
  EXPECT_LT(n, 44100 * 2);
}

TEST(EM, StopFromIdleEndsOnTheNextStep) {
  EM em = makeEm(0.0, 0.0, 0.5, 0.0);
  em.stop();
  EXPECT_EQ(em.getState(), EM::kRelease);
  EXPECT_EQ(em.getValue(), 0.0);
  em.update();
  EXPECT_TRUE(em.isIdle());
  EXPECT_EQ(em.getValue(), 0.0);
  // An idle envelope does not move.
  em.update();
  EXPECT_EQ(em.getValue(), 0.0);
}

TEST(EM, RetriggerAttacksFromTheCurrentValue) {
  EM em = makeEm(0.3, 0.0, 0.8, 0.3);
  em.start();
  stepsInState(em, EM::kAttack);
  em.stop();
  for (int i = 0; i < 3000; ++i) em.update();
  const double released = em.getValue();
  ASSERT_GT(released, 0.1);
  ASSERT_LT(released, 0.9);
  em.start();
  em.update();
  EXPECT_GT(em.getValue(), released);
  EXPECT_LT(em.getValue(), released + 0.01);
  EXPECT_EQ(em.getPrevious(), released);
}

TEST(EM, SettersApplyToTheRunningStage) {
  // Sustain follows the knob at the decay rate.
  EM em = makeEm(0.0, 0.0, 0.6, 0.0);
  em.start();
  for (int i = 0; i < 44100; ++i) em.update();
  em.setSustain(0.2);
  double last = em.getValue();
  for (int i = 0; i < 2000; ++i) {
    em.update();
    ASSERT_LT(em.getValue(), last);
    ASSERT_GT(em.getValue(), 0.2);
    last = em.getValue();
  }
  const double decayStep = (0.6 - 0.2) * std::pow(10.0, 2.3 - 4.5 * 0.2) * kLn10 / kRate;
  EM probe = makeEm(0.0, 0.0, 0.6, 0.0);
  probe.start();
  for (int i = 0; i < 44100; ++i) probe.update();
  probe.setSustain(0.2);
  probe.update();
  EXPECT_NEAR(0.6 - probe.getValue(), decayStep, 1e-9);
  // A longer attack set during the attack slows it at once; attack is clamped to 0..1.
  EM slow = makeEm(0.0, 0.0, 0.5, 0.0);
  slow.start();
  slow.update();
  slow.setAttack(5.0);
  EXPECT_GT(stepsInState(slow, EM::kAttack), 22050L * 100);
  // A release change applies while releasing.
  EM rel = makeEm(0.0, 0.0, 1.0, 0.0);
  rel.start();
  stepsInState(rel, EM::kAttack);
  rel.stop();
  rel.setRelease(2.3 / 4.5);
  EXPECT_NEAR(stepsInState(rel, EM::kRelease), 44100, 500);
}

GEG makeGeg(double delay, double attack, double release, bool autoRelease) {
  GEG g;
  g.setSampleRate(kRate);
  g.setDelay(delay);
  g.setAttack(attack);
  g.setRelease(release);
  g.setAutoRelease(autoRelease);
  return g;
}

void expectOutputs(const GEG& g, double v) {
  EXPECT_DOUBLE_EQ(*g.negativeOutput(), 1.0 - v);
  EXPECT_DOUBLE_EQ(*g.shiftedOutput(), v - 1.0);
  EXPECT_DOUBLE_EQ(*g.positiveOutput(), v);
}

TEST(GEG, IdleOutputsAndDelayFromIdle) {
  GEG g = makeGeg(0.0, 0.0, 0.0, false);
  expectOutputs(g, 0.0);
  EXPECT_FALSE(g.isOn());
  g.update();
  expectOutputs(g, 0.0);
  g.start();
  EXPECT_TRUE(g.isOn());
  EXPECT_EQ(g.getState(), GEG::kDelay);
  long delaySteps = 0;
  while (g.getState() == GEG::kDelay) {
    g.update();
    ++delaySteps;
    if (g.getState() == GEG::kDelay) {
      ASSERT_EQ(g.getValue(), 0.0);
    }
  }
  EXPECT_NEAR(delaySteps, 220, 2);
  EXPECT_EQ(g.getState(), GEG::kAttack);
  g.update();
  EXPECT_GT(g.getValue(), 0.0);
  EXPECT_LT(g.getValue(), 0.05);
}

TEST(GEG, WithoutAutoReleaseHoldsUntilStop) {
  GEG g = makeGeg(0.0, 0.1, 0.1, false);
  g.start();
  stepsInState(g, GEG::kDelay);
  stepsInState(g, GEG::kAttack);
  EXPECT_EQ(g.getState(), GEG::kRelease);
  EXPECT_EQ(g.getValue(), 1.0);
  for (int i = 0; i < 100000; ++i) g.update();
  EXPECT_EQ(g.getValue(), 1.0);
  expectOutputs(g, 1.0);
  g.stop();
  g.update();
  EXPECT_LT(g.getValue(), 1.0);
  stepsInState(g, GEG::kRelease);
  EXPECT_FALSE(g.isOn());
  expectOutputs(g, 0.0);
}

TEST(GEG, AutoReleaseStartsFromTheValueReached) {
  GEG g = makeGeg(0.0, 0.0, 0.0, true);
  g.start();
  stepsInState(g, GEG::kDelay);
  stepsInState(g, GEG::kAttack);
  EXPECT_EQ(g.getState(), GEG::kRelease);
  EXPECT_GE(g.getValue(), 0.999);
  EXPECT_LT(g.getValue(), 1.0);
  g.update();
  EXPECT_LT(g.getValue(), 0.999);
  stepsInState(g, GEG::kRelease);
  expectOutputs(g, 0.0);
}

TEST(GEG, StopDuringDelayReleasesWithoutAttacking) {
  GEG g = makeGeg(0.0, 0.5, 0.2, true);
  g.start();
  stepsInState(g, GEG::kDelay);
  for (int i = 0; i < 5000; ++i) g.update();
  const double reached = g.getValue();
  ASSERT_GT(reached, 0.1);
  g.setDelay(0.6);
  g.start(); // delay again; the value keeps moving toward the attack target meanwhile
  for (int i = 0; i < 100; ++i) g.update();
  ASSERT_EQ(g.getState(), GEG::kDelay);
  const double atStop = g.getValue();
  g.stop();
  double last = atStop;
  while (g.isOn()) {
    g.update();
    ASSERT_LE(g.getValue(), last);
    last = g.getValue();
  }
  expectOutputs(g, 0.0);
}

TEST(GEG, RetriggerWhileHoldingStaysAtFullLevel) {
  GEG g = makeGeg(0.2, 0.0, 0.0, false);
  g.start();
  stepsInState(g, GEG::kDelay);
  stepsInState(g, GEG::kAttack);
  ASSERT_EQ(g.getValue(), 1.0);
  g.start();
  EXPECT_EQ(g.getState(), GEG::kDelay);
  while (g.getState() != GEG::kRelease) {
    g.update();
    ASSERT_EQ(g.getValue(), 1.0);
  }
  for (int i = 0; i < 1000; ++i) g.update();
  expectOutputs(g, 1.0);
}

TEST(GEG, SampleRateResetsToIdle) {
  GEG g = makeGeg(0.0, 0.0, 0.0, false);
  g.start();
  for (int i = 0; i < 1000; ++i) g.update();
  g.setSampleRate(48000.0);
  EXPECT_FALSE(g.isOn());
  EXPECT_EQ(g.getValue(), 0.0);
  expectOutputs(g, 0.0);
}

TEST(Envelopes, StableAtEverySampleRate) {
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    EM em;
    em.setSampleRate(static_cast<float>(rate));
    em.setSustain(0.5);
    em.start();
    const long attack = stepsInState(em, EM::kAttack);
    EXPECT_NEAR(attack / rate, 0.005, 0.0002) << rate;
    GEG g;
    g.setSampleRate(rate);
    g.start();
    stepsInState(g, GEG::kDelay);
    const long gegAttack = stepsInState(g, GEG::kAttack);
    EXPECT_GT(gegAttack, 0);
    EXPECT_TRUE(std::isfinite(g.getValue()));
  }
}

} // namespace
