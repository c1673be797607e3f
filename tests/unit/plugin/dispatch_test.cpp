#include "tests/unit/plugin/engine_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

using namespace enginetest;

namespace {
constexpr int kHeldKey = 100; // held at full velocity through the table test

void restore(Engine& e, int index) {
  e.set(index, e->GetParam(index)->GetDefault());
}

const Voice& held(Engine& e) {
  const Voice* v = e.voiceOf(kHeldKey);
  if (!v) throw std::runtime_error("the held note stopped");
  return *v;
}

// Base cutoff the held voice's filter receives for the given modulation amount.
int baseFor(Engine& e, double mod) {
  return static_cast<int>(mod * Voice::kCutoffRange + e->cutoffControl);
}

// A new note of key, one period later.
const Voice& strike(Engine& e, int key, int velocity = 127) {
  e.send(noteOn(key, velocity));
  e.period();
  const Voice* v = e.voiceOf(key);
  if (!v) throw std::runtime_error("no voice for the new note " + std::to_string(key));
  return *v;
}

void allVoices(Engine& e, const std::function<void(const Voice&)>& check) {
  for (const Voice& v : e->voices) check(v);
}

struct Row {
  int index;
  double value;
  std::function<void(Engine&, double)> check;
};

std::vector<Row> rows() {
  std::vector<Row> r;
  auto add = [&](int index, double value, std::function<void(Engine&, double)> check) {
    r.push_back({index, value, std::move(check)});
  };
  auto source = [&](int index, int item, const double* Varnel::*member) {
    add(index, item, [member, item](Engine& e, double) {
      EXPECT_NE(e->getModSource(item), nullptr);
      EXPECT_EQ((*e).*member, e->getModSource(item));
    });
  };
  auto trigger = [&](int index, int item, const bool* Varnel::*member) {
    add(index, item,
        [member, item](Engine& e, double) { EXPECT_EQ((*e).*member, &e->triggers[item - 1]); });
  };
  auto number = [&](int index, double value, double Varnel::*member, double expected) {
    add(index, value, [member, expected](Engine& e, double) { EXPECT_EQ((*e).*member, expected); });
  };
  auto flag = [&](int index, double value, bool Varnel::*member, bool expected) {
    add(index, value, [member, expected](Engine& e, double) { EXPECT_EQ((*e).*member, expected); });
  };
  auto integer = [&](int index, double value, int Varnel::*member, int expected) {
    add(index, value, [member, expected](Engine& e, double) { EXPECT_EQ((*e).*member, expected); });
  };

  number(kFinal, 0.3, &Varnel::finalLevel, 0.6);
  number(kDirect, 0.4, &Varnel::directLevel, 0.8);
  number(kPanFin, 0.2, &Varnel::finalPan, 0.2);
  number(kPanDrct, 0.7, &Varnel::directPan, 0.7);
  add(kTotTune, -37, [](Engine& e, double) {
    for (int k = 0; k < 12; ++k) {
      EXPECT_EQ(e->sg1.getOffset(k), -37);
      EXPECT_EQ(e->sg2.getOffset(k), -37);
    }
  });
  add(kKbdBal, 0.8, [](Engine& e, double v) {
    const Voice& voice = held(e);
    const double kg = voice.getKeyGain();
    EXPECT_DOUBLE_EQ(voice.gain(), (1.0 - kg) + v * (2.0 * kg - 1.0));
  });
  number(kPbRange, 5, &Varnel::pbRange, 640);
  add(kSg1Wave, 0.4, [](Engine& e, double) {
    EXPECT_EQ(e->sg1.getWaveForm(), SG::kPulseModulated);
    EXPECT_EQ(e->sg2.getWaveForm(), SG::kSawtooth);
  });
  add(kSg1Scl, 0.9, [](Engine& e, double) {
    e.period();
    EXPECT_EQ(e->sg1.getScale(), 3);
    EXPECT_EQ(e->sg2.getScale(), 1);
  });
  source(kScl1Src, Varnel::kSrcPlus5V, &Varnel::scl1Src);
  source(kPwm1Src, Varnel::kSrcMG1, &Varnel::pwm1Src);
  add(kSg2Wave, 1.0, [](Engine& e, double) {
    EXPECT_EQ(e->sg2.getWaveForm(), SG::kPulseFixed);
    allVoices(e, [](const Voice& v) { EXPECT_FALSE(v.isSg2On()); });
  });
  add(kSq2Fine, -50, [](Engine& e, double) {
    EXPECT_EQ(e->sg2.getOffset(5), -50);
    EXPECT_EQ(e->sg1.getOffset(5), 0);
  });
  add(kSg2Scl, 0.6, [](Engine& e, double) {
    e.period();
    EXPECT_EQ(e->sg2.getScale(), 2);
    EXPECT_EQ(e->sg1.getScale(), 1);
  });
  number(kFm2Ext, 1000, &Varnel::fm2Ext, 1000);
  source(kFm2Src, Varnel::kSrcMG2, &Varnel::fm2Src);
  source(kScl2Src, Varnel::kSrcGE3, &Varnel::scl2Src);
  source(kPwm2Src, Varnel::kSrcGE1, &Varnel::pwm2Src);
  add(kPwmFreq, 2, [](Engine& e, double) { EXPECT_EQ(e->pwmMg.getPeriod(), 500); });
  number(kPwmInt, 20, &Varnel::pwmDepth, 0.009 * 20);
  flag(kFmMod, 1, &Varnel::fmModOn, true);
  flag(kFmRev, 1, &Varnel::fmReverse, true);
  number(kFmShMg, 300, &Varnel::fmShMg, 300);
  number(kFmTExt, 200, &Varnel::fmTExt, 200);
  source(kFmTSrc, Varnel::kSrcKey, &Varnel::fmTSrc);
  add(kCutoff, 0.25, [](Engine& e, double) {
    EXPECT_EQ(e->cutoffRampSteps, 100);
    EXPECT_DOUBLE_EQ(e->cutoffRampStep, (0.5 - e->cutoffValue) / 100.0);
  });
  add(kPeak, 0.5, [](Engine& e, double v) {
    e.period();
    EXPECT_DOUBLE_EQ(held(e).getKorg35().getK(), 1.7 * v + 0.01);
  });
  add(kFcBal, 1.0, [](Engine& e, double v) {
    e.period();
    EXPECT_EQ(held(e).getKorg35().getBase(), baseFor(e, v * held(e).getKeyTrack()));
  });
  add(kExpand, 0.5, [](Engine& e, double v) {
    e.period();
    ASSERT_EQ(held(e).envelope().getValue(), 1.0);
    EXPECT_EQ(held(e).getKorg35().getBase(), baseFor(e, v));
  });
  flag(kFcMod, 1, &Varnel::cutoffModOn, true);
  number(kFcMg1, 0.4, &Varnel::cutoffMg1, 0.4);
  number(kFcGeg, 0.6, &Varnel::cutoffGeg, 0.6);
  source(kFcSrc, Varnel::kSrcSH, &Varnel::cutoffSrc);
  add(kEmAtk, 1.0, [](Engine& e, double) {
    // The longest attack has barely begun after a millisecond (the shortest is at 0.4).
    EXPECT_LT(strike(e, 40).envelope().getValue(), 1e-3);
    e.send(noteOff(40));
  });
  add(kEmDcy, 1.0, [](Engine& e, double) {
    e.set(kEmSus, 0);
    const Voice& v = strike(e, 41);
    e.periods(30);
    EXPECT_GT(v.envelope().getValue(), 0.99); // the shortest decay would be near 0.3
    restore(e, kEmSus);
    e.send(noteOff(41));
  });
  add(kEmSus, 0.5, [](Engine& e, double v) {
    e.periods(250);
    EXPECT_NEAR(held(e).envelope().getValue(), v, 1e-3);
  });
  add(kEmRel, 1.0, [](Engine& e, double) {
    const Voice& v = strike(e, 42);
    e.periods(10);
    e.send(noteOff(42));
    e.periods(20);
    EXPECT_EQ(v.envelope().getState(), EM::kRelease);
    EXPECT_GT(v.envelope().getValue(), 0.99);
  });
  add(kEmASrc, Varnel::kSrcPlus5V, [](Engine& e, double) {
    // +5 V added to "EM Atk" 0 gives the longest attack.
    EXPECT_LT(strike(e, 43).envelope().getValue(), 1e-3);
    e.send(noteOff(43));
  });
  add(kEmRSrc, 3, [](Engine& e, double) {
    // "Mlt": the next note-on releases every sounding voice.
    e.send(noteOn(44, 127));
    e.period();
    EXPECT_EQ(held(e).envelope().getState(), EM::kRelease);
    allVoices(e, [](const Voice& v) {
      if (v.isActive()) {
        EXPECT_EQ(v.envelope().getState(), EM::kRelease);
      }
    });
    e.send(noteOff(44));
    restore(e, kEmRSrc);
    e.send(noteOn(kHeldKey, 127));
    e.periods(20);
  });
  for (int index = kEq8k; index <= kEq125; ++index) {
    const int band = kEq125 - index;
    add(index, 3, [band](Engine& e, double) {
      for (int b = 0; b < Varnel::kNumEqBands; ++b) EXPECT_EQ(e->eqBandOn[b], b == band) << b;
    });
  }
  number(kAmInt, 0.5, &Varnel::amDepth, 0.5);
  add(kEnsembl, 0.6, [](Engine& e, double) {
    EXPECT_TRUE(e->ensembleOn);
    EXPECT_DOUBLE_EQ(e->ensemble.getWet(), 0.3);
  });
  add(kVca1Vol, 1.5, [](Engine& e, double) {
    EXPECT_EQ(e->vca1Level, 1.5);
    e.period();
    EXPECT_EQ(e->finalGainBuf[0], 1.5);
  });
  source(kVca1Src, Varnel::kSrcMW, &Varnel::vca1Src);
  flag(kVca2Vp1, 1, &Varnel::vca2FromVp1, true);
  number(kShMg1, 0.3, &Varnel::shMg1Mix, 0.3);
  source(kModMSrc, Varnel::kSrcMWPlus, &Varnel::modMSrc);
  add(kShFreq, 2, [](Engine& e, double) {
    EXPECT_EQ(e->shFreq, 2);
    EXPECT_EQ(e->sh.getPeriod(), 500);
  });
  add(kShSync, 1, [](Engine& e, double) {
    // Synchro stretches the cycle by the sampled input: +5 V gives 1.5 times the period.
    e.set(kShFreq, 20);
    e.set(kShIn, Varnel::kSrcPlus5V);
    e.periods(120);
    EXPECT_EQ(e->sh.getPeriod(), 75);
    restore(e, kShIn);
    restore(e, kShFreq);
  });
  add(kShHost, 5, [](Engine& e, double) { EXPECT_TRUE(e->sh.isSynced()); });
  trigger(kShTrig, 4, &Varnel::shTrigger);
  add(kShIn, 9, [](Engine& e, double) {
    EXPECT_TRUE(e->shInputRandom);
    EXPECT_EQ(e->shInputSrc, &e->shValue);
    EXPECT_EQ(e->shInputSrc, e->getModSource(Varnel::kSrcSH));
  });
  add(kMg1Wave, 0.5, [](Engine& e, double) { EXPECT_EQ(e->mg1.getWaveForm(), MG::Square); });
  add(kMg1Freq, 100, [](Engine& e, double) {
    EXPECT_EQ(e->mg1Freq, 100);
    EXPECT_EQ(e->mg1FreqNorm, e->GetParam(kMg1Freq)->GetNormalized());
    EXPECT_EQ(e->mg1.getPeriod(), 441);
  });
  add(kMg1Host, 3, [](Engine& e, double) { EXPECT_TRUE(e->mg1.isSynced()); });
  add(kMg1FSrc, Varnel::kSrcPlus5V, [](Engine& e, double) {
    EXPECT_EQ(e->mg1FreqSrc, &e->plus5V);
    // +5 V moves the knob half its travel up from 0.2 Hz.
    e.period();
    const double v = std::min(0.5 + e->mg1FreqNorm, 1.0);
    EXPECT_EQ(e->mg1.getPeriod(), static_cast<int>(44100.0 / (1499.95 * std::pow(v, 6.0) + 0.05)));
  });
  add(kMg2Freq, 2, [](Engine& e, double) {
    EXPECT_EQ(e->mg2Freq, 2);
    EXPECT_EQ(e->mg2.getPeriod(), 500);
  });
  add(kMg2Host, 4, [](Engine& e, double) { EXPECT_TRUE(e->mg2.isSynced()); });
  add(kGegDly, 1.0, [](Engine& e, double) {
    e->geg.start();
    e.periods(10);
    EXPECT_EQ(e->geg.getState(), GEG::kDelay);
    EXPECT_LT(e->geg.getDelayValue(), 1e-3);
  });
  add(kGegAtk, 1.0, [](Engine& e, double) {
    e->geg.start();
    e.periods(30);
    EXPECT_EQ(e->geg.getState(), GEG::kAttack);
    EXPECT_LT(e->geg.getValue(), 1e-3);
  });
  add(kGegRel, 1.0, [](Engine& e, double) {
    e->geg.start();
    e.periods(30);
    ASSERT_EQ(e->geg.getValue(), 1.0);
    e->geg.stop();
    e.periods(20);
    EXPECT_GT(e->geg.getValue(), 0.99);
  });
  add(kGegAuto, 1, [](Engine& e, double) {
    e->geg.start();
    e.periods(40);
    EXPECT_LT(e->geg.getValue(), 0.5); // without it the envelope would hold at 1
  });
  trigger(kGegSrc1, 3, &Varnel::gegTrigger1);
  trigger(kGegSrc2, 10, &Varnel::gegTrigger2);
  number(kVp1A, 0.5, &Varnel::vp1A, 0.5);
  number(kVp1B, -0.5, &Varnel::vp1B, -0.5);
  source(kVp1Src, Varnel::kSrcVP2, &Varnel::vp1Src);
  number(kVp2A, 0.25, &Varnel::vp2A, 0.25);
  number(kVp2B, -0.25, &Varnel::vp2B, -0.25);
  flag(kVp2Sel, 0, &Varnel::vp2OwnInput, false);
  source(kVp2Src, Varnel::kSrcVP1, &Varnel::vp2Src);
  number(kAdd1, 0.1, &Varnel::add1, 0.1);
  number(kAdd2, 0.9, &Varnel::add2, 0.9);
  source(kAddSrc1, Varnel::kSrcAdd, &Varnel::addSrc1);
  source(kAddSrc2, Varnel::kSrcVC4, &Varnel::addSrc2);
  for (int k = 0; k < 12; ++k) {
    add(kTune1C + k, -33, [k](Engine& e, double) {
      for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(e->sg1.getOffset(c), c == k ? -42 : 0);
        EXPECT_EQ(e->sg2.getOffset(c), 0);
      }
    });
    add(kTune2C + k, 100, [k](Engine& e, double) {
      for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(e->sg2.getOffset(c), c == k ? 128 : 0);
        EXPECT_EQ(e->sg1.getOffset(c), 0);
      }
    });
  }
  integer(kClk1Src, 7, &Varnel::clock1Rate, 7);
  integer(kClk2Src, 20, &Varnel::clock2Rate, 20);
  integer(kTrg1Src, 64, &Varnel::trigger1Cc, 64);
  integer(kTrg2Src, 119, &Varnel::trigger2Cc, 119);
  for (int k = 0; k < 4; ++k) {
    add(kVc1Src + k, 10 + k, [k](Engine& e, double v) {
      for (int c = 0; c < 4; ++c) EXPECT_EQ(e->vcCc[c], c == k ? static_cast<int>(v) : 0);
    });
  }
  integer(kKbdTrig, 3, &Varnel::kbdTrigger, 3);
  add(kVeloLp, 0.5, [](Engine& e, double v) {
    e.period();
    EXPECT_EQ(held(e).getKorg35().getBase(), baseFor(e, v * held(e).getVelocity()));
  });
  add(kVeloVca, 0.5, [](Engine& e, double v) {
    const Voice& voice = strike(e, 45, 64);
    const double velocity = 2.0 * 64 / 127.0 - 1.0;
    const double kg = voice.getKeyGain();
    EXPECT_DOUBLE_EQ(voice.gain(),
                     (1.0 + v * (velocity - 1.0)) * ((1.0 - kg) + 0.5 * (2.0 * kg - 1.0)));
    e.send(noteOff(45));
  });
  add(kK35Lp4, 1,
      [](Engine& e, double) { allVoices(e, [](const Voice& v) { EXPECT_TRUE(v.isLadder()); }); });
  add(kEqRes, 1, [](Engine& e, double) {
    EXPECT_EQ(e->resonatorPanelRequest.load(), 1);
    EXPECT_FALSE(e->resonatorsOn);
    // Nothing audible: two fresh instances render the same with either panel.
    auto play = [](bool resonatorPanel) {
      Engine p;
      p.set(kEqRes, resonatorPanel ? 1 : 0);
      p.send(noteOn(60));
      return p.render(2048).left;
    };
    EXPECT_EQ(play(true), play(false));
  });
  add(kRsInt, 0.5, [](Engine& e, double v) {
    EXPECT_TRUE(e->resonatorsOn);
    for (const Resonator& r : e->resonators) EXPECT_EQ(r.getIntensity(), v);
  });
  for (int k = 0; k < Varnel::kNumResonators; ++k) {
    add(kRsFreq1 + k, 0.65, [k](Engine& e, double v) {
      for (int c = 0; c < Varnel::kNumResonators; ++c)
        EXPECT_EQ(e->resonators[c].getFrequency() == v, c == k) << c;
    });
  }
  number(kRsMod, 0.7, &Varnel::resMod, 0.7);
  source(kRfcSrc, Varnel::kSrcPB, &Varnel::resCutoffSrc);
  return r;
}
} // namespace

// Every handler, one index at a time: a value other than the default reaches the engine, and
// the default restores it before the next row.
TEST(Dispatch, EveryIndexReachesTheEngine) {
  const std::vector<Row> table = rows();
  std::set<int> covered;
  for (const Row& row : table) EXPECT_TRUE(covered.insert(row.index).second) << row.index;
  ASSERT_EQ(covered.size(), static_cast<size_t>(kNumParams));

  Engine e;
  e.send(noteOn(kHeldKey, 127));
  e.periods(30);
  ASSERT_NE(e.voiceOf(kHeldKey), nullptr);
  for (const Row& row : table) {
    SCOPED_TRACE(e->GetParam(row.index)->GetName());
    ASSERT_NE(row.value, e->GetParam(row.index)->GetDefault());
    e.set(row.index, row.value);
    ASSERT_EQ(e->GetParam(row.index)->GetValue(), row.value);
    row.check(e, row.value);
    restore(e, row.index);
  }
}

TEST(Dispatch, ConvertedValues) {
  Engine e;
  e.set(kFinal, 0.25);
  EXPECT_EQ(e->finalLevel, 0.5);
  e.set(kPwmInt, 50);
  EXPECT_DOUBLE_EQ(e->pwmDepth, 0.45);
  e.set(kPbRange, -2);
  EXPECT_EQ(e->pbRange, -256);
  e.set(kTune1C + 9, -33); // "Tune1 A": trunc(-42.24)
  EXPECT_EQ(e->sg1.getOffset(9), -42);
  e.set(kTune1C + 9, 100);
  EXPECT_EQ(e->sg1.getOffset(9), 128);
  e.set(kTune1C + 9, 0);
  e.set(kTotTune, 100); // pitch units as they are, not cents
  EXPECT_EQ(e->sg1.getOffset(0), 100);
  EXPECT_EQ(e->sg2.getOffset(11), 100);
  e.set(kMg2Freq, 0.2);
  EXPECT_EQ(e->mg2.getPeriod(), 5000);
  e.set(kEq125, 0);
  EXPECT_FALSE(e->eqBandOn[0]);
  e.set(kEq125, 0.1);
  EXPECT_TRUE(e->eqBandOn[0]);
  e.set(kShIn, 9); // "Rnd"
  EXPECT_TRUE(e->shInputRandom);
  EXPECT_EQ(e->shInputSrc, e->getModSource(Varnel::kSrcSH));

  Engine f(48000);
  f.set(kMg1Freq, 0.2);
  EXPECT_EQ(f->mg1.getPeriod(), 240000);
  f.set(kMg1Freq, 1500);
  EXPECT_EQ(f->mg1.getPeriod(), 32);
  f.set(kMg2Freq, 0.2);
  EXPECT_EQ(f->mg2.getPeriod(), 5000);
}

// 100 steps of -0.005 from 1.0 end just below 0.5 in double precision.
TEST(Dispatch, CutoffGlidesOverOneHundredPeriods) {
  Engine e;
  e.send(noteOn(60, 127));
  e.periods(5);
  ASSERT_EQ(e->cutoffControl, 17280);
  e.set(kCutoff, 0.25);
  e.periods(50);
  EXPECT_NEAR(e->cutoffValue, 0.75, 1e-12);
  e.periods(50);
  EXPECT_EQ(e->cutoffValue, 0.49999999999999956);
  EXPECT_EQ(e->cutoffControl, 8639);
  EXPECT_EQ(e.voiceOf(60)->getKorg35().getBase(), 8639);
  e.periods(10);
  EXPECT_EQ(e->cutoffControl, 8639);

  // A new change during a glide starts from where the glide is.
  e.set(kCutoff, 1.0);
  e.periods(30);
  e.set(kCutoff, 0.0);
  const double from = e->cutoffValue;
  EXPECT_DOUBLE_EQ(e->cutoffRampStep, -from / 100.0);
  e.periods(100);
  EXPECT_NEAR(e->cutoffValue, 0.0, 1e-12);
}

// Leaving host sync brings back the free-running rate, also when the knob moved meanwhile.
TEST(Dispatch, FreeRunningRateReturnsAfterHostSync) {
  const struct {
    int freq, host;
    MG Varnel::*mg;
    double value;
    int period;
  } cases[] = {{kMg1Freq, kMg1Host, &Varnel::mg1, 100, 441},
               {kMg2Freq, kMg2Host, &Varnel::mg2, 2, 500}};
  for (const auto& c : cases) {
    Engine e;
    e.set(c.freq, c.value);
    e.set(c.host, 5);
    e.periods(20);
    EXPECT_TRUE(((*e).*c.mg).isSynced());
    EXPECT_NE(((*e).*c.mg).getPeriod(), c.period);
    e->GetParam(c.freq)->SetValue(7); // moved without reaching the handler
    e.set(c.host, 0);
    EXPECT_FALSE(((*e).*c.mg).isSynced());
    EXPECT_EQ(((*e).*c.mg).getPeriod(), c.period);
    EXPECT_EQ(e->GetParam(c.freq)->GetValue(), c.value);
  }

  Engine s;
  s.set(kShFreq, 2);
  s.set(kShHost, 5);
  s.periods(20);
  s.set(kShHost, 0);
  EXPECT_FALSE(s->sh.isSynced());
  EXPECT_EQ(s->sh.getPeriod(), 500);

  Engine m;
  m.set(kMg1Freq, 100);
  m.set(kMg1FSrc, Varnel::kSrcPlus5V);
  m.periods(3);
  EXPECT_NE(m->mg1.getPeriod(), 441);
  m.set(kMg1FSrc, 0);
  EXPECT_EQ(m->mg1FreqSrc, nullptr);
  EXPECT_EQ(m->mg1.getPeriod(), 441);
}
