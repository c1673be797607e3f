#pragma once
// A small plug-in behind the adapter: one parameter of each kind, 64 named programs, and a log
// of every call the adapter makes, so tests can check what arrives and in which order.
#include "framework/core/plugin_base.h"
#include "framework/vst3/vst3_plugin.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

enum FakeParam { kCutoff, kTime, kOctave, kWave, kSync, kNumFakeParams };

inline const Config& FakeConfig() {
  static const Config config = [] {
    Config c;
    c.nParams = kNumFakeParams;
    c.nPresets = 64;
    c.pluginName = "Varnel";
    c.productName = "Varnel";
    c.mfrName = "Vellsound";
    c.vendorVersion = 0x00010102;
    c.uniqueID = FourCC('V', 'r', 'n', 'l');
    c.mfrID = FourCC('V', 'l', 's', 'd');
    c.plugType = 1;
    c.mfrURL = "https://example.org/vellsound";
    c.mfrEmail = "mailto:help@example.org";
    return c;
  }();
  return config;
}

class FakePlug : public PluginBase {
public:
  FakePlug() : PluginBase(FakeConfig()) {
    GetParam(kCutoff)->InitDouble("Cutoff", 0.25, 0.0, 1.0, 0.001, "Hz");
    GetParam(kTime)->InitDouble("Time", 1.0, 0.0, 10.0, 0.01, "s", 0, "", ShapePowCurve(3.0));
    GetParam(kOctave)->InitInt("Octave", 0, -2, 2);
    GetParam(kWave)->InitEnum("Wave", 1, {"Tri", "Saw", "Pulse"});
    GetParam(kSync)->InitBool("Sync", false);
    for (int i = 0; i < NPresets(); ++i)
      std::snprintf(GetPreset(i).name, IPreset::kNameSize, "Program %d", i + 1);
  }

  void OnParamChange(int index) override { note("param " + std::to_string(index)); }
  void SendParamValuesToUI() override { ++uiRefreshes; }
  void OnReset() override {
    note("reset " + std::to_string(static_cast<int>(GetSampleRate())) + " " +
         std::to_string(GetBlockSize()));
  }
  void OnActivate(bool active) override { note(active ? "activate" : "deactivate"); }
  void ProcessMidiMsg(const IMidiMsg& msg) override {
    if (!logging) return;
    midi.push_back(msg);
    char text[48];
    std::snprintf(text, sizeof(text), "midi %02X %02X %02X @%d", msg.status, msg.data1, msg.data2,
                  msg.offset);
    note(text);
  }
  void ProcessSysEx(const uint8_t* data, int size, int offset) override {
    if (!logging) return;
    sysex.assign(data, data + size);
    note("sysex " + std::to_string(size) + " @" + std::to_string(offset));
  }
  // Writes a running frame count (left) and its negative (right), exact in float.
  void ProcessBlock(double** /*inputs*/, double** outputs, int nFrames) override {
    if (logging) {
      blocks.push_back(nFrames);
      times.push_back(GetTimeInfo());
      note("block " + std::to_string(nFrames));
    }
    for (int i = 0; i < nFrames; ++i) {
      outputs[0][i] = static_cast<double>(framesRendered + i);
      outputs[1][i] = -static_cast<double>(framesRendered + i);
    }
    framesRendered += nFrames;
    for (const IMidiMsg& msg : thru) SendMidiMsg(msg);
    thru.clear();
    for (const ParamOut& change : paramOut)
      SendParamChangeFromProcessor(change.index, change.normalized);
    paramOut.clear();
  }

  void note(const std::string& entry) {
    if (logging) log.push_back(entry);
  }

  bool logging = true;
  std::vector<std::string> log;
  std::vector<IMidiMsg> midi;
  std::vector<uint8_t> sysex;
  std::vector<int> blocks;
  std::vector<ITimeInfo> times;
  std::vector<IMidiMsg> thru;     // sent as MIDI output by the next block
  std::vector<ParamOut> paramOut; // reported as output parameter changes by the next block
  long framesRendered = 0;
  int uiRefreshes = 0;
};

// One adapter around a fresh FakePlug, released at the end of the test.
struct FakeInstance {
  FakeInstance() {
    auto owned = std::make_unique<FakePlug>();
    plug = owned.get();
    vst = new Vst3Plugin(std::move(owned));
  }
  ~FakeInstance() { vst->release(); }
  FakeInstance(const FakeInstance&) = delete;
  FakeInstance& operator=(const FakeInstance&) = delete;

  Steinberg::Vst::IComponent* component() { return vst; }
  Steinberg::Vst::IAudioProcessor* processor() { return vst; }
  Steinberg::Vst::IEditController* controller() { return vst; }

  // Initialise and prepare as a host does before the first block.
  void start(double rate = 48000.0, int maxBlock = 512,
             Steinberg::int32 sampleSize = Steinberg::Vst::kSample32) {
    component()->initialize(nullptr);
    Steinberg::Vst::ProcessSetup setup{Steinberg::Vst::kRealtime, sampleSize, maxBlock, rate};
    processor()->setupProcessing(setup);
    component()->setActive(true);
    processor()->setProcessing(true);
    plug->log.clear();
  }

  Vst3Plugin* vst = nullptr;
  FakePlug* plug = nullptr;
};
