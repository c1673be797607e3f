// The program store under the audio thread and another one at the same time.
#include "tests/unit/core/preset_test_plug.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace {

// Runs `work` on a thread of its own marked as the audio thread, and waits for it.
void onAudioThread(const std::function<void()>& work) {
  std::thread([&] {
    const PluginBase::AudioThreadScope audio;
    work();
  }).join();
}

// Records the level the engine hears, that is what the handlers see on the audio thread; an
// audio block falls into every program of a bank load.
class ListeningPlug : public PresetTestPlug {
public:
  void OnParamChange(int index) override {
    if (index == 0 && OnAudioThread()) heard.push_back(GetParam(0)->GetValue());
  }
  int UnserializeState(const IByteChunk& chunk, int startPos) override {
    const int pos = PresetTestPlug::UnserializeState(chunk, startPos);
    if (blockDuringReads) onAudioThread([this] { DrainScheduledParamChanges(); });
    return pos;
  }
  bool blockDuringReads = false;
  std::vector<double> heard;
};

TEST(ProgramStoreThreads, BankLoadWhileProcessingChangesTheLiveSoundOnce) {
  ListeningPlug source;
  for (int i = 0; i < source.NPresets(); ++i) {
    ASSERT_TRUE(source.RestorePreset(i));
    source.GetParam(0)->SetValue(i / 100.0);
    source.ModifyCurrentPreset();
  }
  IByteChunk bank;
  source.SerializePresets(bank);

  ListeningPlug target;
  ASSERT_TRUE(target.RestorePreset(5));
  target.SetProcessing(true);
  target.blockDuringReads = true;
  ASSERT_EQ(target.UnserializePresets(bank, 0), bank.Size());
  target.blockDuringReads = false;
  onAudioThread([&] { target.DrainScheduledParamChanges(); });
  EXPECT_EQ(target.heard, std::vector<double>{0.05});
}

TEST(ProgramStoreThreads, AudioThreadProgramChangeWaitsForTheStoresOwner) {
  PresetTestPlug plug;
  ASSERT_TRUE(plug.RestorePreset(3));
  plug.SetValues({0.5, 1.0, 2.0, 1.0, 440.0});
  plug.ModifyCurrentPreset("Three");
  ASSERT_TRUE(plug.RestorePreset(0));
  plug.SetValues({0.125, -2.0, 0.0, 0.0, 5000.0});
  plug.SetProcessing(true);
  {
    const PluginBase::ProgramStoreLock store(plug);
    bool restored = true;
    onAudioThread([&] { restored = plug.RestorePreset(3); });
    EXPECT_FALSE(restored);
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
    EXPECT_EQ(plug.GetParam(4)->GetValue(), 5000.0);
  }
  // Carried out before the next block.
  onAudioThread([&] { plug.DrainScheduledParamChanges(); });
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 3);
  EXPECT_EQ(plug.GetParam(4)->GetValue(), 440.0);
  EXPECT_EQ(plug.GetPresetName(3), "Three");
}

} // namespace
