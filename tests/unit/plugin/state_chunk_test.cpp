#include "plugin/varnel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
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

TEST_F(StateChunk, MarkerWithoutProgramIndexEmptiesTheNameOnHostRestore) {
  selectProgram(2, "Named");
  plug->GetParam(kCutoff)->SetValue(0.7);
  IByteChunk chunk;
  chunk.AppendBytes("Varnel_1.1.1xx", 14);
  EXPECT_EQ(plug->unserializeVellsoundState(chunk, 0), -1);
  EXPECT_EQ(plug->GetPresetName(2), "");
  EXPECT_EQ(plug->GetParam(kCutoff)->GetValue(), 0.7); // nothing after the index was read
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

TEST_F(StateChunk, OutOfRangeIndexIsIgnoredAndLongNamesAreCut) {
  selectProgram(1, "One");
  IByteChunk chunk;
  chunk.AppendBytes("Varnel_1.1.1", 12);
  const int32_t program = 64;
  chunk.AppendValue(&program);
  chunk.AppendString(std::string(100, 'n'));
  EXPECT_EQ(plug->unserializeVellsoundState(chunk, 0), -1);
  EXPECT_EQ(plug->GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug->GetPresetName(1), "One");

  IByteChunk named;
  named.AppendBytes("Varnel_1.1.1", 12);
  const int32_t one = 1;
  named.AppendValue(&one);
  named.AppendString(std::string(100, 'n'));
  plug->unserializeVellsoundState(named, 0);
  EXPECT_EQ(plug->GetPresetName(1), std::string(63, 'n'));
}
