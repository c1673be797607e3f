#include "plugin/varnel.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
class Programs : public ::testing::Test {
protected:
  std::unique_ptr<Varnel> plug = std::make_unique<Varnel>();

  void SetUp() override {
    for (int i = 0; i < 10; ++i) {
      plug->GetPreset(i).initialized = true;
      plug->GetPreset(i).chunk.Clear();
      plug->SerializeState(plug->GetPreset(i).chunk);
    }
  }
  void edit(int index, double value) {
    plug->GetParam(index)->SetValue(value);
    plug->OnParamChange(index);
  }
  double value(int index) { return plug->GetParam(index)->GetValue(); }
};
} // namespace

TEST_F(Programs, MenuSwitchKeepsTheEditMidiProgramChangeLosesIt) {
  edit(kPeak, 0.4);
  plug->changePreset(1);
  plug->changePreset(0);
  EXPECT_EQ(value(kPeak), 0.4);

  edit(kPeak, 0.8);
  IMidiMsg programChange;
  programChange.status = 0xC0;
  programChange.data1 = 1;
  plug->ProcessMidiMsg(programChange);
  programChange.data1 = 0;
  plug->ProcessMidiMsg(programChange);
  EXPECT_EQ(value(kPeak), 0.4);
}

TEST_F(Programs, IgnoredProgramChangeDoesNothing) {
  plug->ignoreProgramChange = true;
  IMidiMsg programChange;
  programChange.status = 0xC0;
  programChange.data1 = 3;
  plug->ProcessMidiMsg(programChange);
  EXPECT_EQ(plug->GetCurrentPresetIdx(), 0);
}

TEST_F(Programs, InitProgramRestoresDefaultsAndName) {
  edit(kCutoff, 0.1);
  edit(kK35Lp4, 1);
  plug->initPreset();
  EXPECT_EQ(value(kCutoff), 1.0);
  EXPECT_EQ(value(kK35Lp4), 0.0);
  EXPECT_EQ(plug->GetPresetName(0), "Init");
}

TEST_F(Programs, PasteTakesTheCopiedValuesAndTheSourcesCurrentName) {
  plug->changePreset(5);
  edit(kExpand, 0.9);
  plug->copyPreset();
  plug->ModifyCurrentPreset("Renamed");
  plug->changePreset(9);
  edit(kExpand, 0.1);
  plug->pastePreset();
  EXPECT_EQ(value(kExpand), 0.9);
  EXPECT_EQ(plug->GetPresetName(9), "Renamed");
}

TEST_F(Programs, PasteWithEmptyBufferDoesNothing) {
  edit(kExpand, 0.3);
  plug->pastePreset();
  EXPECT_EQ(value(kExpand), 0.3);
  EXPECT_EQ(plug->GetPresetName(0), "empty");
}
