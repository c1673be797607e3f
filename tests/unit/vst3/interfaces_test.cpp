#include "fake_plug.h"
#include "framework/vst3/utf16.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {
std::string text(const char16* s) {
  return Utf16ToUtf8(s);
}
} // namespace

TEST(Vst3Interfaces, OneObjectAnswersEveryInterface) {
  FakeInstance instance;
  FUnknown* identity = nullptr;
  ASSERT_EQ(
      instance.component()->queryInterface(FUnknown::iid, reinterpret_cast<void**>(&identity)),
      kResultOk);
  const TUID* iids[] = {&FUnknown::iid.toTUID(),
                        &IPluginBase::iid.toTUID(),
                        &IComponent::iid.toTUID(),
                        &IAudioProcessor::iid.toTUID(),
                        &IEditController::iid.toTUID(),
                        &IEditController2::iid.toTUID(),
                        &IUnitInfo::iid.toTUID(),
                        &IMidiMapping::iid.toTUID(),
                        &ChannelContext::IInfoListener::iid.toTUID(),
                        &IConnectionPoint::iid.toTUID()};
  // Asked through any interface, every other one is found, on the same object.
  for (const TUID* from : iids) {
    FUnknown* start = nullptr;
    ASSERT_EQ(identity->queryInterface(*from, reinterpret_cast<void**>(&start)), kResultOk);
    for (const TUID* iid : iids) {
      void* obj = nullptr;
      ASSERT_EQ(start->queryInterface(*iid, &obj), kResultOk);
      ASSERT_NE(obj, nullptr);
      FUnknown* back = nullptr;
      static_cast<FUnknown*>(obj)->queryInterface(FUnknown::iid, reinterpret_cast<void**>(&back));
      EXPECT_EQ(back, identity);
      back->release();
      static_cast<FUnknown*>(obj)->release();
    }
    start->release();
  }
  void* obj = identity;
  EXPECT_EQ(identity->queryInterface(IPlugView::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
  // Every reference taken above was given back: only ours and the instance's remain.
  EXPECT_EQ(identity->release(), 1u);
}

TEST(Vst3Interfaces, NoSeparateControllerClass) {
  FakeInstance instance;
  TUID cid{};
  EXPECT_EQ(instance.component()->getControllerClassId(cid), kResultFalse);
}

TEST(Vst3Interfaces, InitializeTwiceAndTerminateTwiceAreHarmless) {
  FakeInstance instance;
  EXPECT_EQ(instance.component()->initialize(nullptr), kResultOk);
  const size_t handlersRun = instance.plug->log.size();
  EXPECT_EQ(handlersRun, static_cast<size_t>(kNumFakeParams)); // every handler once
  EXPECT_EQ(instance.controller()->initialize(nullptr), kResultOk);
  EXPECT_EQ(instance.plug->log.size(), handlersRun);
  EXPECT_EQ(instance.component()->terminate(), kResultOk);
  EXPECT_EQ(instance.controller()->terminate(), kResultOk);
}

TEST(Vst3Interfaces, BusesAsAnInstrumentWithMidiInAndOut) {
  FakeInstance instance;
  IComponent* c = instance.component();
  EXPECT_EQ(c->getBusCount(kAudio, kInput), 0);
  EXPECT_EQ(c->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(c->getBusCount(kEvent, kInput), 1);
  EXPECT_EQ(c->getBusCount(kEvent, kOutput), 1);

  struct Case {
    MediaType type;
    BusDirection dir;
    const char* name;
    int32 channels;
  };
  for (const Case& expected :
       {Case{kAudio, kOutput, "Output", 2}, Case{kEvent, kInput, "MIDI Input", 16},
        Case{kEvent, kOutput, "MIDI Output", 1}}) {
    BusInfo bus{};
    ASSERT_EQ(c->getBusInfo(expected.type, expected.dir, 0, bus), kResultOk);
    EXPECT_EQ(text(bus.name), expected.name);
    EXPECT_EQ(bus.channelCount, expected.channels);
    EXPECT_EQ(bus.mediaType, expected.type);
    EXPECT_EQ(bus.direction, expected.dir);
    EXPECT_EQ(bus.busType, kMain);
    EXPECT_EQ(c->activateBus(expected.type, expected.dir, 0, true), kResultOk);
  }

  BusInfo bus{};
  EXPECT_EQ(c->getBusInfo(kAudio, kOutput, 1, bus), kInvalidArgument);
  EXPECT_EQ(c->getBusInfo(kAudio, kInput, 0, bus), kInvalidArgument);
  EXPECT_EQ(c->getBusInfo(kEvent, kInput, -1, bus), kInvalidArgument);
  EXPECT_EQ(c->getBusInfo(kEvent, kOutput, 1, bus), kInvalidArgument);
  EXPECT_EQ(c->activateBus(kAudio, kInput, 0, true), kInvalidArgument);
  EXPECT_EQ(c->activateBus(kEvent, kInput, 1, true), kInvalidArgument);
}

TEST(Vst3Interfaces, StereoOrMonoOutputAndNothingElse) {
  FakeInstance instance;
  IAudioProcessor* p = instance.processor();
  SpeakerArrangement out = SpeakerArr::kMono;
  ASSERT_EQ(p->setBusArrangements(nullptr, 0, &out, 1), kResultOk);
  EXPECT_EQ(instance.plug->NOutChannels(), 1);
  BusInfo bus{};
  instance.component()->getBusInfo(kAudio, kOutput, 0, bus);
  EXPECT_EQ(bus.channelCount, 1);
  SpeakerArrangement current = 0;
  ASSERT_EQ(p->getBusArrangement(kOutput, 0, current), kResultOk);
  EXPECT_EQ(current, SpeakerArr::kMono);

  out = SpeakerArr::k51;
  EXPECT_EQ(p->setBusArrangements(nullptr, 0, &out, 1), kResultFalse);
  SpeakerArrangement in = SpeakerArr::kStereo;
  out = SpeakerArr::kStereo;
  EXPECT_EQ(p->setBusArrangements(&in, 1, &out, 1), kResultFalse);
  EXPECT_EQ(p->getBusArrangement(kOutput, 0, current), kResultOk);
  EXPECT_EQ(current, SpeakerArr::kMono); // refusals change nothing

  ASSERT_EQ(p->setBusArrangements(nullptr, 0, &out, 1), kResultOk);
  EXPECT_EQ(instance.plug->NOutChannels(), 2);
  EXPECT_EQ(p->getBusArrangement(kInput, 0, current), kInvalidArgument);
  EXPECT_EQ(p->getBusArrangement(kOutput, 1, current), kInvalidArgument);

  EXPECT_EQ(p->canProcessSampleSize(kSample32), kResultTrue);
  EXPECT_EQ(p->canProcessSampleSize(kSample64), kResultTrue);
  EXPECT_EQ(p->getLatencySamples(), 0u);
}

TEST(Vst3Interfaces, UnitsRootMidiCcsAndOnePerChannel) {
  FakeInstance instance;
  IUnitInfo* units = instance.vst;
  ASSERT_EQ(units->getUnitCount(), 18);
  UnitInfo info{};
  ASSERT_EQ(units->getUnitInfo(0, info), kResultOk);
  EXPECT_EQ(info.id, kRootUnitId);
  EXPECT_EQ(info.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(text(info.name), "Root");
  ASSERT_EQ(units->getUnitInfo(1, info), kResultOk);
  const UnitID midiUnit = info.id;
  EXPECT_EQ(info.parentUnitId, kRootUnitId);
  EXPECT_EQ(text(info.name), "MIDI CCs");
  for (int ch = 1; ch <= 16; ++ch) {
    ASSERT_EQ(units->getUnitInfo(1 + ch, info), kResultOk);
    EXPECT_EQ(text(info.name), "CH" + std::to_string(ch));
    EXPECT_EQ(info.parentUnitId, midiUnit);
    // The channel's pitch-bend parameter lives in this unit.
    ParameterInfo param{};
    ASSERT_EQ(instance.controller()->getParameterInfo(kNumFakeParams + 130 * (ch - 1) + 129, param),
              kResultOk);
    EXPECT_EQ(param.unitId, info.id);
  }
  EXPECT_EQ(units->getUnitInfo(18, info), kInvalidArgument);
  EXPECT_EQ(units->getUnitInfo(-1, info), kInvalidArgument);
}

TEST(Vst3Interfaces, ProgramNamesWithoutAProgramList) {
  FakeInstance instance;
  IUnitInfo* units = instance.vst;
  EXPECT_EQ(units->getProgramListCount(), 0);
  String128 name{};
  ASSERT_EQ(units->getProgramName(65537, 0, name), kResultOk);
  EXPECT_EQ(text(name), "Program 1");
  ASSERT_EQ(units->getProgramName(65537, 63, name), kResultOk);
  EXPECT_EQ(text(name), "Program 64");
  EXPECT_EQ(units->getProgramName(65537, 64, name), kInvalidArgument);
  EXPECT_EQ(units->getProgramName(65537, -1, name), kInvalidArgument);
  EXPECT_EQ(units->getProgramName(0, 0, name), kInvalidArgument);
  ProgramListInfo list{};
  EXPECT_NE(units->getProgramListInfo(0, list), kResultOk);
}

TEST(Vst3Interfaces, MidiMappingIdsAndRefusals) {
  FakeInstance instance;
  IMidiMapping* mapping = instance.vst;
  struct Case {
    int32 bus;
    int16 channel;
    CtrlNumber number;
    bool mapped;
    ParamID id;
  };
  const Case cases[] = {
      {0, 0, 0, true, 65538}, {0, 0, 7, true, 65545},    {0, 0, 128, true, 65666},
      {0, 1, 0, true, 65668}, {0, 15, 129, true, 67617}, {1, 0, 0, false, 0},
      {0, 16, 0, false, 0},   {0, -1, 0, false, 0},      {0, 0, 130, false, 0},
      {0, 0, -1, false, 0},   {-1, 0, 0, false, 0},
  };
  for (const Case& c : cases) {
    ParamID id = 12345;
    const tresult result = mapping->getMidiControllerAssignment(c.bus, c.channel, c.number, id);
    SCOPED_TRACE("bus " + std::to_string(c.bus) + " channel " + std::to_string(c.channel) +
                 " number " + std::to_string(c.number));
    if (c.mapped) {
      EXPECT_EQ(result, kResultOk);
      EXPECT_EQ(id, c.id);
    } else {
      EXPECT_EQ(result, kResultFalse);
    }
  }
}

TEST(Vst3Interfaces, HarmlessHostConveniences) {
  FakeInstance instance;
  EXPECT_EQ(instance.vst->setChannelContextInfos(nullptr), kResultOk);
  IConnectionPoint* point = instance.vst;
  EXPECT_EQ(point->connect(point), kResultOk);
  EXPECT_EQ(point->disconnect(point), kResultOk);
  EXPECT_EQ(instance.controller()->createView(ViewType::kEditor), nullptr);
  testhost::MemoryStream stream;
  EXPECT_EQ(instance.controller()->setComponentState(&stream), kResultOk);
  EXPECT_EQ(instance.controller()->setState(&stream), kResultOk);
  EXPECT_EQ(instance.controller()->getState(&stream), kResultOk);
  EXPECT_TRUE(stream.data.empty()); // the controller's own state is empty
}
