#include "fake_plug.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "test_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using testhost::Block;
using testhost::EventList;
using testhost::ParamChanges;

namespace {
std::vector<std::string> midiLog(const FakePlug& plug) {
  std::vector<std::string> out;
  for (const std::string& entry : plug.log)
    if (entry.rfind("midi", 0) == 0 || entry.rfind("sysex", 0) == 0) out.push_back(entry);
  return out;
}
} // namespace

TEST(Vst3Process, RefusedBeforeSetupWithoutRendering) {
  FakeInstance instance;
  instance.component()->initialize(nullptr);
  Block block(32, false);
  EXPECT_EQ(instance.processor()->process(block.data), kNotInitialized);
  EXPECT_TRUE(instance.plug->blocks.empty());
  EXPECT_EQ(block.sample(0, 0), -9.0);
}

TEST(Vst3Process, SetupActivationAndProcessingSwitchReachThePlugin) {
  FakeInstance instance;
  FakePlug& plug = *instance.plug;
  instance.component()->initialize(nullptr);
  plug.log.clear();

  ProcessSetup setup{kRealtime, kSample64, 256, 44100.0};
  ASSERT_EQ(instance.processor()->setupProcessing(setup), kResultOk);
  EXPECT_EQ(plug.GetSampleRate(), 44100.0);
  EXPECT_EQ(plug.GetBlockSize(), 256);
  ASSERT_EQ(instance.component()->setActive(true), kResultOk);
  ASSERT_EQ(instance.processor()->setProcessing(true), kResultOk);
  EXPECT_TRUE(plug.IsProcessing());
  ASSERT_EQ(instance.processor()->setProcessing(false), kResultOk);
  EXPECT_FALSE(plug.IsProcessing());
  ASSERT_EQ(instance.component()->setActive(false), kResultOk);
  const std::vector<std::string> expected = {"reset 44100 256", "activate", "reset 44100 256",
                                             "deactivate"};
  EXPECT_EQ(plug.log, expected);

  // Nonsense set-ups are refused and change nothing.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (ProcessSetup bad :
       {ProcessSetup{kRealtime, kSample32, 256, 0.0}, ProcessSetup{kRealtime, kSample32, 256, nan},
        ProcessSetup{kRealtime, kSample32, 0, 48000.0}, ProcessSetup{kRealtime, 7, 256, 48000.0}})
    EXPECT_NE(instance.processor()->setupProcessing(bad), kResultOk);
  EXPECT_EQ(plug.GetSampleRate(), 44100.0);
  EXPECT_EQ(plug.log.size(), expected.size());
}

TEST(Vst3Process, TransportThenParametersThenEventsThenAudio) {
  FakeInstance instance;
  instance.start();
  FakePlug& plug = *instance.plug;
  // An edit from the user-interface thread, waiting for the audio thread.
  plug.SetParameterValue(kTime, 0.5);
  ASSERT_TRUE(plug.log.empty());

  ProcessContext context{};
  context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid |
                  ProcessContext::kProjectTimeMusicValid;
  context.tempo = 140.0;
  context.projectTimeSamples = 96000;
  context.projectTimeMusic = 7.0;
  context.sampleRate = 48000.0;
  ParamChanges changes;
  changes.add(kWave, 0, 0.0);
  changes.add(kWave, 3, 1.0); // the last value of the block counts
  changes.add(65538 + 7, 5, 100.0 / 127.0);
  changes.add(kSync, 9, 1.0);
  EventList events;
  events.noteOn(7, 0, 60, 100.0f / 127.0f);

  Block block(32, false);
  block.data.processContext = &context;
  block.data.inputParameterChanges = &changes;
  block.data.inputEvents = &events;
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);

  const std::vector<std::string> expected = {"param 1", "param 3",          "midi B0 07 64 @5",
                                             "param 4", "midi 90 3C 64 @7", "block 32"};
  EXPECT_EQ(plug.log, expected);
  EXPECT_EQ(plug.GetParam(kWave)->GetValue(), 2.0);
  EXPECT_EQ(plug.GetParam(kSync)->GetValue(), 1.0);
  ASSERT_EQ(plug.times.size(), 1u);
  EXPECT_EQ(plug.times[0].tempo, 140.0);
  EXPECT_EQ(plug.times[0].samplePos, 96000.0);
  EXPECT_EQ(plug.times[0].ppqPos, 7.0);
  EXPECT_TRUE(plug.times[0].transportIsRunning);

  context.state = 0; // stopped, nothing else valid: tempo and position are kept
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
  EXPECT_EQ(plug.times[1].tempo, 140.0);
  EXPECT_EQ(plug.times[1].ppqPos, 7.0);
  EXPECT_FALSE(plug.times[1].transportIsRunning);
}

TEST(Vst3Process, NoteEventsBecomeMidiWithRoundedVelocities) {
  FakeInstance instance;
  instance.start();
  EventList events;
  events.noteOn(0, 0, 60, 100.0f / 127.0f);
  events.noteOn(1, 15, 127, 1.0f);
  events.noteOn(2, 3, 0, 0.5f); // 63.5 rounds up
  events.noteOn(3, 0, 61, 1.0f / 127.0f);
  events.noteOff(4, 0, 60, 0.7f);
  Event pressure{};
  pressure.type = Event::kPolyPressureEvent;
  pressure.sampleOffset = 5;
  pressure.polyPressure = {2, 64, 100.0f / 127.0f, -1};
  events.events.push_back(pressure);
  // Ignored: another bus, channel or pitch out of range, note expression.
  events.noteOn(6, 16, 60, 1.0f);
  events.noteOn(6, 0, 128, 1.0f);
  Event otherBus{};
  otherBus.type = Event::kNoteOnEvent;
  otherBus.busIndex = 1;
  otherBus.noteOn = {0, 60, 0.f, 1.f, 0, -1};
  events.events.push_back(otherBus);
  Event expression{};
  expression.type = Event::kNoteExpressionValueEvent;
  events.events.push_back(expression);
  events.noteOff(9999, 0, 61, 0.f); // beyond the block: at its last frame

  Block block(64, true);
  block.data.inputEvents = &events;
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
  const std::vector<std::string> expected = {
      "midi 90 3C 64 @0", "midi 9F 7F 7F @1", "midi 93 00 40 @2", "midi 90 3D 01 @3",
      "midi 80 3C 00 @4", "midi A2 40 64 @5", "midi 80 3D 00 @63"};
  EXPECT_EQ(midiLog(*instance.plug), expected);
}

TEST(Vst3Process, MappedControllersBecomeMidi) {
  FakeInstance instance;
  instance.start();
  struct Case {
    ParamID id;
    double value;
    const char* message;
  };
  const Case cases[] = {
      {65538 + 1, 100.0 / 127.0, "midi B0 01 64 @2"},
      {65538 + 130 * 15 + 64, 1.0, "midi BF 40 7F @2"},
      {65538 + 7, 0.0, "midi B0 07 00 @2"},
      {65538 + 128, 100.0 / 127.0, "midi D0 64 00 @2"},
      {65538 + 130 + 128, 0.5, "midi D1 40 00 @2"},
      {65538 + 129, 0.5, "midi E0 00 40 @2"},
      {65538 + 129, 1.0, "midi E0 7F 7F @2"},
      {65538 + 129, 0.0, "midi E0 00 00 @2"},
      {67617, 0.75, "midi EF 00 60 @2"},
      {65538 + 129, 1.5, "midi E0 7F 7F @2"}, // out of range values are held to 0..1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    instance.plug->log.clear();
    ParamChanges changes;
    changes.add(c.id, 2, c.value);
    Block block(16, false);
    block.data.inputParameterChanges = &changes;
    ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
    EXPECT_EQ(midiLog(*instance.plug), std::vector<std::string>{c.message});
  }
}

TEST(Vst3Process, EveryMappedControllerPointOfABlockBecomesMidi) {
  FakeInstance instance;
  instance.start();
  ParamChanges changes;
  changes.add(65538 + 64, 0, 0.0); // pedal up and down again within one block
  changes.add(65538 + 64, 5, 1.0);
  Block block(16, false);
  block.data.inputParameterChanges = &changes;
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
  EXPECT_EQ(midiLog(*instance.plug),
            (std::vector<std::string>{"midi B0 40 00 @0", "midi B0 40 7F @5"}));
}

TEST(Vst3Process, SysExReachesItsHandler) {
  FakeInstance instance;
  instance.start();
  static const uint8 bytes[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  Event sysex{};
  sysex.type = Event::kDataEvent;
  sysex.sampleOffset = 3;
  sysex.data = {sizeof(bytes), DataEvent::kMidiSysEx, bytes};
  EventList events;
  events.events.push_back(sysex);
  Block block(8, false);
  block.data.inputEvents = &events;
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
  EXPECT_EQ(midiLog(*instance.plug), std::vector<std::string>{"sysex 6 @3"});
  EXPECT_EQ(instance.plug->sysex, std::vector<uint8_t>(bytes, bytes + sizeof(bytes)));
}

TEST(Vst3Process, EveryBlockLengthInBothSampleSizes) {
  for (const int32 sampleSize : {kSample32, kSample64}) {
    FakeInstance instance;
    instance.start(48000.0, 512, sampleSize);
    long frames = 0;
    for (const int length : {1, 7, 64, 511, 512, 3}) {
      SCOPED_TRACE("size " + std::to_string(sampleSize) + " length " + std::to_string(length));
      Block block(length, sampleSize == kSample64);
      ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
      EXPECT_EQ(block.bus.silenceFlags, 0u);
      for (int i = 0; i < length; ++i) {
        ASSERT_EQ(block.sample(0, i), static_cast<double>(frames + i));
        ASSERT_EQ(block.sample(1, i), -static_cast<double>(frames + i));
      }
      frames += length;
    }
    EXPECT_EQ(instance.plug->blocks, (std::vector<int>{1, 7, 64, 511, 512, 3}));
  }
}

TEST(Vst3Process, EmptyBlockAppliesParametersWithoutRendering) {
  FakeInstance instance;
  instance.start();
  ParamChanges changes;
  changes.add(kOctave, 0, 1.0);
  Block block(0, false);
  block.data.inputParameterChanges = &changes;
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
  EXPECT_EQ(instance.plug->GetParam(kOctave)->GetValue(), 2.0);
  EXPECT_EQ(instance.plug->log, std::vector<std::string>{"param 2"});
  // The host may even pass no buffers at all for a parameter flush.
  ProcessData bare{};
  bare.symbolicSampleSize = kSample32;
  EXPECT_EQ(instance.processor()->process(bare), kResultOk);
  EXPECT_TRUE(instance.plug->blocks.empty());
}

TEST(Vst3Process, BlocksLongerThanAnnouncedArePlayedInPieces) {
  for (const int32 sampleSize : {kSample32, kSample64}) {
    FakeInstance instance;
    instance.start(48000.0, 512, sampleSize);
    ProcessContext context{};
    context.state = ProcessContext::kPlaying | ProcessContext::kTempoValid |
                    ProcessContext::kProjectTimeMusicValid;
    context.tempo = 120.0;
    context.projectTimeSamples = 0;
    EventList events;
    events.noteOn(100, 0, 60, 1.0f);
    events.noteOn(1000, 0, 62, 1.0f);
    ParamChanges changes;
    changes.add(65538 + 1, 1200, 1.0);
    changes.add(kWave, 1200, 0.0);
    Block block(1300, sampleSize == kSample64);
    block.data.processContext = &context;
    block.data.inputEvents = &events;
    block.data.inputParameterChanges = &changes;
    ASSERT_EQ(instance.processor()->process(block.data), kResultOk);

    const FakePlug& plug = *instance.plug;
    EXPECT_EQ(plug.blocks, (std::vector<int>{512, 512, 276}));
    const std::vector<std::string> expected = {
        "param 3",   "midi 90 3C 7F @100", "block 512", "midi 90 3E 7F @488",
        "block 512", "midi B0 01 7F @176", "block 276"};
    EXPECT_EQ(plug.log, expected);
    ASSERT_EQ(plug.times.size(), 3u);
    EXPECT_EQ(plug.times[1].samplePos, 512.0);
    EXPECT_DOUBLE_EQ(plug.times[2].ppqPos, 1024.0 / 48000.0 * 2.0);
    for (int i = 0; i < 1300; ++i) ASSERT_EQ(block.sample(0, i), static_cast<double>(i));
  }
}

TEST(Vst3Process, MonoOutputGetsTheFirstChannel) {
  FakeInstance instance;
  SpeakerArrangement mono = SpeakerArr::kMono;
  ASSERT_EQ(instance.processor()->setBusArrangements(nullptr, 0, &mono, 1), kResultOk);
  instance.start();
  Block block(16, false, 1);
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(block.sample(0, i), static_cast<double>(i));
}

TEST(Vst3Process, MidiAndParameterOutputReachTheHost) {
  FakeInstance instance;
  instance.start();
  instance.plug->thru = {IMidiMsg{4, 0x91, 60, 100}, IMidiMsg{5, 0xB0, 7, 99},
                         IMidiMsg{6, 0xE2, 0x00, 0x40}, IMidiMsg{7, 0xF8, 0, 0}};
  instance.plug->paramOut = {{kCutoff, 0.75}};
  EventList out;
  ParamChanges outParams;
  Block block(16, false);
  block.data.outputEvents = &out;
  block.data.outputParameterChanges = &outParams;
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);

  ASSERT_EQ(out.events.size(), 3u); // the clock byte has no VST3 event
  EXPECT_EQ(out.events[0].type, Event::kNoteOnEvent);
  EXPECT_EQ(out.events[0].sampleOffset, 4);
  EXPECT_EQ(out.events[0].noteOn.channel, 1);
  EXPECT_EQ(out.events[0].noteOn.pitch, 60);
  EXPECT_FLOAT_EQ(out.events[0].noteOn.velocity, 100.0f / 127.0f);
  EXPECT_EQ(out.events[1].type, Event::kLegacyMIDICCOutEvent);
  EXPECT_EQ(out.events[1].midiCCOut.controlNumber, 7);
  EXPECT_EQ(out.events[1].midiCCOut.value, 99);
  EXPECT_EQ(out.events[2].midiCCOut.controlNumber, kPitchBend);
  EXPECT_EQ(out.events[2].midiCCOut.channel, 2);
  EXPECT_EQ(out.events[2].midiCCOut.value2, 0x40);
  ASSERT_EQ(outParams.queues.size(), 1u);
  EXPECT_EQ(outParams.queues[0].id, static_cast<ParamID>(kCutoff));
  ASSERT_EQ(outParams.queues[0].points.size(), 1u);
  EXPECT_EQ(outParams.queues[0].points[0].second, 0.75);

  // Sent once only.
  out.events.clear();
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
  EXPECT_TRUE(out.events.empty());
}

TEST(Vst3Process, HostsThatSkipSetProcessingStillDispatchOnTheAudioThread) {
  FakeInstance instance;
  instance.component()->initialize(nullptr);
  ProcessSetup setup{kRealtime, kSample32, 64, 48000.0};
  instance.processor()->setupProcessing(setup);
  instance.component()->setActive(true);
  Block block(16, false);
  ASSERT_EQ(instance.processor()->process(block.data), kResultOk);
  EXPECT_TRUE(instance.plug->IsProcessing());
}
