#include "tests/unit/plugin/engine_fixture.h"

#include <gtest/gtest.h>

using namespace enginetest;

TEST(Notes, VelocityZeroNoteOnReleases) {
  Engine e;
  e.send(noteOn(60, 100));
  e.period();
  const Voice* v = e.voiceOf(60);
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(v->isGate());
  EXPECT_EQ(e->pressedKeyCount(), 1);

  e.send(noteOn(60, 0));
  e.period();
  EXPECT_FALSE(v->isGate());
  EXPECT_EQ(v->envelope().getState(), EM::kRelease);
  EXPECT_EQ(e->pressedKeyCount(), 0);
}

TEST(Notes, SameKeyTwiceReusesItsVoice) {
  Engine e;
  e.send(noteOn(60, 100));
  e.period();
  const Voice* v = e.voiceOf(60);
  ASSERT_NE(v, nullptr);
  const int serial = v->getSerial();

  e.send(noteOn(60, 100));
  e.period();
  EXPECT_EQ(e.voiceOf(60), v);
  EXPECT_GT(v->getSerial(), serial);
  EXPECT_EQ(e->pressedKeyCount(), 1);
  int sounding = 0;
  for (const Voice& voice : e->voices) sounding += voice.isActive() ? 1 : 0;
  EXPECT_EQ(sounding, 1);

  e.send(noteOff(60));
  e.period();
  EXPECT_FALSE(v->isGate());
  EXPECT_EQ(e->pressedKeyCount(), 0);
}

// With every voice busy the note that started first gives way, whatever its index.
TEST(Notes, FullPolyphonyStealsTheOldestNote) {
  Engine e;
  for (int k = 0; k < Varnel::kNumVoices; ++k) e.send(noteOn(30 + k, 100));
  e.period();
  for (int k = 0; k < Varnel::kNumVoices; ++k) ASSERT_EQ(e.indexOf(e.voiceOf(30 + k)), k) << k;

  // Restriking the first key makes voice 1 the oldest.
  e.send(noteOn(30, 100));
  e.period();
  EXPECT_EQ(e.indexOf(e.voiceOf(30)), 0);

  e.send(noteOn(120, 100));
  e.period();
  EXPECT_EQ(e.indexOf(e.voiceOf(120)), 1);
  EXPECT_EQ(e.voiceOf(31), nullptr);
  e.send(noteOn(121, 100));
  e.period();
  EXPECT_EQ(e.indexOf(e.voiceOf(121)), 2);
}

// A reset at an unchanged rate (the host stops processing) releases every voice but leaves the
// tails sounding; new notes must still take the oldest tail, not each other.
TEST(Notes, StealingAfterASameRateResetTakesTheOldestNote) {
  Engine e;
  e.set(kEmRel, 1.0);
  for (int k = 0; k < Varnel::kNumVoices; ++k) e.send(noteOn(30 + k, 100));
  e.period();
  e->OnReset();
  for (int k = 0; k < Varnel::kNumVoices; ++k) ASSERT_NE(e.voiceOf(30 + k), nullptr) << k;

  e.send(noteOn(120, 100));
  e.period();
  e.send(noteOn(121, 100));
  e.period();
  EXPECT_EQ(e.indexOf(e.voiceOf(120)), 0);
  EXPECT_EQ(e.indexOf(e.voiceOf(121)), 1);
  EXPECT_EQ(e.voiceOf(31), nullptr);
  EXPECT_NE(e.voiceOf(32), nullptr);
}

TEST(Notes, ReleasedSilentKeyReturnsToItsVoice) {
  Engine e;
  e.send(noteOn(50, 100));
  e.send(noteOn(60, 100));
  e.period();
  ASSERT_EQ(e.indexOf(e.voiceOf(50)), 0);
  ASSERT_EQ(e.indexOf(e.voiceOf(60)), 1);
  e.send(noteOff(50));
  e.send(noteOff(60));
  e.render(44100 / 2);
  for (const Voice& voice : e->voices) ASSERT_FALSE(voice.isActive());

  e.send(noteOn(60, 100));
  e.period();
  EXPECT_EQ(e.indexOf(e.voiceOf(60)), 1);
}

TEST(Notes, SustainHoldsWithAnyNonZeroValue) {
  Engine e;
  e.send(noteOn(60, 100));
  e.send(controller(64, 1));
  e.period();
  e.send(noteOff(60));
  e.periods(50);
  const Voice* v = e.voiceOf(60);
  ASSERT_NE(v, nullptr);
  EXPECT_FALSE(v->isGate());
  EXPECT_TRUE(v->isSustained());
  EXPECT_NE(v->envelope().getState(), EM::kRelease);
  EXPECT_EQ(v->envelope().getValue(), 1.0);

  e.send(controller(64, 0));
  e.period();
  EXPECT_EQ(v->envelope().getState(), EM::kRelease);
}

// All notes off acts when the message arrives, not at the next period, and beats the pedal.
TEST(Notes, AllNotesOffReleasesAtOnceEvenWithThePedalDown) {
  for (int cc : {123, 120}) {
    Engine e;
    e.send(controller(64, 127));
    for (int k = 0; k < 8; ++k) e.send(noteOn(60 + k, 100));
    e.period();
    ASSERT_EQ(e->pressedKeyCount(), 8);

    e.send(controller(cc, 0, 30));
    EXPECT_EQ(e->pressedKeyCount(), 0) << cc;
    for (int k = 0; k < 8; ++k) {
      const Voice& v = e->voices[k];
      EXPECT_FALSE(v.isGate()) << cc << " " << k;
      EXPECT_FALSE(v.isSustained()) << cc << " " << k;
      EXPECT_EQ(v.envelope().getState(), EM::kRelease) << cc << " " << k;
    }
  }
}

// "Kbd Trig" 2: the trigger follows the count of held keys after each note-on of the period.
TEST(Notes, KeyboardTriggerAtTwoHeldKeys) {
  struct Case {
    const char* what;
    std::vector<std::vector<int>> periodsOfKeys; // note-ons per control period
    bool fires;
  };
  const Case cases[] = {
      {"second key in a later period", {{60}, {62}}, true},
      {"one then two keys in one period", {{60, 62}}, true},
      {"two then three keys in one period", {{60}, {62, 64}}, false},
      {"one key only", {{60}}, false},
  };
  for (const Case& c : cases) {
    Engine e;
    e.set(kKbdTrig, 2);
    e.set(kGegSrc1, 1); // "Kbd" starts the general envelope
    const size_t last = c.periodsOfKeys.size() - 1;
    for (size_t p = 0; p < c.periodsOfKeys.size(); ++p) {
      for (int key : c.periodsOfKeys[p]) e.send(noteOn(key, 100));
      e.period();
      if (p < last) {
        ASSERT_FALSE(e->geg.isOn()) << c.what << ", period " << p;
      }
    }
    EXPECT_EQ(e->geg.isOn(), c.fires) << c.what;
  }
}

TEST(Notes, SingleAndMultipleKeyboardTriggers) {
  Engine e;
  e.set(kGegSrc1, 2); // "Sng"
  e.send(noteOn(60, 100));
  e.send(noteOn(62, 100));
  e.period();
  EXPECT_TRUE(e->geg.isOn()); // the first note-on of the period had one key held

  Engine m;
  m.set(kShTrig, 3); // "Mlt" samples the S/H input at every note-on
  m.set(kShIn, Varnel::kSrcKey);
  for (int key : {10, 100, 64}) {
    m.send(noteOn(key, 100));
    m.period();
    EXPECT_DOUBLE_EQ(m->shValue, 2.0 * key / 127.0 - 1.0) << key;
  }
}

TEST(Notes, PitchBendScaling) {
  const struct {
    int bend;
    double value;
  } cases[] = {{0x2000, 0.0}, {0x3FFF, 8191.0 / 8192.0}, {0, -1.0}, {0x1000, -0.5}};
  for (const auto& c : cases) {
    Engine e;
    e.send(pitchBend(c.bend));
    e.period();
    EXPECT_EQ(e->pitchBend, c.value) << c.bend;
    EXPECT_EQ(e->pitchBendPos, (c.value + 1.0) * 0.5) << c.bend;
  }
}
