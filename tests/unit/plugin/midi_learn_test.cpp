#include "tests/unit/plugin/config_fixture.h"
#include "tests/unit/plugin/engine_fixture.h"

#include <thread>

using configtest::ConfigTest;
using enginetest::controller;
using enginetest::Engine;

namespace {

class MidiLearnTest : public ConfigTest {
protected:
  void SetUp() override {
    ConfigTest::SetUp();
    plug = makePlug();
  }
  // A knob moved on screen.
  void touch(int index, double normalized = 0.3) { plug->SetParameterValue(index, normalized); }
  void turn(int cc, int value = 64) { plug->ProcessMidiMsg(controller(cc, value)); }
  std::vector<int> controllersOf(int param) const {
    std::vector<int> out;
    for (int n = 0; n < Synth::kNumLearnableCCs; ++n)
      if (plug->ccMap[static_cast<size_t>(n)] == param) out.push_back(n);
    return out;
  }

  std::unique_ptr<Varnel> plug;
};

} // namespace

TEST_F(MidiLearnTest, LearnsInEitherOrder) {
  for (const bool controllerFirst : {true, false}) {
    SCOPED_TRACE(controllerFirst ? "controller first" : "control first");
    for (auto& entry : plug->ccMap) entry = -1;
    plug->takeLearnButtonOffRequest();
    plug->doMidiLearn(true);
    ASSERT_TRUE(plug->midiLearnActive);
    if (controllerFirst) {
      turn(20);
      EXPECT_TRUE(plug->midiLearnActive);
      EXPECT_EQ(plug->getLearnCC(), 20);
      touch(kCutoff);
    } else {
      touch(kCutoff);
      EXPECT_TRUE(plug->midiLearnActive);
      EXPECT_EQ(plug->getLearnParam(), kCutoff);
      turn(20);
    }
    EXPECT_FALSE(plug->midiLearnActive);
    EXPECT_EQ(controllersOf(kCutoff), std::vector<int>{20});
    EXPECT_TRUE(plug->takeLearnButtonOffRequest());
    EXPECT_FALSE(plug->takeLearnButtonOffRequest()); // carried out once
  }
}

TEST_F(MidiLearnTest, WhileWaitingTheLatestEventWins) {
  plug->doMidiLearn(true);
  touch(kPeak);
  touch(kCutoff);
  turn(30);
  EXPECT_EQ(plug->ccMap[30], kCutoff);

  plug->doMidiLearn(true);
  turn(31);
  turn(32);
  touch(kPeak);
  EXPECT_EQ(plug->ccMap[31], -1);
  EXPECT_EQ(plug->ccMap[32], kPeak);
}

TEST_F(MidiLearnTest, RelearningMovesTheParameterToTheNewController) {
  plug->ccMap[20] = kCutoff;
  plug->ccMap[22] = kCutoff; // as an INI file may hold it
  plug->doMidiLearn(true);
  turn(21);
  touch(kCutoff);
  EXPECT_EQ(controllersOf(kCutoff), std::vector<int>{21});
}

TEST_F(MidiLearnTest, WhileLearningTheControllerMovesNothing) {
  plug->ccMap[20] = kPeak;
  const double before = plug->GetParam(kPeak)->GetValue();
  plug->doMidiLearn(true);
  plug->SetSampleRate(44100);
  plug->OnReset(); // the reset disarms learning; arm again after it
  plug->doMidiLearn(true);
  turn(20, 127);
  double left[64], right[64];
  double* outs[2] = {left, right};
  plug->ProcessBlock(nullptr, outs, 64);
  EXPECT_EQ(plug->GetParam(kPeak)->GetValue(), before);
  EXPECT_EQ(plug->NParamOut(), 0);
}

TEST_F(MidiLearnTest, UnlearnByParameterClearsAllItsControllers) {
  plug->ccMap[20] = kCutoff;
  plug->ccMap[21] = kCutoff;
  plug->ccMap[22] = kPeak;
  plug->doMidiUnlearn(true);
  EXPECT_TRUE(plug->isMidiUnlearn());
  touch(kCutoff);
  EXPECT_FALSE(plug->midiLearnActive);
  EXPECT_FALSE(plug->isMidiUnlearn());
  EXPECT_TRUE(controllersOf(kCutoff).empty());
  EXPECT_EQ(plug->ccMap[22], kPeak);
  EXPECT_TRUE(plug->takeLearnButtonOffRequest());
}

TEST_F(MidiLearnTest, UnlearnByControllerClearsOnlyThatController) {
  plug->ccMap[20] = kCutoff;
  plug->ccMap[21] = kCutoff;
  plug->doMidiUnlearn(true);
  turn(20);
  EXPECT_FALSE(plug->midiLearnActive);
  EXPECT_EQ(controllersOf(kCutoff), std::vector<int>{21});
  // The change that follows is an ordinary edit again.
  touch(kCutoff);
  EXPECT_EQ(controllersOf(kCutoff), std::vector<int>{21});
}

TEST_F(MidiLearnTest, ReleasedButtonResetAndChannelModeMessagesAssignNothing) {
  plug->doMidiLearn(true);
  turn(20);
  plug->doMidiLearn(false);
  touch(kCutoff);
  EXPECT_TRUE(controllersOf(kCutoff).empty());
  EXPECT_FALSE(plug->takeLearnButtonOffRequest());

  plug->doMidiLearn(true);
  touch(kCutoff);
  plug->SetSampleRate(48000);
  plug->OnReset();
  EXPECT_FALSE(plug->midiLearnActive);
  turn(20);
  EXPECT_TRUE(controllersOf(kCutoff).empty());

  // 120..127 are channel-mode messages, never learnt.
  plug->doMidiLearn(true);
  touch(kCutoff);
  for (int cc = 120; cc < 128; ++cc) turn(cc, 0);
  plug->setMidiLearnCC(127);
  EXPECT_TRUE(plug->midiLearnActive);
  EXPECT_TRUE(controllersOf(kCutoff).empty());
}

TEST_F(MidiLearnTest, LearntControllerSetsItsParameterAndTellsTheHostOnlyOnChange) {
  Engine e;
  e->ccMap[20] = kCutoff;
  e->GetParam(kCutoff)->SetFromNormalized(64 / 127.0);
  e->ClearParamOut();
  e.send(controller(20, 64));
  e.block(64);
  EXPECT_EQ(e->NParamOut(), 0);

  e.send(controller(20, 100));
  e.block(64);
  ASSERT_EQ(e->NParamOut(), 1);
  EXPECT_EQ(e->GetParamOut()[0].index, kCutoff);
  EXPECT_DOUBLE_EQ(e->GetParamOut()[0].normalized, 100 / 127.0);
  EXPECT_DOUBLE_EQ(e->GetParam(kCutoff)->GetNormalized(), 100 / 127.0);
}

TEST_F(MidiLearnTest, ControllerAndEditMeetingOnTwoThreadsCompleteExactlyOnce) {
  for (int round = 0; round < 100; ++round) {
    const int cc = round % 100;
    const int param = round % kNumParams;
    plug->doMidiLearn(true);
    std::atomic<int> ready{0};
    std::thread audio([&] {
      ready.fetch_add(1);
      while (ready.load() < 2) std::this_thread::yield();
      plug->setMidiLearnCC(cc);
    });
    ready.fetch_add(1);
    while (ready.load() < 2) std::this_thread::yield();
    plug->OnParamChange(param);
    audio.join();
    ASSERT_FALSE(plug->midiLearnActive) << round;
    ASSERT_EQ(plug->ccMap[static_cast<size_t>(cc)], param) << round;
    ASSERT_EQ(controllersOf(param), std::vector<int>{cc}) << round;
    ASSERT_TRUE(plug->takeLearnButtonOffRequest());
  }
}

TEST_F(MidiLearnTest, SavedAssignmentsComeBackAndReloadReplacesLearntOnes) {
  plug->doMidiLearn(true);
  turn(20);
  touch(kCutoff);
  ASSERT_TRUE(plug->saveConfig(-1));
  plug->doMidiLearn(true);
  turn(21);
  touch(kPeak);
  ASSERT_EQ(plug->loadConfig(), 0);
  EXPECT_EQ(plug->ccMap[20], kCutoff);
  EXPECT_EQ(plug->ccMap[21], -1);
}
