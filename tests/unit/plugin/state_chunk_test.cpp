#include "plugin/varnel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {
class StateChunk : public ::testing::Test {
protected:
  std::unique_ptr<Varnel> plug = std::make_unique<Varnel>();

  IByteChunk valueList(int count, double value) {
    IByteChunk chunk;
    for (int i = 0; i < count; ++i) chunk.AppendValue(&value);
    return chunk;
  }
  void selectProgram(int index, const char* name) { selectProgram(*plug, index, name); }
  static void selectProgram(Varnel& p, int index, const char* name) {
    IPreset& preset = p.GetPreset(index);
    preset.initialized = true;
    preset.chunk.Clear();
    p.SerializeState(preset.chunk);
    std::snprintf(preset.name, IPreset::kNameSize, "%s", name);
    ASSERT_TRUE(p.RestorePreset(index));
  }
};
} // namespace

TEST_F(StateChunk, LayoutOfProgramFiveNamedBass) {
  selectProgram(5, "Bass");
  IByteChunk chunk;
  ASSERT_TRUE(plug->SerializeState(chunk));
  ASSERT_EQ(chunk.Size(), 1016);
  const uint8_t* d = chunk.GetData();
  EXPECT_EQ(std::memcmp(d, "Varnel_1.1.1", 12), 0);
  const std::vector<uint8_t> head(d + 12, d + 24);
  EXPECT_EQ(head, (std::vector<uint8_t>{5, 0, 0, 0, 4, 0, 0, 0, 'B', 'a', 's', 's'}));
  const std::vector<uint8_t> final(d + 24, d + 32);
  EXPECT_EQ(final, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0xD0, 0x3F}));
}

TEST_F(StateChunk, OldValueListRestoresValuesOnly) {
  selectProgram(3, "Keep");
  IByteChunk chunk = valueList(kNumParams, 0.5);
  EXPECT_EQ(plug->unserializeVellsoundState(chunk, 0), 992);
  EXPECT_EQ(plug->GetParam(kCutoff)->GetValue(), 0.5);
  EXPECT_EQ(plug->GetCurrentPresetIdx(), 3);
  EXPECT_EQ(plug->GetPresetName(3), "Keep");
}

TEST_F(StateChunk, ShortValueListZeroesTheFirstMissingValueOnly) {
  plug->GetParam(kRsFreq3)->SetValue(0.3);
  IByteChunk chunk = valueList(120, 0.1);
  EXPECT_EQ(plug->UnserializeState(chunk, 0), -1);
  EXPECT_EQ(plug->GetParam(119)->GetValue(), 0.1);
  EXPECT_EQ(plug->GetParam(kRsFreq2)->GetValue(), 0.0);
  EXPECT_EQ(plug->GetParam(kRsFreq3)->GetValue(), 0.3);
}

// Everything a host state may change: the live values, every program's name and sound, and
// which program is current.
std::vector<uint8_t> bankAndSound(const Varnel& p) {
  IByteChunk all;
  p.SerializePresets(all);
  for (int i = 0; i < kNumParams; ++i) {
    const double v = p.GetParam(i)->GetValue();
    all.AppendValue(&v);
  }
  const int32_t current = p.GetCurrentPresetIdx();
  all.AppendValue(&current);
  return std::vector<uint8_t>(all.GetData(), all.GetData() + all.Size());
}

TEST_F(StateChunk, HostStateCutShortAnywhereIsRefusedAndChangesNothing) {
  // The state names another program than the current one, so a reader that applies as it goes
  // would rename it, switch to it and overwrite its sound.
  auto source = std::make_unique<Varnel>();
  selectProgram(*source, 7, "Saved Program Name");
  source->GetParam(kCutoff)->SetValue(0.9);
  IByteChunk saved;
  source->SerializeState(saved);
  const int nameEnd = 12 + 8 + 18;

  selectProgram(7, "Seven");
  selectProgram(2, "Two");
  plug->GetParam(kCutoff)->SetValue(0.3);
  const std::vector<uint8_t> before = bankAndSound(*plug);
  for (const int keep : {1, 12, 14, 18, 22, nameEnd - 5, nameEnd, nameEnd + 4, saved.Size() - 1}) {
    SCOPED_TRACE(keep);
    IByteChunk cut;
    cut.AppendBytes(saved.GetData(), keep);
    EXPECT_EQ(plug->unserializeVellsoundState(cut, 0), -1);
    EXPECT_EQ(bankAndSound(*plug), before);
  }
  // A whole one is taken.
  EXPECT_EQ(plug->unserializeVellsoundState(saved, 0), saved.Size());
  EXPECT_EQ(plug->GetCurrentPresetIdx(), 7);
  EXPECT_EQ(plug->GetPresetName(7), "Saved Program Name");
}

TEST_F(StateChunk, HostRestoreBringsBackProgramAndName) {
  selectProgram(4, "Source");
  plug->GetParam(kPeak)->SetValue(0.6);
  IByteChunk saved;
  plug->SerializeState(saved);

  // Same program: the name changes, the stored chunk does not.
  auto other = std::make_unique<Varnel>();
  selectProgram(*other, 4, "Before");
  const IByteChunk before = other->GetPreset(4).chunk;
  EXPECT_EQ(other->unserializeVellsoundState(saved, 0), saved.Size());
  EXPECT_EQ(other->GetPresetName(4), "Source");
  EXPECT_TRUE(other->GetPreset(4).chunk.IsEqual(before));

  // Different program: it becomes current and holds the restored sound.
  auto third = std::make_unique<Varnel>();
  EXPECT_EQ(third->unserializeVellsoundState(saved, 0), saved.Size());
  EXPECT_EQ(third->GetCurrentPresetIdx(), 4);
  EXPECT_EQ(third->GetParam(kPeak)->GetValue(), 0.6);
  IByteChunk now;
  third->SerializeState(now);
  EXPECT_TRUE(third->GetPreset(4).chunk.IsEqual(now));
  EXPECT_TRUE(now.IsEqual(saved));
}

TEST_F(StateChunk, ProgramReadsSkipIndexAndName) {
  selectProgram(6, "Six");
  IByteChunk chunk;
  chunk.AppendBytes("Varnel_1.1.1", 12);
  const int32_t program = 9;
  chunk.AppendValue(&program);
  chunk.AppendString("Other");
  for (int i = 0; i < kNumParams; ++i) {
    const double v = plug->GetParam(i)->GetDefault();
    chunk.AppendValue(&v);
  }
  EXPECT_EQ(plug->UnserializeState(chunk, 0), chunk.Size());
  EXPECT_EQ(plug->GetCurrentPresetIdx(), 6);
  EXPECT_EQ(plug->GetPresetName(6), "Six");
  EXPECT_EQ(plug->GetPresetName(9), "empty");
}

TEST_F(StateChunk, OutOfRangeIndexIsIgnoredAndLongNamesKeepTheNameField) {
  const auto whole = [this](int32_t program, const std::string& name) {
    IByteChunk chunk;
    chunk.AppendBytes("Varnel_1.1.1", 12);
    chunk.AppendValue(&program);
    chunk.AppendString(name);
    for (int i = 0; i < kNumParams; ++i) {
      const double v = plug->GetParam(i)->GetDefault();
      chunk.AppendValue(&v);
    }
    return chunk;
  };
  selectProgram(1, "One");
  const IByteChunk outside = whole(64, std::string(100, 'n'));
  EXPECT_EQ(plug->unserializeVellsoundState(outside, 0), outside.Size());
  EXPECT_EQ(plug->GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug->GetPresetName(1), "One");

  // A name as long as a program can hold comes back whole; a longer one is cut to it.
  for (const size_t length : {size_t{255}, size_t{300}}) {
    const IByteChunk named = whole(1, std::string(length, 'n'));
    EXPECT_EQ(plug->unserializeVellsoundState(named, 0), named.Size());
    EXPECT_EQ(plug->GetPresetName(1), std::string(255, 'n'));
  }
}

namespace {
// Runs one piece of work from inside the state reader, at the first handler it runs.
class HookedVarnel : public Varnel {
public:
  void OnParamChange(int index) override {
    Varnel::OnParamChange(index);
    if (index == 0 && hook) {
      const std::function<void()> work = std::move(hook);
      hook = nullptr;
      work();
    }
  }
  std::function<void()> hook;
};
} // namespace

// A MIDI program change on the audio thread that falls into a host restore is a program change,
// carried out after the restore: it renames nothing and stores nothing.
TEST_F(StateChunk, ProgramChangeDuringHostRestoreIsNotTakenForTheRestore) {
  auto source = std::make_unique<Varnel>();
  selectProgram(*source, 4, "Restored");
  IByteChunk saved;
  source->SerializeState(saved);

  HookedVarnel target;
  selectProgram(target, 9, "Nine");
  target.GetParam(kCutoff)->SetValue(0.25);
  target.ModifyCurrentPreset();
  selectProgram(target, 1, "One");
  IByteChunk nineBefore = target.GetPreset(9).chunk;
  target.hook = [&] {
    std::thread([&] {
      const PluginBase::AudioThreadScope audio;
      target.ProcessMidiMsg(IMidiMsg{0, 0xC0, 9, 0});
    }).join();
  };
  EXPECT_EQ(target.unserializeVellsoundState(saved, 0), saved.Size());
  EXPECT_EQ(target.GetCurrentPresetIdx(), 4);
  EXPECT_EQ(target.GetPresetName(4), "Restored");
  EXPECT_EQ(target.GetPresetName(9), "Nine");
  EXPECT_TRUE(target.GetPreset(9).chunk.IsEqual(nineBefore));
  IByteChunk now;
  target.SerializeState(now);
  EXPECT_TRUE(now.IsEqual(saved));
  EXPECT_TRUE(target.GetPreset(4).chunk.IsEqual(saved));

  std::thread([&] {
    const PluginBase::AudioThreadScope audio;
    target.DrainScheduledParamChanges();
  }).join();
  EXPECT_EQ(target.GetCurrentPresetIdx(), 9);
  EXPECT_EQ(target.GetParam(kCutoff)->GetValue(), 0.25);
  EXPECT_EQ(target.GetPresetName(4), "Restored");
  EXPECT_TRUE(target.GetPreset(9).chunk.IsEqual(nineBefore));
}
