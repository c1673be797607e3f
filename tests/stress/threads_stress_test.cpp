// The instrument under its three threads at once, for a bounded time: the audio thread plays
// notes, automation, learnt controllers and MIDI program changes while the user-interface thread
// switches, saves, copies, pastes, initialises and loads programs and banks, and the host's main
// thread saves and restores states (whole and cut short). Run under ThreadSanitizer by the test
// command; afterwards every program must still be whole.
#include "framework/vst3/vst3_plugin.h"
#include "plugin/varnel.h"
#include "store/fxb_file.h"
#include "store/fxp_file.h"
#include "tests/unit/vst3/test_host.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kBlock = 64;
constexpr int kFirstMappingId = 65538;

double stressSeconds() {
  const char* text = std::getenv("VARNEL_STRESS_SECONDS");
  const double seconds = text ? std::atof(text) : 0.0;
  return seconds > 0.0 ? seconds : 2.0;
}

// Counts what the plug-in tells the host; called from any thread.
class CountingHandler : public IComponentHandler {
public:
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    return testhost::answer<IComponentHandler>(this, iid, obj);
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }
  tresult PLUGIN_API beginEdit(ParamID) override { return kResultOk; }
  tresult PLUGIN_API performEdit(ParamID, ParamValue) override {
    edits.fetch_add(1, std::memory_order_relaxed);
    return kResultOk;
  }
  tresult PLUGIN_API endEdit(ParamID) override { return kResultOk; }
  tresult PLUGIN_API restartComponent(int32) override {
    restarts.fetch_add(1, std::memory_order_relaxed);
    return kResultOk;
  }
  std::atomic<long> edits{0}, restarts{0};
};

// A bank of 64 programs, each with a sound of its own, and the state of each as a host saves it.
struct Material {
  IByteChunk bank;
  std::vector<std::vector<uint8_t>> states;
};

Material makeMaterial() {
  Material m;
  Varnel source;
  for (int i = 0; i < source.NPresets(); ++i) {
    source.RestorePreset(i);
    for (int p = 0; p < kNumParams; p += 7)
      source.GetParam(p)->SetFromNormalized(std::fmod(0.37 * (i + 1) + p * 0.011, 1.0));
    source.ModifyCurrentPreset(("Stress " + std::to_string(i)).c_str());
    IByteChunk state;
    source.SerializeState(state);
    const int32_t bypass = 0;
    state.AppendValue(&bypass);
    m.states.emplace_back(state.GetData(), state.GetData() + state.Size());
  }
  MakeBankFXB(source, m.bank);
  return m;
}

bool knownName(const std::string& name) {
  return name.rfind("Stress ", 0) == 0 || name == "Init" || name.rfind("user preset ", 0) == 0;
}

// A stored program must be one whole state of this instrument: marker, index, name, values.
::testing::AssertionResult wholeProgram(const Varnel& plug, int index) {
  const IPreset& preset = plug.GetPreset(index);
  if (!knownName(preset.name))
    return ::testing::AssertionFailure() << "program " << index << " named " << preset.name;
  if (!preset.initialized) return ::testing::AssertionSuccess();
  const IByteChunk& chunk = preset.chunk;
  int32_t program = -1, nameLength = -1;
  if (!Varnel::isNewVersion_1_1_1(chunk, 0) || chunk.ReadValue(&program, 12) < 0 ||
      chunk.ReadValue(&nameLength, 16) < 0 || program < 0 || program >= plug.NPresets() ||
      nameLength < 0 || nameLength >= IPreset::kNameSize ||
      chunk.Size() != 20 + nameLength + 8 * kNumParams)
    return ::testing::AssertionFailure() << "program " << index << " holds a broken state";
  for (int i = 0; i < kNumParams; ++i) {
    double value = 0.0;
    chunk.ReadValue(&value, 20 + nameLength + 8 * i);
    if (!std::isfinite(value) || plug.GetParam(i)->Constrain(value) != value)
      return ::testing::AssertionFailure() << "program " << index << " value " << i;
  }
  return ::testing::AssertionSuccess();
}

class Instance {
public:
  Instance() {
    auto owned = std::make_unique<Varnel>();
    plug = owned.get();
    vst = new Vst3Plugin(std::move(owned));
    vst->initialize(nullptr);
    ProcessSetup setup{kRealtime, kSample32, kBlock, 48000.0};
    vst->setupProcessing(setup);
    vst->setActive(true);
    vst->setProcessing(true);
    static_cast<IEditController*>(vst)->setComponentHandler(&handler);
  }
  ~Instance() {
    vst->setProcessing(false);
    vst->setActive(false);
    vst->terminate();
    vst->release();
  }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  IComponent* component() { return vst; }
  IAudioProcessor* processor() { return vst; }
  IEditController* controller() { return vst; }

  Vst3Plugin* vst = nullptr;
  Varnel* plug = nullptr;
  CountingHandler handler;
};

void audioThread(Instance& in, const std::atomic<bool>& stop, long& blocks, long& nonFinite) {
  std::mt19937 random(1);
  testhost::Block block(kBlock, false);
  testhost::ParamChanges changes;
  testhost::EventList events;
  block.data.inputParameterChanges = &changes;
  block.data.inputEvents = &events;
  while (!stop.load(std::memory_order_acquire)) {
    changes.queues.clear();
    events.events.clear();
    if (blocks % 5 == 0) {
      // MIDI program changes reach the instrument on the audio thread.
      const PluginBase::AudioThreadScope audio;
      in.plug->ProcessMidiMsg(IMidiMsg{0, 0xC0, static_cast<uint8_t>(random() % 64), 0});
    }
    for (int k = 0; k < 3; ++k)
      changes.add(static_cast<ParamID>(random() % kNumParams),
                  static_cast<int32>(random() % kBlock), (random() % 1001) / 1000.0);
    // Controllers 20..23 on channel 1, learnt by the user-interface thread now and then.
    changes.add(kFirstMappingId + 20 + static_cast<ParamID>(random() % 4), 3,
                (random() % 128) / 127.0);
    const int16 key = static_cast<int16>(48 + random() % 24);
    if (blocks % 2 == 0)
      events.noteOn(static_cast<int32>(random() % kBlock), 0, key, 0.8f);
    else
      events.noteOff(0, 0, key, 0.0f);
    in.processor()->process(block.data);
    // Random sounds are a matter of the engine's own tests; here they are only counted.
    for (int i = 0; i < kBlock; ++i)
      if (!std::isfinite(block.sample(0, i)) || !std::isfinite(block.sample(1, i))) {
        ++nonFinite;
        break;
      }
    ++blocks;
  }
}

void userInterfaceThread(Instance& in, const Material& m, const std::atomic<bool>& stop,
                         long& operations) {
  std::mt19937 random(2);
  Varnel& plug = *in.plug;
  while (!stop.load(std::memory_order_acquire)) {
    switch (random() % 10) {
    case 0:
      plug.changePreset(static_cast<int>(random() % 64));
      break;
    case 1:
      plug.ModifyCurrentPreset();
      break;
    case 2:
      plug.copyPreset();
      break;
    case 3:
      plug.pastePreset();
      break;
    case 4:
      plug.initPreset();
      break;
    case 5:
      if (!LoadBankFromFXBData(plug, m.bank.GetData(), static_cast<size_t>(m.bank.Size())))
        std::abort();
      break;
    case 6: {
      IByteChunk file;
      plug.ModifyCurrentPreset();
      if (!MakeBankFXB(plug, file) || !MakePresetFXP(plug, file)) std::abort();
      break;
    }
    case 7: {
      // An edit from the editor, as a knob does.
      const int index = static_cast<int>(random() % kNumParams);
      plug.BeginInformHostOfParamChange(index);
      plug.SetParameterValue(index, (random() % 1001) / 1000.0);
      plug.EndInformHostOfParamChange(index);
      break;
    }
    case 8:
      plug.doMidiLearn(true);
      plug.SetParameterValue(static_cast<int>(random() % kNumParams), 0.5);
      break;
    default:
      for (int i = 0; i < plug.NPresets(); ++i)
        if (plug.GetPresetName(i).empty()) std::abort();
      break;
    }
    ++operations;
  }
}

void hostThread(Instance& in, const Material& m, const std::atomic<bool>& stop, long& operations) {
  std::mt19937 random(3);
  auto* units = static_cast<IUnitInfo*>(in.vst);
  while (!stop.load(std::memory_order_acquire)) {
    const std::vector<uint8_t>& state = m.states[random() % m.states.size()];
    switch (random() % 5) {
    case 0: {
      testhost::MemoryStream whole(state);
      if (in.component()->setState(&whole) != kResultOk) std::abort();
      break;
    }
    case 1: {
      // Cut short: refused.
      const size_t keep = random() % (state.size() - 4);
      testhost::MemoryStream cut(std::vector<uint8_t>(state.begin(), state.begin() + keep));
      if (in.component()->setState(&cut) == kResultOk) std::abort();
      break;
    }
    case 2: {
      testhost::MemoryStream saved;
      if (in.component()->getState(&saved) != kResultOk) std::abort();
      break;
    }
    case 3: {
      // The host's controller calls, as automation echoes and generic editors make them.
      const ParamID id = static_cast<ParamID>(random() % kNumParams);
      in.controller()->setParamNormalized(id, (random() % 1001) / 1000.0);
      in.controller()->getParamNormalized(id);
      break;
    }
    default: {
      String128 name{};
      units->getProgramName(Vst3Plugin::kProgramListId, static_cast<int32>(random() % 64), name);
      break;
    }
    }
    ++operations;
  }
}

TEST(ThreadsStress, AudioUserInterfaceAndHostThreadsAtOnceLeaveEveryProgramWhole) {
  const Material material = makeMaterial();
  Instance in;
  ASSERT_TRUE(LoadBankFromFXBData(*in.plug, material.bank.GetData(),
                                  static_cast<size_t>(material.bank.Size())));

  std::atomic<bool> stop{false};
  long blocks = 0, nonFinite = 0, uiOps = 0, hostOps = 0;
  std::thread audio([&] { audioThread(in, stop, blocks, nonFinite); });
  std::thread ui([&] { userInterfaceThread(in, material, stop, uiOps); });
  std::thread host([&] { hostThread(in, material, stop, hostOps); });
  std::this_thread::sleep_for(std::chrono::duration<double>(stressSeconds()));
  stop.store(true, std::memory_order_release);
  audio.join();
  ui.join();
  host.join();
  std::printf("blocks %ld (%ld not finite), user-interface operations %ld, host operations %ld\n",
              blocks, nonFinite, uiOps, hostOps);
  EXPECT_GT(blocks, 0);
  EXPECT_GT(uiOps, 0);
  EXPECT_GT(hostOps, 0);

  for (int i = 0; i < in.plug->NPresets(); ++i) EXPECT_TRUE(wholeProgram(*in.plug, i));
  // The instance still saves and restores itself exactly.
  testhost::MemoryStream saved;
  ASSERT_EQ(in.component()->getState(&saved), kResultOk);
  testhost::MemoryStream again(saved.data);
  ASSERT_EQ(in.component()->setState(&again), kResultOk);
  testhost::MemoryStream twice;
  ASSERT_EQ(in.component()->getState(&twice), kResultOk);
  EXPECT_EQ(twice.data, saved.data);
}

} // namespace
