// The engine's audio path allocates nothing: blocks with a busy patch, MIDI and program
// changes.
#include "tests/alloc/allocation_counter.h"
#include "tests/unit/plugin/engine_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace enginetest;

namespace {
// Every section of the output chain and the busiest modulation.
void heavyPatch(Engine& e) {
  e.set(kSg1Wave, 0.4);
  e.set(kSg2Wave, 0.6);
  e.set(kK35Lp4, 1);
  e.set(kFcMod, 1);
  e.set(kFcMg1, 0.5);
  e.set(kMg1Freq, 200);
  e.set(kFmMod, 1);
  e.set(kFmShMg, 50);
  e.set(kRsInt, 0.7);
  for (int b = kEq8k; b <= kEq125; ++b) e.set(b, 6);
  e.set(kEnsembl, 0.8);
  e.set(kAmInt, 0.5);
  e.set(kGegSrc1, 3);
  e.set(kVca2Vp1, 1);
  e.set(kVp1Src, Varnel::kSrcGE3);
  e.set(kVp1A, 1);
}
} // namespace

TEST(EngineAllocation, NoAllocationWhileProcessing) {
  Engine e(48000, 512);
  heavyPatch(e);
  std::vector<double> left(512), right(512);
  double* outs[2] = {left.data(), right.data()};
  std::vector<IMidiMsg> messages;
  for (int k = 0; k < Varnel::kNumVoices; ++k) messages.push_back(noteOn(30 + k, 100, k * 7));
  messages.push_back(controller(64, 127, 3));
  messages.push_back(controller(1, 90, 100));
  messages.push_back(pitchBend(0x3000, 200));
  messages.push_back(midi(0xD0, 60, 0, 300));

  {
    alloccount::Counting probe; // the counter itself works
    int* volatile p = new int(1);
    delete p;
    ASSERT_EQ(probe.count(), 1);
  }
  long allocations = 0;
  {
    alloccount::Counting counting;
    for (const IMidiMsg& m : messages) e->ProcessMidiMsg(m);
    for (int b = 0; b < 40; ++b) {
      e->ProcessBlock(nullptr, outs, b % 3 == 0 ? 512 : 333);
      if (b == 36) e->ProcessMidiMsg(controller(123, 0)); // acted on at once
    }
    allocations = counting.count();
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_GT(rms(std::vector<double>(left.begin(), left.begin() + 333)), 0.0);
}

// MIDI program changes run on the audio thread: to a stored program and to an empty one, which
// then takes over the live sound under the longest name a program can hold. The empty program
// was stored and emptied before, as a bank load does, so its storage is the one left behind.
TEST(EngineAllocation, ProgramChangeAllocatesNothing) {
  Engine e(48000, 512);
  ASSERT_TRUE(e->RestorePreset(9));
  e->ModifyCurrentPreset("Short");
  IPreset& empty = e->GetPreset(9);
  empty.initialized = false;
  empty.chunk.Clear();
  ASSERT_TRUE(e->RestorePreset(3));
  const std::string longest(IPreset::kNameSize - 1, 'W');
  e->ModifyCurrentPreset(longest.c_str());
  ASSERT_EQ(e->GetPresetName(3), longest);
  const PluginBase::AudioThreadScope audioThread;
  long allocations = 0;
  {
    alloccount::Counting counting;
    e->ProcessMidiMsg(midi(0xC0, 3, 0, 0));
    e->ProcessMidiMsg(midi(0xC0, 9, 0, 0));
    allocations = counting.count();
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(e->GetCurrentPresetIdx(), 9);
  EXPECT_TRUE(empty.initialized);
  EXPECT_EQ(e->GetPresetName(9).rfind("user preset", 0), 0u);
  // The state it took holds the whole name of the program it came from.
  ASSERT_GE(empty.chunk.Size(), 12 + 8 + IPreset::kNameSize - 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(empty.chunk.GetData()) + 20, longest.size()),
            longest);
}
