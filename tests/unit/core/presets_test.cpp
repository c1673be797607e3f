#include "tests/unit/core/preset_test_plug.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::vector<double> kSoundA = {0.5, 1.0, 2.0, 1.0, 440.0};
const std::vector<double> kSoundB = {0.125, -2.0, 0.0, 0.0, 5000.0};

// Stores sound into program index under name, leaving that program current.
void storeProgram(PresetTestPlug& plug, int index, const std::vector<double>& sound,
                  const char* name) {
  ASSERT_TRUE(plug.RestorePreset(index));
  plug.SetValues(sound);
  plug.ModifyCurrentPreset(name);
}

IByteChunk bankOf(const PresetTestPlug& plug) {
  IByteChunk bank;
  plug.SerializePresets(bank);
  return bank;
}

// The start of program index's record in a bank payload.
int recordStart(PresetTestPlug& plug, const IByteChunk& bank, int index) {
  int pos = 0;
  for (int i = 0; i < index; ++i) {
    int32_t length = 0;
    pos = bank.ReadValue(&length, pos) + length;
    uint8_t flags = 0;
    pos = bank.ReadValue(&flags, pos);
    if (flags & 1) pos += plug.GetPreset(i).chunk.Size();
  }
  return pos;
}

IByteChunk prefix(const IByteChunk& chunk, int size) {
  IByteChunk out;
  out.AppendBytes(chunk.GetData(), size);
  return out;
}

} // namespace

TEST(ProgramStore, StartsWithEmptyUninitialisedPrograms) {
  PresetTestPlug plug;
  ASSERT_EQ(plug.NPresets(), 64);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  for (int i = 0; i < plug.NPresets(); ++i) {
    EXPECT_FALSE(plug.GetPreset(i).initialized);
    EXPECT_EQ(plug.GetPresetName(i), "empty");
  }
  EXPECT_EQ(plug.GetPresetName(-1), "");
  EXPECT_EQ(plug.GetPresetName(64), "");
}

TEST(ProgramStore, RestoringEmptyProgramsNamesThemInTurnAndKeepsTheLiveSound) {
  PresetTestPlug plug;
  plug.SetValues(kSoundA);
  const int handlersBefore = plug.handlerRuns;

  ASSERT_TRUE(plug.RestorePreset(3));
  EXPECT_EQ(plug.GetPresetName(3), "user preset 1");
  ASSERT_TRUE(plug.RestorePreset(9));
  EXPECT_EQ(plug.GetPresetName(9), "user preset 2");

  EXPECT_EQ(plug.GetCurrentPresetIdx(), 9);
  EXPECT_EQ(plug.Values(), kSoundA);
  EXPECT_EQ(plug.handlerRuns, handlersBefore);
  EXPECT_TRUE(plug.GetPreset(3).initialized);
  EXPECT_EQ(plug.presetsModified, 2);
  EXPECT_EQ(plug.uiRefreshes, 2);

  // The empty slot took over the live sound.
  plug.SetValues(kSoundB);
  ASSERT_TRUE(plug.RestorePreset(3));
  EXPECT_EQ(plug.Values(), kSoundA);
}

TEST(ProgramStore, UserPresetNumberCountsEveryNameContainingIt) {
  PresetTestPlug plug;
  storeProgram(plug, 0, kSoundA, "my user preset");
  ASSERT_TRUE(plug.RestorePreset(1));
  EXPECT_EQ(plug.GetPresetName(1), "user preset 2");
}

TEST(ProgramStore, RestoreAppliesTheStoredStateAndRunsTheHandlers) {
  PresetTestPlug plug;
  storeProgram(plug, 0, kSoundA, "Lead");
  storeProgram(plug, 1, kSoundB, "Bass");
  EXPECT_EQ(plug.Values(), kSoundB);

  const int handlersBefore = plug.handlerRuns;
  ASSERT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(plug.Values(), kSoundA);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(plug.handlerRuns - handlersBefore, plug.NParams());
  EXPECT_EQ(plug.GetPresetName(0), "Lead");
}

TEST(ProgramStore, RestoreOfAnIndexOutsideTheBankChangesNothing) {
  PresetTestPlug plug;
  storeProgram(plug, 4, kSoundA, "Keys");
  for (int index : {-1, 64, 1000}) {
    const auto before = plug.Take();
    EXPECT_FALSE(plug.RestorePreset(index)) << index;
    EXPECT_TRUE(plug.Take() == before) << index;
  }
}

TEST(ProgramStore, RejectedStoredStateLeavesLiveValuesAndCurrentProgram) {
  PresetTestPlug plug;
  storeProgram(plug, 2, kSoundA, "Pad");
  storeProgram(plug, 5, kSoundB, "Bass");
  // A state cut after its first values: the reader stores those before it fails.
  IPreset& pad = plug.GetPreset(2);
  pad.chunk = prefix(pad.chunk, pad.chunk.Size() - 20);

  const int handlersBefore = plug.handlerRuns;
  EXPECT_FALSE(plug.RestorePreset(2));
  EXPECT_EQ(plug.Values(), kSoundB);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 5);
  // The engine heard the values that were put back last.
  EXPECT_GT(plug.handlerRuns, handlersBefore);
}

TEST(ProgramStore, ModifyStoresTheLiveStateAndNamesWithinTheField) {
  struct Case {
    std::string given;
    std::string stored;
  };
  const std::string euro = "\xE2\x82\xAC"; // three bytes
  const Case cases[] = {
      {std::string(300, 'x'), std::string(255, 'x')},
      {std::string(255, 'y'), std::string(255, 'y')},
      // A character that the cut would split is left out whole.
      {std::string(253, 'a') + euro + "b", std::string(253, 'a')},
      {std::string(252, 'a') + euro + "b", std::string(252, 'a') + euro},
  };
  for (const Case& c : cases) {
    PresetTestPlug plug;
    plug.SetValues(kSoundA);
    plug.ModifyCurrentPreset(c.given.c_str());
    EXPECT_EQ(plug.GetPresetName(0), c.stored);
    EXPECT_TRUE(plug.GetPreset(0).initialized);
  }

  PresetTestPlug plug;
  plug.ModifyCurrentPreset("Strings");
  plug.SetValues(kSoundB);
  plug.ModifyCurrentPreset();
  plug.ModifyCurrentPreset("");
  EXPECT_EQ(plug.GetPresetName(0), "Strings");
  // Its own name may be handed back.
  plug.ModifyCurrentPreset(plug.GetPreset(0).name);
  EXPECT_EQ(plug.GetPresetName(0), "Strings");
  plug.SetValues(kSoundA);
  ASSERT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(plug.Values(), kSoundB);
}

TEST(BankPayload, RoundTripKeepsNamesFlagsAndStates) {
  PresetTestPlug source;
  storeProgram(source, 0, kSoundA, "Lead");
  storeProgram(source, 7, kSoundB, "");
  storeProgram(source, 63, kSoundA, "Last");
  const IByteChunk bank = bankOf(source);

  PresetTestPlug target;
  EXPECT_EQ(target.UnserializePresets(bank, 0), bank.Size());
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(target.GetPresetName(i), source.GetPresetName(i)) << i;
    EXPECT_EQ(target.GetPreset(i).initialized, source.GetPreset(i).initialized) << i;
  }
  // States are stored again in the current layout, so compare what they restore.
  for (int i : {0, 7, 63}) {
    ASSERT_TRUE(target.RestorePreset(i));
    EXPECT_EQ(target.Values(), i == 7 ? kSoundB : kSoundA) << i;
  }
}

TEST(BankPayload, LoadKeepsTheCurrentProgramAndAppliesItsNewState) {
  PresetTestPlug source;
  storeProgram(source, 7, kSoundB, "Seven");
  storeProgram(source, 0, kSoundA, "Zero");

  PresetTestPlug target;
  ASSERT_TRUE(target.RestorePreset(7));
  ASSERT_GE(target.UnserializePresets(bankOf(source), 0), 0);
  EXPECT_EQ(target.GetCurrentPresetIdx(), 7);
  EXPECT_EQ(target.Values(), kSoundB);
  EXPECT_EQ(target.GetPresetName(7), "Seven");
}

TEST(BankPayload, UninitialisedProgramStaysUninitialised) {
  PresetTestPlug source;
  storeProgram(source, 1, kSoundA, "One");
  PresetTestPlug target;
  storeProgram(target, 2, kSoundB, "Old two");
  target.RestorePreset(1);
  ASSERT_GE(target.UnserializePresets(bankOf(source), 0), 0);

  EXPECT_FALSE(target.GetPreset(2).initialized);
  EXPECT_EQ(target.GetPresetName(2), "empty");
  ASSERT_TRUE(target.RestorePreset(2));
  EXPECT_EQ(target.GetPresetName(2), "user preset 1");
  EXPECT_EQ(target.Values(), kSoundA);
}

TEST(BankPayload, CurrentProgramWithoutStateKeepsTheSoundFromBeforeTheLoad) {
  PresetTestPlug source;
  for (int i = 1; i < 64; ++i) storeProgram(source, i, kSoundA, "A");
  PresetTestPlug target;
  target.SetValues(kSoundB);
  ASSERT_GE(target.UnserializePresets(bankOf(source), 0), 0);
  EXPECT_EQ(target.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(target.Values(), kSoundB);
  EXPECT_EQ(target.GetPresetName(0), "user preset 1");
}

TEST(BankPayload, PayloadEndingEarlyLoadsWholeProgramsOnly) {
  PresetTestPlug source;
  for (int i = 0; i < 64; ++i)
    storeProgram(source, i, kSoundA, ("New " + std::to_string(i)).c_str());
  const IByteChunk bank = bankOf(source);
  const int end10 = recordStart(source, bank, 11);

  struct Case {
    const char* what;
    int size;
  };
  const Case cases[] = {
      {"after program 10", end10},
      {"inside the name length of 11", end10 + 2},
      {"inside the name of 11", end10 + 6},
      {"before the flags of 11", end10 + 4 + 6},
      {"inside the values of 11", end10 + 4 + 6 + 1 + 8 + 19},
  };
  for (const Case& c : cases) {
    PresetTestPlug target;
    for (int i = 0; i < 64; ++i) storeProgram(target, i, kSoundB, "Old");
    ASSERT_TRUE(target.RestorePreset(20));
    EXPECT_EQ(target.UnserializePresets(prefix(bank, c.size), 0), -1) << c.what;
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(target.GetPresetName(i), "New " + std::to_string(i));
    for (int i = 11; i < 64; ++i) {
      EXPECT_EQ(target.GetPresetName(i), "Old") << c.what << " " << i;
      ASSERT_TRUE(target.GetPreset(i).initialized);
    }
    EXPECT_EQ(target.Values(), kSoundB) << c.what;
    ASSERT_TRUE(target.RestorePreset(11));
    EXPECT_EQ(target.Values(), kSoundB) << c.what;
    ASSERT_TRUE(target.RestorePreset(10));
    EXPECT_EQ(target.Values(), kSoundA) << c.what;
  }
}

TEST(BankPayload, UnreadableFirstProgramChangesNothing) {
  PresetTestPlug source;
  storeProgram(source, 0, kSoundA, "Zero");
  const IByteChunk bank = bankOf(source);
  IByteChunk negativeLength;
  const int32_t minusOne = -1;
  negativeLength.AppendValue(&minusOne);
  negativeLength.AppendBytes(bank.GetData() + 4, bank.Size() - 4);
  IByteChunk hugeLength;
  const int32_t huge = 0x7FFFFFF0;
  hugeLength.AppendValue(&huge);
  hugeLength.AppendBytes(bank.GetData() + 4, bank.Size() - 4);

  const IByteChunk inputs[] = {IByteChunk(),     prefix(bank, 3), prefix(bank, 12),
                               prefix(bank, 20), negativeLength,  hugeLength};
  for (const IByteChunk& input : inputs) {
    PresetTestPlug target;
    storeProgram(target, 0, kSoundB, "Mine");
    target.SetValues(kSoundA); // unsaved edits stay too
    const auto before = target.Take();
    EXPECT_EQ(target.UnserializePresets(input, 0), PluginBase::kNoPresetRead) << input.Size();
    EXPECT_TRUE(target.Take() == before) << input.Size();
  }
  PresetTestPlug target;
  EXPECT_EQ(target.UnserializePresets(bank, -5), PluginBase::kNoPresetRead);
  EXPECT_EQ(target.UnserializePresets(bank, bank.Size() + 1), PluginBase::kNoPresetRead);
}

TEST(BankPayload, StatelessRecordFlaggedInitialisedIsWrittenAsEmpty) {
  PresetTestPlug plug;
  storeProgram(plug, 0, kSoundA, "Zero");
  storeProgram(plug, 2, kSoundB, "Two");
  plug.GetPreset(1).initialized = true; // no state
  const IByteChunk bank = bankOf(plug);
  PresetTestPlug target;
  EXPECT_EQ(target.UnserializePresets(bank, 0), bank.Size());
  EXPECT_FALSE(target.GetPreset(1).initialized);
  EXPECT_EQ(target.GetPresetName(2), "Two");
}
