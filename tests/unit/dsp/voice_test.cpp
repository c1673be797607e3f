#include "dsp/filter_tables.h"
#include "dsp/sg.h"
#include "dsp/voice.h"
#include "tests/unit/dsp/voice_test_signal.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Two generators, the cutoff tables and the per-period buffers, driven like the engine does.
struct Engine {
  explicit Engine(double rate = 44100.0) : rate(rate), period(static_cast<int>(rate) / 1000) {
    pitch1.assign(period, 0);
    pitch2.assign(period, 0);
    cutoffMod.assign(period, 0);
    tables->setSampleRate(rate);
    sg1->setSampleRate(rate, pitch1.data());
    sg2->setSampleRate(rate, pitch2.data());
    for (SG* sg : {sg1.get(), sg2.get()}) {
      sg->setWaveForm(0.2);  // sawtooth
      sg->setScaleBase(0.3); // 8'
    }
    voice->setGenerators(sg1.get(), sg2.get());
    voice->setSampleRate(rate, *tables, cutoffMod.data());
    voice->setParam(Voice::kSustain, 1.0);
    voice->setParam(Voice::kKbdBalance, 0.5);
  }

  // One control period split into chunks of the given size.
  std::vector<double> render(int samples, int chunk = 1000000) {
    std::vector<double> mix(static_cast<size_t>(samples), 0.0);
    for (int start = 0; start < samples; start += period) {
      sg1->update(0.25, 0.0);
      sg2->update(0.25, 0.0);
      voice->update(cutoff);
      const int len = std::min(period, samples - start);
      for (int pos = 0; pos < len; pos += chunk) {
        const int n = std::min(chunk, len - pos);
        voice->process(mix.data() + start + pos, n, pos);
        sg1->next(n);
        sg2->next(n);
      }
    }
    return mix;
  }

  double rate;
  int period;
  int cutoff = 17280;
  std::vector<int> pitch1, pitch2, cutoffMod;
  std::unique_ptr<SG> sg1 = std::make_unique<SG>(), sg2 = std::make_unique<SG>();
  std::unique_ptr<FilterTables> tables = std::make_unique<FilterTables>();
  std::unique_ptr<Voice> voice = std::make_unique<Voice>();
};

double velocityOf(int midi) {
  return 2.0 * midi / 127 - 1;
}

TEST(Voice, SoundsTheKeysFundamental) {
  for (bool ladder : {false, true}) {
    for (auto [key, hz] : {std::pair{69, 440.0}, std::pair{60, 261.626}, std::pair{45, 110.0}}) {
      Engine e;
      e.voice->setParam(Voice::kFilterType, ladder ? 1.0 : 0.0);
      e.voice->setNoteOn(key, 1, 1.0);
      const auto out = e.render(32768);
      EXPECT_NEAR(voice_test::peakFrequency(out, 32768, e.rate, 50.0), hz, hz * 0.003)
          << key << (ladder ? " ladder" : " korg35");
    }
  }
}

TEST(Voice, NoteOnSetsKeyAndGains) {
  Engine e;
  Voice& v = *e.voice;
  EXPECT_FALSE(v.isActive());
  EXPECT_EQ(v.getKey(), 48);
  v.setNoteOn(127, 7, 1.0);
  EXPECT_TRUE(v.isActive());
  EXPECT_TRUE(v.isGate());
  EXPECT_EQ(v.getSerial(), 7);
  EXPECT_NEAR(v.getKeyGain(), 0.9975, 1e-4);
  EXPECT_DOUBLE_EQ(v.getKeyTrack(), 79.0 / 84);
  v.setNoteOn(0, 8, 1.0);
  EXPECT_NEAR(v.getKeyGain(), 0.0025, 1e-4);
  EXPECT_DOUBLE_EQ(v.getKeyTrack(), -48.0 / 84);
  EXPECT_EQ(v.envelope().getState(), EM::kAttack);
}

TEST(Voice, VelocityAndKeyboardGain) {
  Engine e;
  Voice& v = *e.voice;
  struct Case {
    double veloVca;
    int velocity;
    double factor;
  };
  for (const Case& c : {Case{1.0, 127, 1.0}, Case{1.0, 64, 0.00787}, Case{1.0, 1, -0.98425},
                        Case{0.5, 1, 0.00787}, Case{0.0, 1, 1.0}}) {
    v.setParam(Voice::kVeloVca, c.veloVca);
    v.setNoteOn(60, 1, velocityOf(c.velocity));
    EXPECT_NEAR(v.gain(), 0.5 * c.factor, 1e-4) << c.veloVca << " " << c.velocity;
  }
  v.setParam(Voice::kVeloVca, 0.0);
  v.setParam(Voice::kKbdBalance, 0.0);
  v.setNoteOn(0, 1, 1.0);
  EXPECT_NEAR(v.gain(), 0.9975, 1e-4); // low keys favoured
  v.setParam(Voice::kKbdBalance, 1.0);
  EXPECT_NEAR(v.gain(), 0.0025, 1e-4);
}

TEST(Voice, NoteOffSustainAndReleaseTrigger) {
  Engine e;
  Voice& v = *e.voice;
  v.setNoteOn(60, 1, 1.0);
  e.render(44);
  v.setNoteOff();
  EXPECT_FALSE(v.isGate());
  EXPECT_EQ(v.envelope().getState(), EM::kRelease);

  v.setSustain(true);
  v.setNoteOn(60, 2, 1.0);
  v.setNoteOff();
  EXPECT_EQ(v.envelope().getState(), EM::kAttack); // the pedal holds it
  v.setSustain(false);
  EXPECT_EQ(v.envelope().getState(), EM::kRelease);

  // Pedal up also releases a voice that is already silent.
  Engine idle;
  idle.voice->setSustain(false);
  EXPECT_EQ(idle.voice->envelope().getState(), EM::kRelease);

  // The release trigger releases a held key; the later note-off only clears the gate.
  bool trigger = false;
  v.setReleaseTrigger(&trigger);
  v.setNoteOn(62, 3, 1.0);
  e.render(440);
  trigger = true;
  e.render(44);
  EXPECT_EQ(v.envelope().getState(), EM::kRelease);
  EXPECT_TRUE(v.isGate());
  trigger = false;
  v.setNoteOff();
  EXPECT_FALSE(v.isGate());
  EXPECT_EQ(v.envelope().getState(), EM::kRelease);
}

TEST(Voice, ReleasedVoiceFallsIdleAndStopsRendering) {
  Engine e;
  Voice& v = *e.voice;
  v.setNoteOn(60, 1, 1.0);
  e.render(4410);
  v.setNoteOff();
  const auto tail = e.render(4410);
  EXPECT_FALSE(v.isActive());
  EXPECT_EQ(tail.back(), 0.0);
  EXPECT_EQ(voice_test::rms(e.render(441)), 0.0);
  // A note-on during release restarts the attack from where the envelope is.
  v.setNoteOn(60, 2, 1.0);
  e.render(4410);
  v.setNoteOff();
  e.render(88);
  const double released = v.envelope().getValue();
  ASSERT_GT(released, 0.1);
  v.setNoteOn(60, 3, 1.0);
  e.render(1);
  EXPECT_GT(v.envelope().getValue(), released);
  EXPECT_LT(v.envelope().getValue(), released + 0.05);
}

TEST(Voice, EnvelopeAdvancesOncePerSample) {
  Engine e;
  Voice& v = *e.voice;
  v.setParam(Voice::kAttack, 0.5);
  v.setNoteOn(60, 1, 1.0);
  EM reference;
  reference.setSampleRate(44100.0f);
  reference.setAttack(0.5);
  reference.setSustain(1.0);
  reference.setDecay(0.0);
  reference.start();
  e.render(44 * 10);
  for (int i = 0; i < 44 * 10; ++i) reference.update();
  EXPECT_DOUBLE_EQ(v.envelope().getValue(), reference.getValue());
  // The attack source is added to the attack time every period.
  double source = -0.5;
  v.setAttackSource(&source);
  v.setNoteOn(60, 2, 1.0);
  e.render(44 * 10);
  reference.setAttack(0.0);
  reference.start();
  for (int i = 0; i < 44 * 10; ++i) reference.update();
  EXPECT_DOUBLE_EQ(v.envelope().getValue(), reference.getValue());
}

TEST(Voice, ParametersReachTheirTargets) {
  Engine e;
  Voice& v = *e.voice;
  v.setParam(Voice::kSg2Wave, 0.99);
  EXPECT_TRUE(v.isSg2On());
  v.setParam(Voice::kSg2Wave, 0.991);
  EXPECT_FALSE(v.isSg2On());
  v.setParam(Voice::kFilterType, 0.49);
  EXPECT_FALSE(v.isLadder());
  v.setParam(Voice::kFilterType, 0.5);
  EXPECT_TRUE(v.isLadder());
  v.setParam(Voice::kPeak, 1.0);
  for (int id : {0, 6, 25, 37, 113, 117, 123}) v.setParam(id, 0.77); // ignored
  v.setParam(Voice::kCutoffKeyTrack, 1.0);
  v.setParam(Voice::kExpand, 0.0);
  v.setNoteOn(60, 1, 1.0);
  e.cutoff = 5000;
  e.render(44);
  EXPECT_DOUBLE_EQ(v.getKorg35().getK(), 1.71);
  EXPECT_DOUBLE_EQ(v.getLadder().getFeedback(), 4.1);
  // One semitone per key at full key tracking: key 60 is 12 keys above 48.
  EXPECT_EQ(v.getKorg35().getBase(), static_cast<int>(12.0 / 84 * 10753 + 5000));
  EXPECT_EQ(v.getLadder().getBase(), v.getKorg35().getBase());
  v.setParam(Voice::kCutoffKeyTrack, 0.0);
  v.setParam(Voice::kVeloCutoff, 0.5);
  v.setParam(Voice::kExpand, 0.25);
  e.render(44100); // the envelope settles at sustain 1
  EXPECT_EQ(v.getKorg35().getBase(), static_cast<int>((0.25 + 0.5) * 10753 + 5000));
  // Turning SG2 off lowers the level of two equal generators.
  Engine both, one;
  one.voice->setParam(Voice::kSg2Wave, 1.0);
  for (Engine* x : {&both, &one}) x->voice->setNoteOn(57, 1, 1.0);
  EXPECT_GT(voice_test::rms(both.render(4410)), 1.5 * voice_test::rms(one.render(4410)));
}

TEST(Voice, StableAtEverySampleRate) {
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    for (bool ladder : {false, true}) {
      Engine e(rate);
      e.voice->setParam(Voice::kFilterType, ladder);
      e.voice->setParam(Voice::kPeak, 1.0);
      e.voice->setNoteOn(100, 1, 1.0);
      const auto out = e.render(static_cast<int>(rate / 10));
      for (double x : out) ASSERT_TRUE(std::isfinite(x) && std::abs(x) < 20.0) << rate;
      e.voice->setNoteOff();
      e.render(static_cast<int>(rate / 5));
      EXPECT_FALSE(e.voice->isActive()) << rate;
    }
  }
}

} // namespace
