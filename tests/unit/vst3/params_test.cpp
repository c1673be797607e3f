#include "fake_plug.h"
#include "framework/vst3/utf16.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <cstring>

#include <cmath>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
std::string text(const char16* s) {
  return Utf16ToUtf8(s);
}

tresult valueOf(IEditController* c, ParamID id, const char* input, ParamValue& normalized) {
  String128 wide{};
  Utf8ToUtf16(input, wide, 128);
  return c->getParamValueByString(id, wide, normalized);
}

std::string stringOf(IEditController* c, ParamID id, ParamValue normalized) {
  String128 wide{};
  EXPECT_EQ(c->getParamStringByValue(id, normalized, wide), kResultOk);
  return text(wide);
}
} // namespace

TEST(Vst3Params, PluginParametersAsTheHostSeesThem) {
  FakeInstance instance;
  IEditController* c = instance.controller();
  ASSERT_EQ(c->getParameterCount(), kNumFakeParams + 2080);
  struct Case {
    const char* title;
    const char* units;
    int32 steps;
    double defaultNormalized;
    int32 flags;
  };
  const Case cases[kNumFakeParams] = {
      {"Cutoff", "Hz", 0, 0.25, ParameterInfo::kCanAutomate},
      {"Time", "s", 0, std::cbrt(0.1), ParameterInfo::kCanAutomate},
      {"Octave", "", 4, 0.5, ParameterInfo::kCanAutomate},
      {"Wave", "", 2, 0.5, ParameterInfo::kCanAutomate | ParameterInfo::kIsList},
      {"Sync", "", 1, 0.0, ParameterInfo::kCanAutomate},
  };
  for (int i = 0; i < kNumFakeParams; ++i) {
    SCOPED_TRACE(cases[i].title);
    ParameterInfo info{};
    ASSERT_EQ(c->getParameterInfo(i, info), kResultOk);
    EXPECT_EQ(info.id, static_cast<ParamID>(i));
    EXPECT_EQ(text(info.title), cases[i].title);
    EXPECT_EQ(text(info.units), cases[i].units);
    EXPECT_EQ(info.stepCount, cases[i].steps);
    EXPECT_NEAR(info.defaultNormalizedValue, cases[i].defaultNormalized, 1e-12);
    EXPECT_EQ(info.flags, cases[i].flags);
    EXPECT_EQ(info.unitId, kRootUnitId);
    EXPECT_NEAR(c->getParamNormalized(info.id), info.defaultNormalizedValue, 1e-12);
  }
}

TEST(Vst3Params, MidiMappingParametersFollowThePluginOnes) {
  FakeInstance instance;
  IEditController* c = instance.controller();
  struct Case {
    int32 index;
    ParamID id;
    const char* title;
    double defaultNormalized;
  };
  const Case cases[] = {
      {kNumFakeParams, 65538, "Bank Select MSB", 0.0},
      {kNumFakeParams + 1, 65539, "Modulation Wheel", 0.0},
      {kNumFakeParams + 64, 65602, "Sustain Pedal", 0.0},
      {kNumFakeParams + 128, 65666, "Channel Aftertouch", 0.0},
      {kNumFakeParams + 129, 65667, "Pitch Bend", 0.5},
      {kNumFakeParams + 2079, 67617, "Pitch Bend", 0.5},
  };
  for (const Case& expected : cases) {
    ParameterInfo info{};
    ASSERT_EQ(c->getParameterInfo(expected.index, info), kResultOk);
    EXPECT_EQ(info.id, expected.id);
    EXPECT_EQ(text(info.title), expected.title);
    EXPECT_EQ(info.defaultNormalizedValue, expected.defaultNormalized);
    EXPECT_EQ(c->getParamNormalized(info.id), expected.defaultNormalized);
    EXPECT_EQ(info.flags & ParameterInfo::kCanAutomate, 0);
  }
  ParameterInfo info{};
  EXPECT_EQ(c->getParameterInfo(-1, info), kInvalidArgument);
  EXPECT_EQ(c->getParameterInfo(kNumFakeParams + 2080, info), kInvalidArgument);
}

TEST(Vst3Params, TextFromNormalisedValues) {
  FakeInstance instance;
  IEditController* c = instance.controller();
  EXPECT_EQ(stringOf(c, kCutoff, 0.5), "0.500");
  EXPECT_EQ(stringOf(c, kOctave, 1.0), "2");
  EXPECT_EQ(stringOf(c, kOctave, 0.0), "-2");
  EXPECT_EQ(stringOf(c, kWave, 0.0), "Tri");
  EXPECT_EQ(stringOf(c, kWave, 0.5), "Saw");
  EXPECT_EQ(stringOf(c, kWave, 1.0), "Pulse");
  EXPECT_EQ(stringOf(c, kSync, 1.0), "on");
  EXPECT_EQ(stringOf(c, 65538 + 7, 100.0 / 127.0), "100");
  EXPECT_EQ(stringOf(c, 67617, 0.5), "0");
  String128 wide{};
  EXPECT_EQ(c->getParamStringByValue(999, 0.5, wide), kResultFalse);
}

TEST(Vst3Params, NormalisedValuesFromText) {
  FakeInstance instance;
  IEditController* c = instance.controller();
  struct Case {
    ParamID id;
    const char* input;
    double normalized;
  };
  const Case cases[] = {
      {kCutoff, "0.5", 0.5},   {kCutoff, " 0.75 Hz", 0.75}, {kCutoff, "7", 1.0},
      {kOctave, "1", 0.75},    {kOctave, "-2", 0.0},        {kOctave, "0.6", 0.75},
      {kWave, "Pulse", 1.0},   {kWave, "Tri", 0.0},         {kWave, "1", 0.5},
      {kSync, "on", 1.0},      {kSync, "off", 0.0},         {kTime, "10", 1.0},
      {65538 + 1, "127", 1.0}, {67617, "0", 0.5},
  };
  for (const Case& expected : cases) {
    SCOPED_TRACE(std::to_string(expected.id) + " \"" + expected.input + "\"");
    ParamValue normalized = -1.0;
    ASSERT_EQ(valueOf(c, expected.id, expected.input, normalized), kResultOk);
    EXPECT_NEAR(normalized, expected.normalized, 1e-12);
  }
  // Round trip through the shape of a curved parameter.
  ParamValue n = 0.0;
  ASSERT_EQ(valueOf(c, kTime, "5", n), kResultOk);
  EXPECT_NEAR(c->normalizedParamToPlain(kTime, n), 5.0, 1e-9);

  for (const char* bad : {"abc", "", "   ", "nan", "Hz 5"}) {
    SCOPED_TRACE(bad);
    ParamValue untouched = 0.125;
    EXPECT_EQ(valueOf(c, kCutoff, bad, untouched), kResultFalse);
    EXPECT_EQ(untouched, 0.125);
  }
  ParamValue untouched = 0.125;
  EXPECT_EQ(valueOf(c, kWave, "Square", untouched), kResultFalse);
  EXPECT_EQ(valueOf(c, 999, "1", untouched), kResultFalse);
  EXPECT_EQ(untouched, 0.125);
}

TEST(Vst3Params, PlainAndNormalisedThroughTheShape) {
  FakeInstance instance;
  IEditController* c = instance.controller();
  EXPECT_NEAR(c->normalizedParamToPlain(kTime, 0.5), 10.0 * 0.125, 1e-9);
  EXPECT_NEAR(c->plainParamToNormalized(kTime, 1.25), 0.5, 1e-9);
  EXPECT_EQ(c->normalizedParamToPlain(kOctave, 0.6), 0.0); // -2 + 2.4, rounded to the step
  EXPECT_EQ(c->normalizedParamToPlain(kWave, 1.0), 2.0);
  EXPECT_EQ(c->plainParamToNormalized(kOctave, 2.0), 1.0);
  EXPECT_EQ(c->plainParamToNormalized(kOctave, 99.0), 1.0);
}

TEST(Vst3Params, ControllerSideValuesAreStored) {
  FakeInstance instance;
  IEditController* c = instance.controller();
  ASSERT_EQ(c->setParamNormalized(kWave, 1.0), kResultOk);
  EXPECT_EQ(c->getParamNormalized(kWave), 1.0);
  EXPECT_EQ(instance.plug->GetControllerValue(kWave), 1.0);
  // The processor's value changes only with the processor's own changes.
  EXPECT_EQ(instance.plug->GetParam(kWave)->GetValue(), 1.0);
  EXPECT_TRUE(instance.plug->log.empty());
  ASSERT_EQ(c->setParamNormalized(65538 + 1, 0.25), kResultOk);
  EXPECT_EQ(c->getParamNormalized(65538 + 1), 0.25);
  EXPECT_EQ(c->setParamNormalized(999, 0.5), kInvalidArgument);
  EXPECT_EQ(c->getParamNormalized(999), 0.0);
}

// A host's controller call that lags behind its automation: the processor plays and saves what
// it received, the controller reports what it was told.
TEST(Vst3Params, LateControllerEchoNeitherPlaysNorIsSaved) {
  FakeInstance instance;
  instance.start();
  IEditController* c = instance.controller();
  testhost::ParamChanges changes;
  changes.add(kCutoff, 0, 0.8);
  testhost::Block block(16, false);
  block.data.inputParameterChanges = &changes;
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
  ASSERT_EQ(c->setParamNormalized(kCutoff, 0.2), kResultOk);

  EXPECT_EQ(instance.plug->GetParam(kCutoff)->GetValue(), 0.8);
  testhost::MemoryStream saved;
  ASSERT_EQ(instance.component()->getState(&saved), kResultOk);
  double first = 0.0;
  std::memcpy(&first, saved.data.data(), sizeof(first));
  EXPECT_EQ(first, 0.8);
  EXPECT_EQ(c->getParamNormalized(kCutoff), 0.2);
  EXPECT_EQ(instance.plug->GetControllerValue(kCutoff), 0.2);
}

// Changes the processor makes itself (MIDI learn, MIDI program change) reach the controller.
TEST(Vst3Params, ProcessorOutputUpdatesTheControllerSide) {
  FakeInstance instance;
  instance.start();
  instance.plug->paramOut = {{kTime, 0.5}};
  testhost::Block block(16, false);
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
  EXPECT_EQ(instance.controller()->getParamNormalized(kTime), 0.5);

  IPreset& preset = instance.plug->GetPreset(3);
  instance.plug->GetParam(kOctave)->SetValue(2.0);
  instance.plug->SerializeState(preset.chunk);
  preset.initialized = true;
  instance.plug->GetParam(kOctave)->SetValue(-2.0);
  {
    const PluginBase::AudioThreadScope audioThread;
    ASSERT_TRUE(instance.plug->RestorePreset(3));
  }
  EXPECT_EQ(instance.controller()->getParamNormalized(kOctave), 1.0);
}

TEST(Vst3Params, PluginEditsReachTheHostsComponentHandler) {
  FakeInstance instance;
  testhost::ComponentHandler handler;
  ASSERT_EQ(instance.controller()->setComponentHandler(&handler), kResultOk);
  instance.plug->SetParameterValue(kWave, 1.0);
  // Program changes are announced under their own ID.
  instance.plug->BeginInformHostOfParamChange(65537);
  instance.plug->InformHostOfParamChange(65537, 0.25);
  instance.plug->EndInformHostOfParamChange(65537);
  // A program restore tells the host that every value may have changed.
  IPreset& preset = instance.plug->GetPreset(3);
  instance.plug->SerializeState(preset.chunk);
  preset.initialized = true;
  ASSERT_TRUE(instance.plug->RestorePreset(3));

  const std::vector<std::string> expected = {"begin 3",
                                             "perform 3 1.000000",
                                             "end 3",
                                             "begin 65537",
                                             "perform 65537 0.250000",
                                             "end 65537",
                                             "restart " + std::to_string(kParamValuesChanged)};
  EXPECT_EQ(handler.log, expected);

  instance.controller()->setComponentHandler(nullptr);
  instance.plug->SetParameterValue(kWave, 0.0);
  EXPECT_EQ(handler.log.size(), expected.size());
}
